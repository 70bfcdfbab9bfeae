#include "spreadsheets/file_reason.h"

#include <cerrno>
#include <cstring>

QString fileReason(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
        return QStringLiteral("spazio su disco esaurito");
    case EDQUOT:
        return QStringLiteral("quota del disco superata");
    case EFBIG:
        return QStringLiteral("file troppo grande per il disco o per i limiti del sistema");
    case EACCES:
    case EPERM:
        return QStringLiteral("permesso negato: la cartella non può essere scritta");
    case EROFS:
        return QStringLiteral("il disco è in sola lettura");
    case ENOENT:
        return QStringLiteral("la cartella non esiste");
    case ENOTDIR:
        return QStringLiteral("il percorso non è una cartella");
    case EISDIR:
        return QStringLiteral("il nome indica una cartella, non un file");
    case ENAMETOOLONG:
        return QStringLiteral("nome del file troppo lungo");
    case EIO:
        return QStringLiteral("errore di lettura o scrittura sul disco");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("troppi file aperti");
    case EXDEV:
        return QStringLiteral("il file temporaneo e la destinazione sono su dischi diversi");
    default:
        break;
    }
    return QStringLiteral("errore di sistema %1 (%2)")
        .arg(errorNumber)
        .arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
}

ErrorKind fileErrorKind(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrorKind::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorKind::ReadOnly;
    case ENOENT:
    case ENOTDIR:
        return ErrorKind::NotFound;
    default:
        return ErrorKind::Failed;
    }
}

Status fileFailure(int errorNumber) {
    return Status::failure(fileErrorKind(errorNumber), fileReason(errorNumber));
}
