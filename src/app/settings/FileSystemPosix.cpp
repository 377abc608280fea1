// The POSIX side of FileSystem.h (Linux, as built and tested here).
#include "FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tb {

namespace {

// The folder that holds path (absolute, clean).
[[nodiscard]] QByteArray parentOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash > 0 ? path.left(slash) : QByteArray("/");
}

[[nodiscard]] QString folderOf(const QByteArray& path)
{
    return QFile::decodeName(parentOf(path));
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

// A link may be followed when the user who runs the program made it, or the
// owner of its folder did, or no one else may write that folder: then no one
// else can have put it there. The kernel's protected_symlinks asks less, and
// only of sticky folders.
[[nodiscard]] bool linkTrusted(const struct stat& link, const QByteArray& folder)
{
    if (link.st_uid == ::geteuid())
        return true;
    struct stat dir {};
    return ::stat(folder.constData(), &dir) == 0 &&
           (link.st_uid == dir.st_uid || (dir.st_mode & (S_IWGRP | S_IWOTH)) == 0);
}

// As many links as the kernel follows on one way before it gives ELOOP.
constexpr int MaxLinks = 40;

[[nodiscard]] QByteArray joined(const QByteArray& folder, const QByteArray& name)
{
    return folder == "/" ? '/' + name : folder + '/' + name;
}

// The text a link holds, as it holds it: 0, or errno.
[[nodiscard]] int linkText(const QByteArray& link, QByteArray& text)
{
    text.resize(256);
    for (;;) {
        const ssize_t n = ::readlink(link.constData(), text.data(), std::size_t(text.size()));
        if (n <= 0)
            return n == 0 ? ENOENT : errno;
        if (n < text.size()) {
            text.truncate(n);
            return 0;
        }
        if (text.size() >= PATH_MAX)
            return ENAMETOOLONG;
        text.resize(text.size() * 2);
    }
}

// How far a way led: to its end (path, through no link; st when it exists),
// or to a link that is not looked through, or to an error in a folder.
struct Reached {
    QByteArray path;
    struct stat st {};
    bool exists = false;
    QByteArray foreignLink{};
    int error = 0;
    QByteArray folder{};
};

// Follows way (absolute, or relative to the folder from, which is reached
// through no link) one name at a time, as the kernel would, but judges every
// link on it, the last one too, before it looks through it; links counts
// those followed. Past a missing name the rest is where it would be made.
[[nodiscard]] Reached follow(const QByteArray& from, const QByteArray& way, int& links)
{
    Reached r;
    r.path = way.startsWith('/') ? QByteArray("/") : from;
    QList<QByteArray> pending = way.split('/');
    std::reverse(pending.begin(), pending.end());
    int missing = 0; // names at the end of r.path that do not exist
    const auto fail = [&r](int error, const QByteArray& where) {
        r.error = error;
        r.folder = where;
        return r;
    };
    while (!pending.isEmpty()) {
        const QByteArray name = pending.takeLast();
        if (name.isEmpty() || name == ".")
            continue;
        if (name == "..") {
            r.path = parentOf(r.path);
            missing = qMax(0, missing - 1);
            continue;
        }
        const QByteArray next = joined(r.path, name);
        struct stat st {};
        if (missing > 0 || ::lstat(next.constData(), &st) != 0) {
            if (missing == 0 && errno != ENOENT)
                return fail(errno, r.path);
            r.path = next;
            ++missing;
        } else if (!S_ISLNK(st.st_mode)) {
            if (!S_ISDIR(st.st_mode) && !pending.isEmpty())
                return fail(ENOTDIR, next);
            r.path = next;
        } else if (!linkTrusted(st, r.path)) {
            r.foreignLink = next;
            return r;
        } else {
            QByteArray text;
            if (++links > MaxLinks)
                return fail(ELOOP, r.path);
            if (const int error = linkText(next, text); error != 0)
                return fail(error, r.path);
            if (text.startsWith('/'))
                r.path = "/";
            QList<QByteArray> names = text.split('/');
            std::reverse(names.begin(), names.end());
            pending += names;
        }
    }
    if (missing > 0)
        return r;
    if (::lstat(r.path.constData(), &r.st) == 0)
        r.exists = true;
    else if (errno != ENOENT)
        return fail(errno, parentOf(r.path));
    return r;
}

// Where the settings path leads: the entry that is read and replaced. A
// trusted link leads to the file at the end of its chain, or to where that
// file is made when it is missing. A link that is not trusted, met anywhere
// after the path's own folder, or a link loop there, leaves the entry at the
// path itself: nothing behind it is looked at, and the save replaces that
// entry. A link that is not trusted on the way to the path's own folder
// leaves no entry at all: nothing is read or saved.
struct Place {
    QByteArray target; // absolute, through no link
    struct stat st {}; // the target's own (lstat), when it exists
    bool exists = false;
    QByteArray foreignLink{};       // not looked through
    bool behindForeignLink = false; // the path's own folder lies behind it
    bool loop = false;
    int error = 0;    // why the target could not be found
    QString folder{}; // where that happened
};

[[nodiscard]] Place placeOf(const QString& path)
{
    const QByteArray absolute =
        QFile::encodeName(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    Place place;
    const auto failed = [&place](int error, const QByteArray& where) {
        place.error = error;
        place.folder = QFile::decodeName(where);
        return place;
    };
    int links = 0;
    const Reached folder = follow("/", parentOf(absolute), links);
    if (!folder.foreignLink.isEmpty()) {
        place.foreignLink = folder.foreignLink;
        place.behindForeignLink = true;
        return place;
    }
    if (folder.error != 0)
        return failed(folder.error, folder.folder);
    place.target = joined(folder.path, absolute.mid(absolute.lastIndexOf('/') + 1));
    if (folder.exists && !S_ISDIR(folder.st.st_mode))
        return failed(ENOTDIR, folder.path);
    if (!folder.exists)
        return place;
    if (::lstat(place.target.constData(), &place.st) != 0)
        return errno == ENOENT ? place : failed(errno, folder.path);
    place.exists = true;
    if (!S_ISLNK(place.st.st_mode))
        return place;
    if (!linkTrusted(place.st, folder.path)) {
        place.foreignLink = place.target;
        return place;
    }
    QByteArray text;
    if (const int error = linkText(place.target, text); error != 0)
        return failed(error, folder.path);
    ++links;
    const Reached end = follow(folder.path, text, links);
    if (!end.foreignLink.isEmpty())
        place.foreignLink = end.foreignLink;
    else if (end.error == ELOOP)
        place.loop = true;
    else if (end.error != 0)
        return failed(end.error, end.folder);
    else {
        place.target = end.path;
        place.st = end.st;
        place.exists = end.exists;
    }
    return place;
}

struct Temporary {
    int fd = -1;
    int error = 0;
    QByteArray name;
};

// A new, hidden file beside the target, named so that no two saves meet,
// made with mode (less the umask) from the start.
[[nodiscard]] Temporary createTemporary(const QByteArray& target, mode_t mode)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray prefix = target.left(slash + 1) + '.' + target.mid(slash + 1) + '.';
    Temporary t;
    for (int attempt = 0; attempt < 100; ++attempt) {
        t.name = prefix + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        t.fd = ::open(t.name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
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

// Whether the save replaces a file, rather than making one where nothing
// is, or in a link's place.
[[nodiscard]] bool replacesAFile(const Place& place) noexcept
{
    return place.exists && S_ISREG(place.st.st_mode);
}

// The new file's permissions: the old one's, except that its owner may
// always read and write it (the next start must read it); 0666 less the
// umask where there was none.
[[nodiscard]] mode_t modeAfter(const Place& place) noexcept
{
    return replacesAFile(place) ? (place.st.st_mode & 07777) | S_IRUSR | S_IWUSR : 0666;
}

// Gives the new file the old one's owner and group where the superuser
// saves (first: a change of owner clears the set-ID bits) and its
// permissions, writes, syncs and closes it; on failure it is removed.
[[nodiscard]] int fillTemporary(const Temporary& t, const Place& place, const QByteArray& bytes)
{
    int error = 0;
    const bool old = replacesAFile(place);
    if (old && ::geteuid() == 0 && ::fchown(t.fd, place.st.st_uid, place.st.st_gid) != 0)
        error = errno;
    // The umask may have taken bits the old file had.
    if (old && error == 0)
        (void)::fchmod(t.fd, modeAfter(place));
    if (error == 0)
        error = writeAll(t.fd, bytes);
    if (error == 0 && ::fsync(t.fd) != 0)
        error = errno;
    if (::close(t.fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlink(t.name.constData());
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

// The size of the pieces a file is read in.
constexpr qsizetype PieceSize = 64 * 1024;

// At most limit bytes to take, or fewer at the end of the file or when take
// wants no more; 0 or errno.
[[nodiscard]] int readUpTo(int fd, qint64 limit, const ByteSink& take)
{
    QByteArray piece(qMin<qint64>(limit, PieceSize), Qt::Uninitialized);
    while (limit > 0) {
        const ssize_t n = ::read(fd, piece.data(), std::size_t(qMin<qint64>(limit, piece.size())));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0 || !take(QByteArrayView(piece.constData(), n)))
            break;
        limit -= n;
    }
    return 0;
}

// Why something other than a regular file cannot be read.
void notAFile(FileRead& read, mode_t mode)
{
    read.special = specialFileOfMode(mode);
    if (S_ISDIR(mode))
        read.error = EISDIR;
}

// Reads the regular file the place found. Opened without following a link:
// should one have taken the file's place since, nothing behind it is read,
// and the place is looked for again (retry).
[[nodiscard]] FileRead readPlace(const Place& place, qint64 limit, const ByteSink& take,
                                 bool& retry)
{
    FileRead read;
    retry = false;
    if (place.error != 0) {
        read.error = place.error;
        read.folder = place.folder;
    } else if (!place.foreignLink.isEmpty()) {
        read.obstacle = Obstacle::ForeignLink;
        const QString link = QFile::decodeName(place.foreignLink);
        if (place.behindForeignLink)
            read.folder = link;
        else if (place.foreignLink != place.target)
            read.link = link;
    } else if (place.loop) {
        read.error = ELOOP; // told of, and replaced by the first save
    } else if (!place.exists) {
        read.missing = true;
    } else if (!S_ISREG(place.st.st_mode)) {
        // Opening a pipe waits for a writer, and opening some devices acts
        // on them.
        notAFile(read, place.st.st_mode);
    } else {
        // Should it have been swapped for a pipe since, this open does not wait.
        const int fd = ::open(place.target.constData(),
                              O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            retry = errno == ELOOP || errno == ENOENT;
            read.error = errno;
            return read;
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0)
            read.error = errno;
        else if (!S_ISREG(st.st_mode))
            notAFile(read, st.st_mode);
        else
            read.error = readUpTo(fd, limit, take);
        ::close(fd);
    }
    return read;
}

// Where installed programs are: /usr and every folder in it, /bin, /sbin.
[[nodiscard]] bool isSystemProgramFolder(const QString& folder)
{
    for (const char* root : {"/usr", "/bin", "/sbin"})
        if (folder == QLatin1String(root) || folder.startsWith(QLatin1String(root) + '/'))
            return true;
    return false;
}

} // namespace

AtomicWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes,
                                      MissingFolders folders)
{
    const Place place = placeOf(path);
    if (place.error != 0)
        return {place.error, place.folder};
    // No entry at the path can be replaced without writing through that link.
    if (const QString link = QFile::decodeName(place.foreignLink); place.behindForeignLink)
        return {0, link, SpecialFile::None, {}, Obstacle::ForeignLink};
    const QByteArray dir = parentOf(place.target);
    const QString folder = QFile::decodeName(dir);
    if (place.exists && S_ISDIR(place.st.st_mode))
        return {EISDIR, folder};
    if (const SpecialFile special = specialFileOfMode(place.st.st_mode);
        place.exists && special != SpecialFile::None)
        return {0, folder, special};
    if (AtomicWriteResult made =
            folders == MissingFolders::Create ? makeFolders(dir) : AtomicWriteResult{};
        !made.ok())
        return made;

    // Refused, a missing folder fails here: ENOENT.
    const Temporary temporary = createTemporary(place.target, modeAfter(place));
    if (temporary.fd < 0)
        return {temporary.error, folder};
    if (const int error = fillTemporary(temporary, place, bytes); error != 0)
        return {error, folder};
    // Over a link, rename replaces the link itself.
    if (::rename(temporary.name.constData(), place.target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.name.constData());
        return {error, folder};
    }
    syncFolder(dir);
    return {};
}

FileRead readRegularFile(const QString& path, qint64 limit, const ByteSink& take)
{
    bool retry = true;
    FileRead read;
    for (int attempt = 0; retry && attempt < 3; ++attempt)
        read = readPlace(placeOf(path), limit, take, retry);
    return read;
}

bool settingsBesideProgram(const QString& programFolder)
{
    const QFileInfo info(programFolder);
    const QString canonical = info.canonicalFilePath();
    const QString folder =
        canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    return !isSystemProgramFolder(folder) &&
           ::access(QFile::encodeName(programFolder).constData(), W_OK | X_OK) == 0;
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
