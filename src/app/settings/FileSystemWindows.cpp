// The Windows side of FileSystem.h: the same steps as on POSIX with the
// system's wide-character calls, so that any user's folder name works.
#include "FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace tb {

namespace {

[[nodiscard]] const wchar_t* wide(const QString& nativePath) noexcept
{
    return reinterpret_cast<const wchar_t*>(nativePath.utf16());
}

// A path as every Win32 call here is given it: absolute, with Windows'
// separators, and in the \\?\ form (\\?\UNC\ on a share) once it is long
// enough for a folder's name to be refused otherwise (MAX_PATH less a file
// name of 8.3). Only then: in that form a reserved name such as NUL is no
// longer the device.
[[nodiscard]] QString nativePath(const QString& path)
{
    const QString native =
        QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (native.size() < MAX_PATH - 12 || native.startsWith(QLatin1String("\\\\?\\")))
        return native;
    if (native.startsWith(QLatin1String("\\\\")))
        return QLatin1String("\\\\?\\UNC\\") + native.mid(2);
    return QLatin1String("\\\\?\\") + native;
}

// A failure as errno names its cause, for the causes the messages name.
[[nodiscard]] int errnoOf(DWORD code) noexcept
{
    switch (code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ELOOP;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    default:
        return EIO;
    }
}

// Windows' own words for a cause the messages have none for, without the
// full stop and line break they end with; empty for the others.
[[nodiscard]] QString wordsOf(DWORD code)
{
    if (errnoOf(code) != EIO)
        return {};
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString words = QString::fromWCharArray(buffer, int(length)).trimmed();
    LocalFree(buffer);
    while (words.endsWith(QLatin1Char('.')))
        words.chop(1);
    const QString number = QStringLiteral("Windows error %1").arg(code);
    return words.isEmpty() ? number : words + QStringLiteral(" (") + number + QLatin1Char(')');
}

[[nodiscard]] AtomicWriteResult failure(DWORD code, const QString& folder)
{
    const SystemError e = systemErrorOf(code);
    return {e.error, folder, SpecialFile::None, e.systemWords};
}

// What stands at a path as its handle tells: a device such as NUL or CON, or
// a pipe, reached by its reserved name or through a link.
[[nodiscard]] SpecialFile specialFileOf(HANDLE handle) noexcept
{
    switch (GetFileType(handle)) {
    case FILE_TYPE_CHAR:
        return SpecialFile::Device;
    case FILE_TYPE_PIPE:
        return SpecialFile::NamedPipe;
    default:
        return SpecialFile::None;
    }
}

// What stands at path, found without reading or writing it: nothing (code
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND), a folder, a special file or
// a regular file (code 0), or the error that stopped the look.
struct Standing {
    DWORD code = 0;
    bool folder = false;
    SpecialFile special = SpecialFile::None;

    [[nodiscard]] bool nothing() const noexcept
    {
        return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    }
};

