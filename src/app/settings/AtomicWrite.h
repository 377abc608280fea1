#pragma once

#include <QString>

class QByteArray;

namespace tb {

// What can stand at a path besides a regular file, a folder or nothing. Such
// a thing is never read as a file (a pipe would wait for a writer, a device
// may never end) and never replaced (a save would destroy a device node).
enum class SpecialFile { None, NamedPipe, Device, Socket };

// Which of them a file mode (st_mode) describes; None for a regular file, a
// folder or a link.
[[nodiscard]] SpecialFile specialFileOfMode(unsigned int mode) noexcept;

// What became of a replacement: error is 0 on success, else the system's
// error number of the step that failed, and folder names where it failed.
// A special file at the path (special) is refused before anything is written.
struct AtomicWriteResult {
    int error = 0;
    QString folder;
    SpecialFile special = SpecialFile::None;

    [[nodiscard]] bool ok() const noexcept { return error == 0 && special == SpecialFile::None; }
};

// Replaces the regular file at path (or, when path is a symbolic link, the
// file it points to) with bytes, or creates it where nothing stands: a new
// file is written and synced beside it and then renamed over it. On any
// failure the old file is left exactly as it was and the new one is removed.
// Missing folders on the way are created (mode 0700).
[[nodiscard]] AtomicWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace tb
