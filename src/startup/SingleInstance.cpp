#include "startup/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace veltrano {

#ifdef Q_OS_UNIX

bool SingleInstanceGuard::isPrivateFolder(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    // lstat: a link planted under the folder's name is refused, not followed.
    struct stat info {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

QString SingleInstanceGuard::defaultFolder()
{
    // The runtime folder belongs to the user's session and to nobody else.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (isPrivateFolder(runtime))
        return runtime;

    // Without one, a folder of the user's own in the shared temporary folder,
    // made for owner access only.  A folder of that name that someone else
    // made first, or that others may write, is not used: the program then
    // starts without the guard rather than not at all.
    const QString own = QDir(QDir::tempPath()).filePath(QStringLiteral("veltrano-%1").arg(::getuid()));
    ::mkdir(QFile::encodeName(own).constData(), S_IRWXU);
    return isPrivateFolder(own) ? own : QString();
}

#else

bool SingleInstanceGuard::isPrivateFolder(const QString& folder)
{
    return !folder.isEmpty() && QDir(folder).exists();
}

QString SingleInstanceGuard::defaultFolder()
{
    // The per-user local application data folder is the user's own.
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir().mkpath(own) ? own : QString();
}

#endif

QString SingleInstanceGuard::lockFilePathFor(const QString& name, const QString& folder)
{
    return QDir(folder).filePath(name + QStringLiteral(".lock"));
}

SingleInstanceGuard::SingleInstanceGuard(const QString& name, const QString& folder)
    : path_(isPrivateFolder(folder) ? lockFilePathFor(name, folder) : QString())
    , lock_(path_)
    , state_(State::Unavailable)
{
    if (path_.isEmpty())
        return; // Unavailable: no lock anywhere another user could reach

    // A running copy may hold the lock for days: only a dead owner makes it
    // stale, never its age.
    lock_.setStaleLockTime(0);
    if (lock_.tryLock(0)) {
        state_ = State::Acquired;
        return;
    }
    if (lock_.error() != QLockFile::LockFailedError)
        return; // Unavailable

    // A copy that died while it was writing its lock, or a power failure,
    // leaves a lock that names no owner.  The owner's file lock decides:
    // while a starting copy holds it, the lock is not removed.
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock_.getLockInfo(&pid, &host, &application) && lock_.removeStaleLockFile() && lock_.tryLock(0)) {
        state_ = State::Acquired;
        return;
    }
    state_ = State::AlreadyRunning;
}

} // namespace veltrano
