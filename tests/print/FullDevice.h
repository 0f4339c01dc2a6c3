#pragma once
// A device that is always full (the node of /dev/full, 1, 7), for tests of
// outputs that fail with "no space left".  Made in the test's own folder
// where the test may make device nodes, so that a writer that wrongly
// renames a file over its target can only replace that copy, never the
// system's /dev/full.  Where no node can be made (an ordinary user), the
// system's /dev/full is used: an ordinary user cannot replace it.

#include <QString>
#include <QTemporaryDir>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace veltrano::test {

// The path of a full device, or an empty string when there is none to use.
inline QString fullDevice(const QTemporaryDir& dir)
{
#ifdef _WIN32
    (void)dir;
    return {};
#else
    const QString node = dir.filePath(QStringLiteral("voll"));
    const QByteArray path = node.toLocal8Bit();
    if (::mknod(path.constData(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
        const int fd = ::open(path.constData(), O_WRONLY);
        const bool full = fd >= 0 && ::write(fd, "x", 1) < 0 && errno == ENOSPC;
        if (fd >= 0)
            ::close(fd);
        if (full)
            return node;
    }
    if (::geteuid() != 0 && ::access("/dev/full", W_OK) == 0)
        return QStringLiteral("/dev/full");
    return {};
#endif
}

} // namespace veltrano::test
