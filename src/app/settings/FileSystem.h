#pragma once

// What the settings file needs of the system, behind one interface with one
// source per system: FileSystemPosix.cpp and FileSystemWindows.cpp. Above
// it, everything is the same on both.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

namespace tb {

// What can stand at a path besides a regular file, a folder or nothing. Such
// a thing is never read as a file (a pipe would wait for a writer, a device
// may never end) and never replaced (a save would destroy a device node).
enum class SpecialFile { None, NamedPipe, Device, Socket };

// What keeps the settings file from being read or replaced besides a system
// error: a link made by another user on the way to it (read through nothing;
// see writeFileAtomically for the save), or no folder for the user's own
// settings (the system named none, or none with a full path).
enum class Obstacle { None, ForeignLink, NoSettingsFolder };

// Errors are the system's error numbers as errno gives them. On Windows the
// causes that have words of their own (a full disk, no permission, a
// read-only medium, a folder or a file in the way, a link loop, a file in use
// by another program) are given as the errno of the same cause; any other as
// EIO with Windows' own words.

#ifdef Q_OS_WIN
// A Windows error code (GetLastError) as the error and the words above.
struct SystemError {
    int error = 0;
    QString systemWords{};
};
[[nodiscard]] SystemError systemErrorOf(unsigned long windowsCode);
#endif

// What became of a replacement: error is 0 on success, else the error of the
// step that failed, and folder names where it failed. A special file at the
// path (special) is refused before anything is written.
struct AtomicWriteResult {
    int error = 0;
    QString folder;
    SpecialFile special = SpecialFile::None;
    QString systemWords{}; // the system's own words for error, where it has them
    Obstacle obstacle = Obstacle::None;

    [[nodiscard]] bool ok() const noexcept
    {
        return error == 0 && special == SpecialFile::None && obstacle == Obstacle::None;
    }
};

// Whether a save makes the folders missing on the way to its file: the
// settings file's own folder is made, a design's folder must be there.
enum class MissingFolders { Create, Refuse };

// Replaces the regular file at path (or, when path is a symbolic link that
// may be trusted, the file it points to) with bytes, or creates it where
// nothing stands: a new file is written and flushed to the disk beside it
// and then takes the old one's place in one step. On any failure the old
// file is left exactly as it was and the new one is removed. Missing folders
// on the way are created (on POSIX with mode 0700), or, refused, fail the
// save with ENOENT naming the file's folder. The new file keeps the
// old one's permissions, except that its owner may always read and write
// it, and is never readable by more than that, not even for a moment; on
// POSIX, saved by the superuser, it keeps the old one's owner and group too.
//
// On POSIX every link on the way is judged, those in the folders of the path
// and of each link's target too, at most 40 (then ELOOP): it is trusted when
// the user who runs the program made it, or the owner of its folder did, or
// no one but that owner may write the folder. Another link is never looked
// through. Met at the path or beyond it, the save puts the new file in place
// of the entry at the path itself (the untrusted link, or the trusted one
// that led to it), unless the system refuses (EPERM in a sticky folder). Met
// on the way to the path's own folder, nothing is saved:
// Obstacle::ForeignLink, with that link as folder. On Windows a file in use
// by another program is waited for about a second (EBUSY).
[[nodiscard]] AtomicWriteResult
writeFileAtomically(const QString& path, const QByteArray& bytes,
                    MissingFolders folders = MissingFolders::Create);

// What reading a file gave: nothing at the path (missing; a dangling link is
// nothing too), or why it could not be read (error, special or obstacle).
// folder names the folder on the way that refused, when the file itself did
// not: for Obstacle::ForeignLink the link on the way to the path's own
// folder. link names a link not trusted further on, beyond the one at the
// path.
struct FileRead {
    bool missing = false;
    int error = 0;
    SpecialFile special = SpecialFile::None;
    QString systemWords{};
    Obstacle obstacle = Obstacle::None;
    QString folder{};
    QString link{};

    [[nodiscard]] bool ok() const noexcept
    {
        return !missing && error == 0 && special == SpecialFile::None && obstacle == Obstacle::None;
    }
};

// Takes the bytes of a file in order, a piece at a time; false when it needs
// no more of them.
using ByteSink = std::function<bool(QByteArrayView piece)>;

// Gives take at most limit bytes of the regular file at path, from its
// start, in pieces of a bounded size, so that no more of a huge file is held
// at once than one piece. Only a regular file is opened; a folder gives
// EISDIR, a link loop ELOOP, a link on the way that is not trusted (see
// writeFileAtomically) Obstacle::ForeignLink. Only "no such file" counts as
// missing. With limit 0 the file is only looked at.
[[nodiscard]] FileRead readRegularFile(const QString& path, qint64 limit, const ByteSink& take);

#ifdef Q_OS_WIN
// The handle a read of the settings file uses (a HANDLE, or
// INVALID_HANDLE_VALUE with GetLastError's cause): it lets others read,
// write, rename and delete the file meanwhile, so that another instance's
// save is not stopped by this read.
[[nodiscard]] void* openForReading(const QString& path);
#endif

// Whether the settings file is kept in the program's own folder: one that
// the user may write, and not where installed programs are, whatever its
// permissions say: on POSIX /usr and every folder under it (/usr/bin,
// /usr/local/bin, ...), /bin and /sbin; on Windows Program Files.
[[nodiscard]] bool settingsBesideProgram(const QString& programFolder);

// The folder that holds a user's settings of each program: on POSIX
// $XDG_CONFIG_HOME (~/.config), on Windows %APPDATA%. This program's folder
// in it is ownSettingsFolderName(): "tubebridge", or "Tubebridge" on Windows.
[[nodiscard]] QString userSettingsHome();
[[nodiscard]] QString ownSettingsFolderName();

} // namespace tb