[[nodiscard]] Standing standingAt(const QString& path)
{
    // No access asked: a device's handle is only looked at, never used.
    const HANDLE handle = CreateFileW(wide(nativePath(path)), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {GetLastError()};
    Standing standing;
    standing.special = specialFileOf(handle);
    BY_HANDLE_FILE_INFORMATION info{};
    if (standing.special == SpecialFile::None && GetFileInformationByHandle(handle, &info))
        standing.folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CloseHandle(handle);
    return standing;
}

// Creates dir and its missing parents; on failure says which folder refused.
[[nodiscard]] AtomicWriteResult makeFolders(const QString& dir)
{
    const QFileInfo info(dir);
    if (info.exists())
        return info.isDir() ? AtomicWriteResult{} : AtomicWriteResult{ENOTDIR, dir};
    const QString parent = info.absolutePath();
    if (parent != dir) {
        AtomicWriteResult made = makeFolders(parent);
        if (!made.ok())
            return made;
    }
    if (CreateDirectoryW(wide(nativePath(dir)), nullptr))
        return {};
    const DWORD code = GetLastError();
    return code == ERROR_ALREADY_EXISTS ? AtomicWriteResult{} : failure(code, parent);
}

struct Temporary {
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD code = 0;
    QString name;
};

// A new file beside the target, named so that no two saves meet.
[[nodiscard]] Temporary createTemporary(const QFileInfo& target)
{
    Temporary t;
    for (int attempt = 0; attempt < 100; ++attempt) {
        t.name = nativePath(target.absolutePath() + QLatin1String("/.") + target.fileName() +
                            QLatin1Char('.') +
                            QString::number(QRandomGenerator::global()->generate64(), 36));
        t.handle = CreateFileW(wide(t.name), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        t.code = t.handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        if (t.code != ERROR_FILE_EXISTS)
            break;
    }
    return t;
}

// Writes, flushes to the disk and closes the file: 0, or the error of the
// step that failed, when the file is removed again.
[[nodiscard]] DWORD fillTemporary(const Temporary& t, const QByteArray& bytes)
{
    DWORD code = 0;
    qsizetype done = 0;
    while (code == 0 && done < bytes.size()) {
        DWORD written = 0;
        const auto chunk = DWORD(qMin<qsizetype>(bytes.size() - done, 1 << 20));
        if (!WriteFile(t.handle, bytes.constData() + done, chunk, &written, nullptr))
            code = GetLastError();
        else if (written == 0)
            code = ERROR_DISK_FULL;
        done += written;
    }
    if (code == 0 && !FlushFileBuffers(t.handle))
        code = GetLastError();
    if (!CloseHandle(t.handle) && code == 0)
        code = GetLastError();
    if (code != 0)
        DeleteFileW(wide(t.name));
    return code;
}

// A known folder's path ("/" separated), empty when the system has none.
[[nodiscard]] QString knownFolder(REFKNOWNFOLDERID id)
{
    wchar_t* path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return folder;
}

// The folder itself or one inside it, whatever the letters' case.
[[nodiscard]] bool isWithin(const QString& folder, const QString& root)
{
    if (root.isEmpty())
        return false;
    const QString clean = QDir::cleanPath(root);
    return folder.compare(clean, Qt::CaseInsensitive) == 0 ||
           folder.startsWith(clean + QLatin1Char('/'), Qt::CaseInsensitive);
}

// Whether a new file can be made in folder: the one test that tells on
// Windows, where a folder's permissions are in its access list.
[[nodiscard]] bool mayWriteIn(const QString& folder)
{
    const QString probe = nativePath(folder + QLatin1String("/.Tubebridge.probe.") +
                                     QString::number(QRandomGenerator::global()->generate64(), 36));
    const HANDLE handle =
        CreateFileW(wide(probe), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

// Whether a failed replacement met a file that another program holds open
// (an antivirus, the search indexer, another instance reading it): Windows
// says so, or denies access to a file that may be written.
[[nodiscard]] bool inUse(DWORD code, bool writableFile) noexcept
{
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
           (code == ERROR_ACCESS_DENIED && writableFile);
}

// Moves from over to, waiting for a file in use for about a second: 0 or
// the last error.
[[nodiscard]] DWORD replaceWaiting(const QString& from, const QString& to, bool writableFile)
{
    constexpr int attempts = 20;
    constexpr DWORD pause = 50; // milliseconds
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(wide(from), wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        const DWORD code = GetLastError();
        if (attempt == attempts || !inUse(code, writableFile))
            return code;
        Sleep(pause);
    }
}

} // namespace

SystemError systemErrorOf(unsigned long windowsCode)
{
    const auto code = DWORD(windowsCode);
    return {errnoOf(code), wordsOf(code)};
}

AtomicWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes,
                                      MissingFolders folders)
{
    // A symbolic link (a settings file kept elsewhere) stays a link: the
    // file it points to is the one replaced.
    QFileInfo target(path);
    if (target.isSymLink())
        target = QFileInfo(target.symLinkTarget());
    const QString folder = target.absolutePath();

    const Standing standing = standingAt(target.absoluteFilePath());
    if (standing.folder)
        return {EISDIR, folder};
    if (standing.special != SpecialFile::None)
        return {0, folder, standing.special};
    if (AtomicWriteResult made =
            folders == MissingFolders::Create ? makeFolders(folder) : AtomicWriteResult{};
        !made.ok())
        return made;
    // Refused, a file in the folder's place is told here, as makeFolders
    // tells it; a missing folder fails below: ERROR_PATH_NOT_FOUND, ENOENT.
    if (const QFileInfo dir(folder); dir.exists() && !dir.isDir())
        return {ENOTDIR, folder};
    const Temporary temporary = createTemporary(target);
    if (temporary.handle == INVALID_HANDLE_VALUE)
        return failure(temporary.code, folder);
    if (const DWORD code = fillTemporary(temporary, bytes); code != 0)
        return failure(code, folder);
    // As on POSIX, where a file's own permissions do not stop its folder's
    // owner from replacing it: a read-only file is replaced too, and the new
    // one is not read-only. Should the replacement fail, it is as it was.
    const QString file = nativePath(target.absoluteFilePath());
    const DWORD attributes = GetFileAttributesW(wide(file));
    const bool readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly)
        SetFileAttributesW(wide(file), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    const bool writableFile = attributes != INVALID_FILE_ATTRIBUTES && !readOnly;
    const DWORD code = replaceWaiting(temporary.name, file, writableFile);
    if (code != 0) {
        DeleteFileW(wide(temporary.name));
        if (readOnly)
            SetFileAttributesW(wide(file), attributes);
        return inUse(code, writableFile) ? AtomicWriteResult{EBUSY, folder} : failure(code, folder);
    }
    return {};
}

void* openForReading(const QString& path)
{
    return CreateFileW(wide(nativePath(path)), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

FileRead readRegularFile(const QString& path, qint64 limit, const ByteSink& take)
{
    FileRead read;
    const auto fail = [&read](DWORD code) {
        const SystemError e = systemErrorOf(code);
        read.error = e.error;
        read.systemWords = e.systemWords;
        return read;
    };
    const Standing standing = standingAt(path);
    if (standing.nothing()) {
        read.missing = true;
        return read;
    }
    if (standing.code != 0)
        return fail(standing.code);
    // Only a regular file is opened for reading: opening a device may act
    // on it, and a pipe may wait.
    read.special = standing.special;
    if (standing.folder)
        read.error = EISDIR;
    if (!read.ok())
        return read;

    const HANDLE handle = openForReading(path);
    if (handle == INVALID_HANDLE_VALUE)
        return fail(GetLastError());
    // Should it have been swapped for something else since, it is not read.
    read.special = specialFileOf(handle);
    if (read.special != SpecialFile::None) {
        CloseHandle(handle);
        return read;
    }
    QByteArray piece(qMin<qint64>(limit, 64 * 1024), Qt::Uninitialized);
    DWORD code = 0;
    while (limit > 0) {
        DWORD got = 0;
        const auto wanted = DWORD(qMin<qint64>(limit, piece.size()));
        if (!ReadFile(handle, piece.data(), wanted, &got, nullptr)) {
            code = GetLastError();
            break;
        }
        if (got == 0 || !take(QByteArrayView(piece.constData(), qsizetype(got))))
            break;
        limit -= got;
    }
    CloseHandle(handle);
    if (code != 0)
        return fail(code);
    return read;
}

bool settingsBesideProgram(const QString& programFolder)
{
    const QString folder = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    const bool installed = isWithin(folder, knownFolder(FOLDERID_ProgramFiles)) ||
                           isWithin(folder, knownFolder(FOLDERID_ProgramFilesX86));
    return !installed && mayWriteIn(folder);
}

QString userSettingsHome()
{
    return knownFolder(FOLDERID_RoamingAppData);
}

QString ownSettingsFolderName()
{
    return QStringLiteral("Tubebridge");
}

} // namespace tb
