#pragma once

#include "base/status.h"

#include <QByteArray>
#include <QString>
#include <functional>

// The files of an electronic-invoice download: one file, a folder read recursively or a
// zip archive, every member in memory (nothing is ever extracted to disk).
namespace einvoice {

struct FoundFile {
    QString name;         // as the operator finds it: relative to the folder, "archive.zip/member"
    QByteArray bytes;     // when `reason` is empty
    QString reason;       // why it is not read (Italian); empty for a file to read
    bool refused = false; // hostile or unreadable, not merely a file of another kind
};

// No member or file is read beyond this size, nor an archive beyond the total.
inline constexpr qint64 kFileLimit = 16 * 1024 * 1024;
inline constexpr qint64 kArchiveLimit = qint64(1024) * 1024 * 1024;

// Told each file in name order; false stops the visit.
using FileVisitor = std::function<bool(const FoundFile&)>;

// Visits the files of `path`. Metadata and notices of the exchange system and files of
// other kinds come with the reason they are not read. Fails only when `path` itself
// cannot be read.
Status visitInvoiceFiles(const QString& path, const FileVisitor& visit);

} // namespace einvoice
