#pragma once

// What can stand at a path besides a file, made and named each system's
// way, for the tests of what the settings file does with it: on POSIX pipes,
// devices, sockets and links; on Windows a device by its reserved name.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tb::test {

// A regular file: its content, then as long as the recipe says ("200 MB",
// "4 GiB"), the rest sparse (zero bytes, no line break) so that it takes no
// room on the disk. Empty when that worked, else why not.
inline QString makeRegularFile(const QString& recipe, const QString& path,
                               const QByteArray& content)
{
    QFile file(path);
    const qint64 size = recipe == "200 MB" ? 200'000'000 : recipe == "4 GiB" ? qint64{4} << 30 : 0;
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() ||
        (size > 0 && !file.resize(size)))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}

} // namespace tb::test

#ifdef Q_OS_WIN

#include <QDir>

#include <windows.h>

namespace tb::test {

// What stands at path, as a handle to it tells, without reading it.
inline QString nodeAt(const QString& path)
{
    const QString name = QDir::toNativeSeparators(path);
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(name.utf16()), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return QStringLiteral("nothing");
    QString kind = QStringLiteral("regular file");
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) == FILE_TYPE_CHAR)
        kind = QStringLiteral("device");
    else if (GetFileType(handle) == FILE_TYPE_PIPE)
        kind = QStringLiteral("pipe");
    else if (GetFileInformationByHandle(handle, &info) &&
             (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        kind = QStringLiteral("folder");
    CloseHandle(handle);
    return kind;
}

// Makes what a row names at path: a regular file; "NUL" makes nothing, as
// that device stands in every folder. Empty when that worked, else why not.
inline QString make(const QString& recipe, const QString& path, const QByteArray& content)
{
    return recipe == "NUL" ? QString() : makeRegularFile(recipe, path, content);
}

} // namespace tb::test

#else

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace tb::test {

// A kind of thing, as the tests name it.
inline QString kindOf(const struct stat& st)
{
    if (S_ISREG(st.st_mode))
        return QStringLiteral("regular file");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("named pipe");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("socket");
    if (S_ISCHR(st.st_mode))
        return QStringLiteral("character device %1:%2")
            .arg(major(st.st_rdev))
            .arg(minor(st.st_rdev));
    return QStringLiteral("mode %1").arg(st.st_mode, 0, 8);
}

// What stands at path; a link is named as such, with what it leads to.
inline QString nodeAt(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return QStringLiteral("nothing");
    if (!S_ISLNK(st.st_mode))
        return kindOf(st);
    if (::stat(name.constData(), &st) != 0)
        return errno == ELOOP ? QStringLiteral("link loop") : QStringLiteral("dangling link");
    return QStringLiteral("link to ") + kindOf(st);
}

inline QString characterDeviceLike(const char* systemNode)
{
    struct stat st {};
    return ::stat(systemNode, &st) == 0 ? kindOf(st) : QStringLiteral("(no %1)").arg(systemNode);
}

// Makes what a row names at path; empty when that worked, else why not.
inline QString make(const QString& recipe, const QString& path, const QByteArray& content)
{
    const QByteArray name = QFile::encodeName(path);
    const auto failed = [&](const char* step) {
        return QStringLiteral("%1 %2: %3").arg(step, path, QString::fromLocal8Bit(strerror(errno)));
    };
    if (recipe == "named pipe")
        return ::mkfifo(name.constData(), 0600) == 0 ? QString() : failed("mkfifo");
    if (recipe.startsWith("/dev/")) {
        // A node with the numbers of the system's own, made in a scratch folder.
        struct stat st {};
        if (::stat(QFile::encodeName(recipe).constData(), &st) != 0)
            return failed("stat");
        return ::mknod(name.constData(), S_IFCHR | 0600, st.st_rdev) == 0 ? QString()
                                                                          : failed("mknod");
    }
    if (recipe == "socket") {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (std::size_t(name.size()) >= sizeof address.sun_path)
            return QStringLiteral("%1 is too long for a socket").arg(path);
        std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound =
            fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        const QString why = bound ? QString() : failed("bind");
        if (fd >= 0)
            ::close(fd);
        return why;
    }
    if (recipe == "link loop")
        return ::symlink(name.constData(), name.constData()) == 0 ? QString() : failed("symlink");
    return makeRegularFile(recipe, path, content);
}

} // namespace tb::test

#endif
