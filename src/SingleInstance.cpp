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
    state_ = lock_.error() == QLockFile::LockFailedError ? State::AlreadyRunning : State::Unavailable;
}

} // namespace veltrano
