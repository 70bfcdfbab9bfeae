#include "spreadsheets/zip_archive.h"

#include <QFile>
#include <zip.h>

namespace sheet {
namespace {

QString openReason(int code, ZipArchive::Kind kind) {
    switch (code) {
    case ZIP_ER_NOENT:
        return QStringLiteral("il file non esiste");
    case ZIP_ER_NOZIP:
    case ZIP_ER_INCONS:
        return kind == ZipArchive::Kind::Workbook
                   ? QStringLiteral("il file non è una cartella di lavoro Excel (.xlsx)")
                   : QStringLiteral("il file non è un archivio zip o è danneggiato");
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
    return kind == ZipArchive::Kind::Workbook
               ? QStringLiteral("il file Excel non si può aprire (%1)").arg(reason)
               : QStringLiteral("l'archivio zip non si può aprire (%1)").arg(reason);
}

QString damaged(const QString& name) {
    return QStringLiteral("la parte %1 del file Excel è danneggiata").arg(name);
}

} // namespace

ZipArchive::~ZipArchive() {
    if (archive_)
        zip_discard(archive_);
}

Status ZipArchive::open(const QString& path, Kind kind) {
    int code = 0;
    archive_ = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    return archive_ ? Status::success() : Status::failure(openReason(code, kind));
}

qint64 ZipArchive::count() const {
    return zip_get_num_entries(archive_, 0);
}

QString ZipArchive::nameAt(qint64 index) const {
    const char* name = zip_get_name(archive_, zip_uint64_t(index), ZIP_FL_ENC_GUESS);
    return name ? QString::fromUtf8(name) : QString();
}

Result<QByteArray> ZipArchive::readAt(qint64 index, qint64 limit) const {
    Result<QByteArray> result;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive_, zip_uint64_t(index), 0, &stat) == 0 &&
        (stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(limit)) {
        result.status = Status::failure(
            QStringLiteral("dichiara %1 byte, oltre il limite di %2").arg(stat.size).arg(limit));
        return result;
    }
    zip_file_t* file = zip_fopen_index(archive_, zip_uint64_t(index), 0);
    if (!file) {
        result.status = Status::failure(QStringLiteral("parte danneggiata dell'archivio"));
        return result;
    }
    constexpr qint64 kPiece = 64 * 1024;
    zip_int64_t read = 0;
    do {
        const qsizetype size = result.value.size();
        result.value.resize(size + kPiece);
        read = zip_fread(file, result.value.data() + size, zip_uint64_t(kPiece));
        result.value.resize(size + qMax<zip_int64_t>(read, 0));
    } while (read > 0 && result.value.size() <= limit);
    const bool tooLarge = result.value.size() > limit;
    // Closing checks the member's checksum once it was read whole.
    const int closed = zip_fclose(file);
    if (tooLarge || read < 0 || closed != 0) {
        result.value.clear();
        result.status = Status::failure(
            tooLarge ? QStringLiteral("oltre %1 byte una volta decompressa: rifiutata").arg(limit)
                     : QStringLiteral("parte danneggiata dell'archivio"));
    }
    return result;
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
