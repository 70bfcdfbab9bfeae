#pragma once

#include "base/status.h"

#include <QByteArray>
#include <QString>

typedef struct zip zip_t;

// A zip archive opened for reading through libzip.
namespace sheet {

class ZipArchive {
public:
    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // The reason is Italian, for the operator.
    Status open(const QString& path);
    bool contains(const QString& name) const;
    // The whole uncompressed member `name`; a member larger than `limit` bytes is refused
    // rather than read, so that a crafted archive cannot exhaust the memory.
    Result<QByteArray> read(const QString& name, qint64 limit) const;

private:
    zip_t* archive_ = nullptr;
};

} // namespace sheet
