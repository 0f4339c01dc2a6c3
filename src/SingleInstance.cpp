#include "SingleInstance.h"

#include <QDir>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace veltrano {

namespace {

// The temporary folder may be shared by several users (/tmp); each user's
// copies get a lock of their own, as each desktop session does elsewhere.
QString lockFileName(const QString& name)
{
#ifdef Q_OS_UNIX
    return name + QLatin1Char('.') + QString::number(::getuid()) + QStringLiteral(".lock");
#else
    return name + QStringLiteral(".lock");
#endif
}

} // namespace

QString SingleInstanceGuard::defaultFolder()
{
    return QDir::tempPath();
}

QString SingleInstanceGuard::lockFilePathFor(const QString& name, const QString& folder)
{
    return QDir(folder).filePath(lockFileName(name));
}

SingleInstanceGuard::SingleInstanceGuard(const QString& name, const QString& folder)
    : path_(lockFilePathFor(name, folder))
    , lock_(path_)
    , state_(State::Unavailable)
{
    // A running copy may hold the lock for days: only a dead owner makes it
    // stale, never its age.
    lock_.setStaleLockTime(0);
    if (lock_.tryLock(0)) {
        state_ = State::Acquired;
        return;
    }
    if (lock_.error() != QLockFile::LockFailedError)
        return;   // Unavailable

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
