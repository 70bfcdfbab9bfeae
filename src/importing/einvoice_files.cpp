#include "importing/einvoice_files.h"

#include "spreadsheets/zip_archive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace einvoice {
namespace {

enum class NameKind { Invoice, Archive, Other };

// A metadata file or a notice of the exchange system, by its name; empty for any other.
QString systemFileReason(const QString& name) {
    static const QRegularExpression kMetadata(
        QStringLiteral("(_MT_[A-Za-z0-9]{1,3}\\.xml|_metaDato\\.xml)$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression kNotice(
        QStringLiteral("_(RC|NS|MC|NE|EC|SE|DT|AT)_[A-Za-z0-9]{1,3}\\.xml$"),
        QRegularExpression::CaseInsensitiveOption);
    if (kMetadata.match(name).hasMatch())
        return QStringLiteral("file di metadati del Sistema di Interscambio");
    if (kNotice.match(name).hasMatch())
        return QStringLiteral("notifica del Sistema di Interscambio");
    return {};
}

NameKind kindOfName(const QString& name) {
    const QString lower = name.toLower();
    if (lower.endsWith(u".xml") || lower.endsWith(u".p7m"))
        return NameKind::Invoice;
    if (lower.endsWith(u".zip"))
        return NameKind::Archive;
    return NameKind::Other;
}

// A member name that would leave the folder it were extracted into.
bool unsafeName(const QString& name) {
    static const QRegularExpression kDrive(QStringLiteral("^[A-Za-z]:"));
    const QString slashed = QString(name).replace(u'\\', u'/');
    return slashed.startsWith(u'/') || kDrive.match(slashed).hasMatch() ||
           slashed.split(u'/').contains(QStringLiteral(".."));
}

// What becomes of a file by its name: no reason to read it, or the reason it is not.
QString reasonByName(const QString& name, bool inArchive) {
    if (const QString reason = systemFileReason(name); !reason.isEmpty())
        return reason;
    switch (kindOfName(name)) {
    case NameKind::Invoice:
        return {};
    case NameKind::Archive:
        return inArchive ? QStringLiteral("archivio zip dentro un archivio: non letto") : QString();
    case NameKind::Other:
        break;
    }
    return QStringLiteral("non è una fattura elettronica (.xml o .xml.p7m)");
}

bool visitArchive(const QString& path, const QString& shownName, const FileVisitor& visit,
                  Status& status) {
    sheet::ZipArchive zip;
    if (status = zip.open(path, sheet::ZipArchive::Kind::Bundle); !status.ok())
        return false;
    QList<QPair<QString, qint64>> members;
    for (qint64 i = 0; i < zip.count(); ++i) {
        const QString name = zip.nameAt(i);
        if (!name.isEmpty() && !name.endsWith(u'/'))
            members.append({name, i});
    }
    std::sort(members.begin(), members.end());
    qint64 total = 0;
    for (const auto& [name, index] : members) {
        FoundFile file;
        file.name = shownName + u'/' + name;
        if (unsafeName(name)) {
            file.reason = QStringLiteral("percorso non sicuro nell'archivio (../ o assoluto): "
                                         "non letto");
            file.refused = true;
        } else if (file.reason = reasonByName(name, true); file.reason.isEmpty()) {
            const qint64 left = kArchiveLimit - total;
            Result<QByteArray> read = zip.readAt(index, qMin(kFileLimit, left));
            if (read.ok()) {
                total += read.value.size();
                file.bytes = std::move(read.value);
            } else {
                file.reason = left < kFileLimit
                                  ? QStringLiteral("oltre il limite complessivo di %1 byte "
                                                   "dell'archivio: non letto")
                                        .arg(kArchiveLimit)
                                  : read.error();
                file.refused = true;
            }
        }
        if (!visit(file))
            return false;
    }
    return true;
}

FoundFile readPlainFile(const QString& path, const QString& shownName) {
    FoundFile file;
    file.name = shownName;
    file.reason = reasonByName(shownName, false);
    if (!file.reason.isEmpty())
        return file;
    QFile source(path);
    if (source.size() > kFileLimit) {
        file.reason = QStringLiteral("più di %1 byte: non letto").arg(kFileLimit);
        file.refused = true;
    } else if (!source.open(QIODevice::ReadOnly)) {
        file.reason = QStringLiteral("il file non si può leggere");
        file.refused = true;
    } else {
        file.bytes = source.read(kFileLimit + 1);
    }
    return file;
}

bool visitOne(const QString& path, const QString& shownName, const FileVisitor& visit,
              Status& status) {
    if (kindOfName(path) == NameKind::Archive && systemFileReason(path).isEmpty())
        return visitArchive(path, shownName, visit, status);
    return visit(readPlainFile(path, shownName));
}

} // namespace

Status visitInvoiceFiles(const QString& path, const FileVisitor& visit) {
    const QFileInfo info(path);
    if (!info.exists())
        return Status::failure(QStringLiteral("%1 non esiste").arg(QDir::toNativeSeparators(path)));
    Status status = Status::success();
    if (!info.isDir()) {
        visitOne(path, info.fileName(), visit, status);
        return status;
    }
    QStringList files;
    QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    const QDir folder(path);
    for (const QString& file : files) {
        Status one = Status::success();
        const bool goOn = visitOne(file, folder.relativeFilePath(file), visit, one);
        if (!one.ok()) {
            FoundFile unreadable;
            unreadable.name = folder.relativeFilePath(file);
            unreadable.reason = one.error();
            unreadable.refused = true;
            if (!visit(unreadable))
                break;
        } else if (!goOn) {
            break;
        }
    }
    return status;
}

} // namespace einvoice
