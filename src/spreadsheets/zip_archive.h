#pragma once

#include "base/status.h"

#include <QByteArray>
#include <QString>

typedef struct zip zip_t;

// A zip archive opened for reading through libzip.
namespace sheet {

class ZipArchive {
public:
    // What the archive is to the operator, for the reasons of a failed open.
    enum class Kind { Workbook, Bundle };

    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // The reason is Italian, for the operator.
    Status open(const QString& path, Kind kind = Kind::Workbook);
    bool contains(const QString& name) const;
    qint64 count() const;
    // The name of member `index` as the archive stores it (UTF-8 or CP437).
    QString nameAt(qint64 index) const;
    // The uncompressed member `index`, read in pieces: a member that declares, or turns
    // out to hold, more than `limit` bytes is refused; the declared size is never
    // trusted for anything else.
    Result<QByteArray> readAt(qint64 index, qint64 limit) const;
    // The whole uncompressed member `name`; a member larger than `limit` bytes is refused
    // rather than read, so that a crafted archive cannot exhaust the memory.
    Result<QByteArray> read(const QString& name, qint64 limit) const;

private:
    zip_t* archive_ = nullptr;
};

} // namespace sheet
