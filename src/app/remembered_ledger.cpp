#include "app/remembered_ledger.h"

#include <QSettings>

namespace remembered_ledger {
namespace {

const QString kKey = QStringLiteral("archivio/ultimo");

} // namespace

QString last() {
    return QSettings().value(kKey).toString();
}

void remember(const QString& ledger) {
    QSettings settings;
    settings.setValue(kKey, ledger);
    settings.sync();
}

} // namespace remembered_ledger
