#include "store/row_version.h"

namespace store {
namespace {

const QString kChangedMeanwhile =
    QStringLiteral("è stata modificata da un altro operatore dopo che è stata caricata");

} // namespace

Status changedMeanwhile(const QString& what) {
    return Status::failure(ErrorKind::ChangedMeanwhile,
                           what + QLatin1Char(' ') + kChangedMeanwhile);
}

} // namespace store
