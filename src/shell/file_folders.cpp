#include "shell/file_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace file_folders {
namespace {

QString keyOf(Kind kind) {
    switch (kind) {
    case Kind::Pdf:
        return QStringLiteral("cartelle/pdf");
    case Kind::Excel:
        return QStringLiteral("cartelle/excel");
    case Kind::Csv:
        return QStringLiteral("cartelle/csv");
    case Kind::LedgerCopy:
        return QStringLiteral("cartelle/copie");
    case Kind::Import:
        return QStringLiteral("cartelle/importazione");
    }
    return {};
}

} // namespace

QString startFolder(Kind kind) {
    const QString kept = QSettings().value(keyOf(kind)).toString();
    if (!kept.isEmpty() && QFileInfo(kept).isDir())
        return kept;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString startPath(Kind kind, const QString& name) {
    return QDir(startFolder(kind)).filePath(name);
}

void remember(Kind kind, const QString& chosen) {
    if (!chosen.isEmpty())
        QSettings().setValue(keyOf(kind), QFileInfo(chosen).absolutePath());
}

} // namespace file_folders
