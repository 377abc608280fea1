// The POSIX side of FileSystem.h (Linux, as built and tested here).
#include "FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tb {

namespace {

[[nodiscard]] QString folderOf(const QByteArray& path)
{
    return QFileInfo(QFile::decodeName(path)).absolutePath();
}

// Creates dir and its missing parents; on failure says which folder refused.
[[nodiscard]] AtomicWriteResult makeFolders(const QByteArray& dir)
{
    struct stat st {};
    if (::stat(dir.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? AtomicWriteResult{}
                                   : AtomicWriteResult{ENOTDIR, QFile::decodeName(dir)};
    if (errno != ENOENT)
        return {errno, folderOf(dir)};
    const qsizetype slash = dir.lastIndexOf('/');
    if (slash > 0) {
        AtomicWriteResult parent = makeFolders(dir.left(slash));
        if (!parent.ok())
            return parent;
    }
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST)
        return {errno, folderOf(dir)};
    return {};
}

struct Temporary {
    int fd = -1;
    int error = 0;
    QByteArray name;
};

// A new, hidden file beside the target, named so that no two saves meet.
[[nodiscard]] Temporary createTemporary(const QByteArray& target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray prefix = target.left(slash + 1) + '.' + target.mid(slash + 1) + '.';
    Temporary t;
    for (int attempt = 0; attempt < 100; ++attempt) {
        t.name = prefix + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        t.fd = ::open(t.name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        t.error = t.fd < 0 ? errno : 0;
        if (t.error != EEXIST)
            break;
    }
    return t;
}

[[nodiscard]] int writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        done += n;
    }
    return 0;
}

// Writes, syncs and closes fd; on failure the temporary file is removed.
[[nodiscard]] int fillTemporary(int fd, const QByteArray& name, const QByteArray& target,
                                const QByteArray& bytes)
{
    // The new file keeps the permissions the old one had, except that its
    // owner may always read and write it: the next start must read it.
    struct stat st {};
    if (::stat(target.constData(), &st) == 0)
        (void)::fchmod(fd, (st.st_mode & 07777) | S_IRUSR | S_IWUSR);
    int error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlink(name.constData());
    return error;
}

void syncFolder(const QByteArray& dir)
{
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

// A symbolic link (a settings file kept elsewhere) stays a link: the file it
// points to is the one replaced, or made when it is missing. A link loop
// leads nowhere: the new file takes the link's own place.
[[nodiscard]] QString resolveLink(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return info.absoluteFilePath();
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return info.canonicalFilePath();
    return errno == ELOOP ? info.absoluteFilePath() : info.symLinkTarget();
}

// Which special file a file mode (st_mode) describes; None for a regular
// file, a folder or a link.
[[nodiscard]] SpecialFile specialFileOfMode(mode_t mode) noexcept
{
    if (S_ISFIFO(mode))
        return SpecialFile::NamedPipe;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return SpecialFile::Device;
    if (S_ISSOCK(mode))
        return SpecialFile::Socket;
    return SpecialFile::None;
}

// At most limit bytes, or fewer at the end of the file; 0 or errno.
[[nodiscard]] int readUpTo(int fd, qint64 limit, QByteArray& bytes)
{
    bytes.resize(limit);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break;
        done += n;
    }
    bytes.truncate(done);
    return 0;
}

// Why something other than a regular file cannot be read.
void notAFile(FileRead& read, mode_t mode)
{
    read.special = specialFileOfMode(mode);
    if (S_ISDIR(mode))
        read.error = EISDIR;
}

} // namespace

AtomicWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    const QString resolved = resolveLink(path);
    const QString folder = QFileInfo(resolved).absolutePath();
    const QByteArray target = QFile::encodeName(resolved);
    const QByteArray dir = QFile::encodeName(folder);

    // Nothing there (a dangling link) or a link loop: the new file is made.
    if (struct stat st{}; ::stat(target.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return {EISDIR, folder};
        if (const SpecialFile special = specialFileOfMode(st.st_mode); special != SpecialFile::None)
            return {0, folder, special};
    }
    if (AtomicWriteResult made = makeFolders(dir); !made.ok())
        return made;

    const Temporary temporary = createTemporary(target);
    if (temporary.fd < 0)
        return {temporary.error, folder};
    if (const int error = fillTemporary(temporary.fd, temporary.name, target, bytes); error != 0)
        return {error, folder};
    if (::rename(temporary.name.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.name.constData());
        return {error, folder};
    }
    syncFolder(dir);
    return {};
}

FileRead readRegularFile(const QString& path, qint64 limit)
{
    FileRead read;
    const QByteArray name = QFile::encodeName(path);
    // Nothing there and a dangling link alike: no file yet. A link loop is
    // told of, and replaced by the first save.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ELOOP)
            read.error = ELOOP;
        else
            read.missing = true;
        return read;
    }
    // Only a regular file is opened: opening a pipe waits for a writer, and
    // opening some devices acts on them.
    if (!S_ISREG(st.st_mode)) {
        notAFile(read, st.st_mode);
        return read;
    }
    // Should it have been swapped for a pipe since, this open does not wait.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        read.error = errno;
        return read;
    }
    if (::fstat(fd, &st) != 0)
        read.error = errno;
    else if (!S_ISREG(st.st_mode))
        notAFile(read, st.st_mode);
    else
        read.error = readUpTo(fd, limit, read.bytes);
    ::close(fd);
    if (!read.ok())
        read.bytes.clear();
    return read;
}

bool settingsBesideProgram(const QString& programFolder)
{
    return ::access(QFile::encodeName(programFolder).constData(), W_OK | X_OK) == 0;
}

QString userSettingsHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString ownSettingsFolderName()
{
    return QStringLiteral("tubebridge");
}

} // namespace tb
