// Windows' writeFileAtomically (AtomicWrite.cpp is the POSIX one): the same
// steps with the system's wide-character calls, so that any user's folder
// name works, and errors given as the system error numbers the messages know.
#include "AtomicWrite.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <windows.h>

namespace tb {

namespace {

[[nodiscard]] const wchar_t* wide(const QString& nativePath) noexcept
{
    return reinterpret_cast<const wchar_t*>(nativePath.utf16());
}

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
    default:
        return EIO;
    }
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
    if (CreateDirectoryW(wide(QDir::toNativeSeparators(dir)), nullptr))
        return {};
    const DWORD code = GetLastError();
    return code == ERROR_ALREADY_EXISTS ? AtomicWriteResult{}
                                        : AtomicWriteResult{errnoOf(code), parent};
}

struct Temporary {
    HANDLE handle = INVALID_HANDLE_VALUE;
    int error = 0;
    QString name;
};

// A new file beside the target, named so that no two saves meet.
[[nodiscard]] Temporary createTemporary(const QFileInfo& target)
{
    Temporary t;
    for (int attempt = 0; attempt < 100; ++attempt) {
        t.name = QDir::toNativeSeparators(
            target.absolutePath() + QLatin1Char('/') + QLatin1Char('.') + target.fileName() +
            QLatin1Char('.') + QString::number(QRandomGenerator::global()->generate64(), 36));
        t.handle = CreateFileW(wide(t.name), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        t.error = t.handle == INVALID_HANDLE_VALUE ? errnoOf(GetLastError()) : 0;
        if (t.error != EEXIST)
            break;
    }
    return t;
}

// Writes, flushes to the disk and closes the file; on failure removes it.
[[nodiscard]] int fillTemporary(const Temporary& t, const QByteArray& bytes)
{
    int error = 0;
    qsizetype done = 0;
    while (error == 0 && done < bytes.size()) {
        DWORD written = 0;
        const auto chunk = DWORD(qMin<qsizetype>(bytes.size() - done, 1 << 20));
        if (!WriteFile(t.handle, bytes.constData() + done, chunk, &written, nullptr))
            error = errnoOf(GetLastError());
        else if (written == 0)
            error = ENOSPC;
        done += written;
    }
    if (error == 0 && !FlushFileBuffers(t.handle))
        error = errnoOf(GetLastError());
    if (!CloseHandle(t.handle) && error == 0)
        error = errnoOf(GetLastError());
    if (error != 0)
        DeleteFileW(wide(t.name));
    return error;
}

} // namespace

AtomicWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    // A symbolic link (a settings file kept elsewhere) stays a link: the
    // file it points to is the one replaced.
    QFileInfo target(path);
    if (target.isSymLink())
        target = QFileInfo(target.symLinkTarget());
    const QString folder = target.absolutePath();

    if (target.isDir())
        return {EISDIR, folder};
    if (AtomicWriteResult made = makeFolders(folder); !made.ok())
        return made;

    const Temporary temporary = createTemporary(target);
    if (temporary.handle == INVALID_HANDLE_VALUE)
        return {temporary.error, folder};
    if (const int error = fillTemporary(temporary, bytes); error != 0)
        return {error, folder};
    if (!MoveFileExW(wide(temporary.name),
                     wide(QDir::toNativeSeparators(target.absoluteFilePath())),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const int error = errnoOf(GetLastError());
        DeleteFileW(wide(temporary.name));
        return {error, folder};
    }
    return {};
}

} // namespace tb
