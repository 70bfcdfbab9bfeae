#include "platform/sheet/zip_archive.h"

#include <QFile>
#include <zip.h>

namespace sheet {
namespace {

QString openReason(int code) {
    switch (code) {
    case ZIP_ER_NOENT:
        return QStringLiteral("il file non esiste");
    case ZIP_ER_NOZIP:
    case ZIP_ER_INCONS:
        return QStringLiteral("il file non è una cartella di lavoro Excel (.xlsx)");
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
        return QStringLiteral("il file non si può leggere");
    case ZIP_ER_MEMORY:
        return QStringLiteral("memoria esaurita");
    default:
        break;
    }
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString reason = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return QStringLiteral("il file Excel non si può aprire (%1)").arg(reason);
}

QString damaged(const QString& name) {
    return QStringLiteral("la parte %1 del file Excel è danneggiata").arg(name);
}

} // namespace

ZipArchive::~ZipArchive() {
    if (archive_)
        zip_discard(archive_);
}

Status ZipArchive::open(const QString& path) {
    int code = 0;
    archive_ = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    return archive_ ? Status::success() : Status::failure(openReason(code));
}

bool ZipArchive::contains(const QString& name) const {
    return zip_name_locate(archive_, name.toUtf8().constData(), 0) >= 0;
}

Result<QByteArray> ZipArchive::read(const QString& name, qint64 limit) const {
    Result<QByteArray> result;
    const zip_int64_t index = zip_name_locate(archive_, name.toUtf8().constData(), 0);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (index < 0 || zip_stat_index(archive_, zip_uint64_t(index), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE)) {
        result.status =
            Status::failure(QStringLiteral("nel file Excel manca la parte %1").arg(name));
        return result;
    }
    if (stat.size > zip_uint64_t(limit)) {
        result.status =
            Status::failure(QStringLiteral("la parte %1 del file Excel è troppo grande").arg(name));
        return result;
    }
    zip_file_t* file = zip_fopen_index(archive_, zip_uint64_t(index), 0);
    if (!file) {
        result.status = Status::failure(damaged(name));
        return result;
    }
    result.value.resize(qsizetype(stat.size));
    const zip_int64_t read = zip_fread(file, result.value.data(), stat.size);
    // Closing checks the member's checksum once it was read whole.
    const int closed = zip_fclose(file);
    if (read < 0 || zip_uint64_t(read) != stat.size || closed != 0) {
        result.value.clear();
        result.status = Status::failure(damaged(name));
    }
    return result;
}

} // namespace sheet
