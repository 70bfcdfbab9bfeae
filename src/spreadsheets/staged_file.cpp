#include "spreadsheets/staged_file.h"

#include "spreadsheets/file_reason.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Status failure(const QString& what, int errorNumber) {
    return Status::failure(fileErrorKind(errorNumber),
                           what + QStringLiteral(": ") + fileReason(errorNumber));
}

} // namespace

StagedFile::StagedFile(QString destination) : destination_(std::move(destination)) {}

StagedFile::~StagedFile() {
    discard();
}

Status StagedFile::create() {
    discard();
    const QFileInfo target(destination_);
    if (target.isDir())
        return failure(QStringLiteral("impossibile scrivere %1").arg(destination_), EISDIR);
    // Beside the destination, so that the final rename stays on one disk.
    QByteArray pattern = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") +
                                           target.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return failure(
            QStringLiteral("impossibile creare un file in %1").arg(target.absolutePath()), errno);
    // mkstemp makes the file private; the export gets the permissions of any new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    temporary_ = QFile::decodeName(pattern);
    return Status::success();
}

Status StagedFile::commit() {
    const QByteArray path = QFile::encodeName(temporary_);
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        return failure(QStringLiteral("impossibile completare %1").arg(destination_), error);
    }
    ::close(fd);
    if (std::rename(path.constData(), QFile::encodeName(destination_).constData()) != 0)
        return failure(QStringLiteral("impossibile scrivere %1").arg(destination_), errno);
    temporary_.clear();
    return Status::success();
}

void StagedFile::discard() {
    if (temporary_.isEmpty())
        return;
    ::unlink(QFile::encodeName(temporary_).constData());
    temporary_.clear();
}
