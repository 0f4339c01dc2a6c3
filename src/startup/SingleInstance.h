#pragma once
// Lets only one copy of the program run for each user.
//
// The guard is a lock file named after the program, in a folder that only
// this user can write: the user's runtime folder, or else a private folder of
// the user's own in the temporary folder.  Another user of the machine can
// then neither take the lock nor plant one that blocks the start.  The first
// copy takes the lock and holds it until it ends; a later copy finds it taken
// and is refused.  A copy that crashed or was killed cannot unlock, so a lock
// whose owner process no longer exists counts as stale and is taken over, and
// so is a lock that names no owner at all (a copy that died while writing
// it): a crash never blocks the next start.  Two copies started from
// different folders meet at the same lock, because its name is fixed.
//
// When the lock cannot be made at all (no private folder, a folder that
// someone else owns or may write, no rights), the guard reports Unavailable
// and the program starts without it.

#include <QLockFile>
#include <QString>

namespace veltrano {

class SingleInstanceGuard {
public:
    enum class State { Acquired, AlreadyRunning, Unavailable };

    // name: the program's fixed instance name; folder: where the lock lives.
    // A folder that is not private to this user is not used.
    explicit SingleInstanceGuard(const QString& name, const QString& folder = defaultFolder());
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    State state() const { return state_; }
    QString lockFilePath() const { return path_; }

    // The user's private folder for the lock; empty when there is none.
    static QString defaultFolder();
    // Whether folder is a real folder (no link) owned by this user that
    // nobody else may write into.
    static bool isPrivateFolder(const QString& folder);
    // Where the guard of that name keeps its lock in folder.
    static QString lockFilePathFor(const QString& name, const QString& folder);

private:
    QString path_;
    QLockFile lock_;
    State state_;
};

} // namespace veltrano
