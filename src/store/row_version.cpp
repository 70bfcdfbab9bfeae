#include "store/row_version.h"

namespace store {
namespace {

const QString kChangedMeanwhile =
    QStringLiteral("è stata modificata da un altro operatore dopo che è stata caricata");

} // namespace

Status changedMeanwhile(const QString& what) {
    return Status::failure(what + QLatin1Char(' ') + kChangedMeanwhile);
}

bool isChangedMeanwhile(const Status& status) {
    return !status.ok() && status.error().endsWith(kChangedMeanwhile);
}

} // namespace store
