#include "print/OutputFile.h"

#include <QFile>

#include <cstdio>

#ifdef _WIN32
#include <QSaveFile>
#else
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace veltrano::print {

namespace {

bool fail(QString* error, const QString& target, const QString& reason)
{
    if (error) {
        *error = target == QLatin1String("-")
                     ? QStringLiteral("Die Standardausgabe kann nicht beschrieben werden: %1").arg(reason)
                     : QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2").arg(target, reason);
    }
    return false;
}

#ifndef _WIN32

QString reasonOf(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// Writes all bytes; false with errno's reason in *err.
bool writeAll(int fd, const QByteArray& content, int* err)
{
    const char* data = content.constData();
    qint64 left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<std::size_t>(std::min<qint64>(left, qint64(1) << 20)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *err = errno;
            return false;
        }
        if (n == 0) {
            *err = EIO;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

// close() whose failure counts: the last chance for a delayed write error.
bool closeChecked(int fd, int* err)
{
    if (::close(fd) == 0 || errno == EINTR) // after EINTR Linux has closed it
        return true;
    *err = errno;
    return false;
}

// The path a write to `path` reaches: symbolic links followed to their
// target (which need not exist yet).
std::optional<std::string> followLinks(std::string path, int* err)
{
    namespace fs = std::filesystem;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT)
                return path; // no file yet
            *err = errno;
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode))
            return path;
        std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
        if (n < 0) {
            *err = errno;
            return std::nullopt;
        }
        if (static_cast<std::size_t>(n) >= buf.size()) { // changed while being read
            *err = EAGAIN;
            return std::nullopt;
        }
        const fs::path target(std::string(buf.data(), static_cast<std::size_t>(n)));
        path = target.is_absolute() ? target.string() : (fs::path(path).parent_path() / target).string();
    }
    *err = ELOOP;
    return std::nullopt;
}

// A regular file, or none yet: the new content in a temporary file beside
// it, renamed over it once it is complete and on the disk.
bool replaceFile(const QString& target, const std::string& path, const struct stat* old, const QByteArray& content,
                 QString* error)
{
    namespace fs = std::filesystem;
    const fs::path file(path);
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        const quint64 random = QRandomGenerator::system()->generate64();
        temp = (folder / ("." + file.filename().string() + "." + QByteArray::number(random, 36).toStdString() + ".tmp"))
                   .string();
        // Created with the permissions a new file gets (the umask applies).
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            return fail(error, target, reasonOf(errno));
    }
    if (fd < 0)
        return fail(error, target, reasonOf(EEXIST));

    int err = 0;
    bool ok = true;
    if (old) {
        // The replaced file's owner (where allowed) and permissions.
        if (old->st_uid != ::geteuid() || old->st_gid != ::getegid())
            (void)!::fchown(fd, old->st_uid, old->st_gid);
        if (::fchmod(fd, old->st_mode & 07777) != 0) {
            err = errno;
            ok = false;
        }
    }
    ok = ok && writeAll(fd, content, &err);
    if (ok && ::fsync(fd) != 0) {
        err = errno;
        ok = false;
    }
    int closeErr = 0;
    if (!closeChecked(fd, &closeErr) && ok) {
        err = closeErr;
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return fail(error, target, reasonOf(err));
    }
    // The rename itself on the disk; a folder that cannot be synced still
    // holds the complete file.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return true;
}

// A named pipe or a device: written into, never renamed over.
bool writeInto(const QString& target, const std::string& path, const struct stat& before, const QByteArray& content,
               QString* error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return fail(error, target, reasonOf(errno));
    int err = 0;
    struct stat now {};
    if (::fstat(fd, &now) != 0 || (now.st_mode & S_IFMT) != (before.st_mode & S_IFMT) || now.st_ino != before.st_ino ||
        now.st_dev != before.st_dev) {
        ::close(fd);
        return fail(error, target, QStringLiteral("wurde während des Schreibens ersetzt"));
    }
    bool ok = writeAll(fd, content, &err);
    // A device's own buffers; pipes and devices that keep none say EINVAL.
    if (ok && !S_ISFIFO(now.st_mode) && ::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP &&
        errno != EOPNOTSUPP) {
        err = errno;
        ok = false;
    }
    int closeErr = 0;
    if (!closeChecked(fd, &closeErr) && ok) {
        err = closeErr;
        ok = false;
    }
    return ok || fail(error, target, reasonOf(err));
}

bool writeStandardOutput(const QByteArray& content, QString* error)
{
    std::fflush(stdout); // nothing written earlier may follow the document
    int err = 0;
    if (!writeAll(STDOUT_FILENO, content, &err))
        return fail(error, QStringLiteral("-"), reasonOf(err));
    struct stat st {};
    if (::fstat(STDOUT_FILENO, &st) == 0 && (S_ISREG(st.st_mode) || S_ISBLK(st.st_mode)) &&
        ::fsync(STDOUT_FILENO) != 0 && errno != EINVAL && errno != ENOTSUP && errno != EOPNOTSUPP)
        return fail(error, QStringLiteral("-"), reasonOf(errno));
    return true;
}

#endif

} // namespace

bool writeOutput(const QString& target, const QByteArray& content, QString* error)
{
    if (target.isEmpty())
        return fail(error, target, QStringLiteral("kein Dateiname"));
#ifdef _WIN32
    if (target == QLatin1String("-")) {
        const bool ok =
            std::fwrite(content.constData(), 1, std::size_t(content.size()), stdout) == std::size_t(content.size()) &&
            std::fflush(stdout) == 0;
        return ok || fail(error, target, QStringLiteral("Schreibfehler"));
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit())
        return fail(error, target, out.errorString());
    return true;
#else
    if (target == QLatin1String("-"))
        return writeStandardOutput(content, error);
    int err = 0;
    const std::optional<std::string> path = followLinks(QFile::encodeName(target).toStdString(), &err);
    if (!path)
        return fail(error, target, reasonOf(err));
    struct stat st {};
    if (::lstat(path->c_str(), &st) != 0) {
        if (errno != ENOENT)
            return fail(error, target, reasonOf(errno));
        return replaceFile(target, *path, nullptr, content, error);
    }
    if (S_ISREG(st.st_mode)) {
        // A file the user may not write stays as it is, even where the
        // folder would allow a new one to take its place.
        if (::access(path->c_str(), W_OK) != 0)
            return fail(error, target, reasonOf(errno));
        return replaceFile(target, *path, &st, content, error);
    }
    if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return writeInto(target, *path, st, content, error);
    if (S_ISDIR(st.st_mode))
        return fail(error, target, QStringLiteral("ist ein Ordner"));
    if (S_ISSOCK(st.st_mode))
        return fail(error, target, QStringLiteral("ist ein Socket, in den kein Dokument geschrieben wird"));
    return fail(error, target, QStringLiteral("ist keine Datei, in die ein Dokument geschrieben werden kann"));
#endif
}

} // namespace veltrano::print
