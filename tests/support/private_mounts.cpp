#include "support/private_mounts.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace private_mounts {
namespace {

QString& refusalText() {
    static QString text = QStringLiteral("private mounts not tried");
    return text;
}

bool writeProcFile(const char* path, const QByteArray& content) {
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

void enter() {
    const QByteArray uid = QByteArray::number(qulonglong(getuid()));
    const QByteArray gid = QByteArray::number(qulonglong(getgid()));
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        refusalText() = systemError("unshare of the user and mount namespaces refused");
        return;
    }
    // Inside, the test is the namespace's root, with the files it owns outside.
    if (!writeProcFile("/proc/self/setgroups", "deny") ||
        !writeProcFile("/proc/self/uid_map", "0 " + uid + " 1") ||
        !writeProcFile("/proc/self/gid_map", "0 " + gid + " 1")) {
        refusalText() = QStringLiteral("the user namespace's identity maps could not be written");
        return;
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        refusalText() = systemError("private mount propagation refused");
        return;
    }
    refusalText().clear();
}

QString refusal() {
    return refusalText();
}

bool mountSmall(const QString& folder, int kib, QString* error) {
    const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0700";
    if (mount("velarco-test", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
              options.constData()) == 0)
        return true;
    *error = systemError("mount of a small file system refused");
    return false;
}

bool makeReadOnly(const QString& folder, QString* error) {
    if (mount(nullptr, QFile::encodeName(folder).constData(), nullptr,
              MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0)
        return true;
    *error = systemError("remount read-only refused");
    return false;
}

} // namespace private_mounts
