#pragma once

#include <QString>

class QByteArray;

namespace tb {

// What became of a replacement: error is 0 on success, else the system's
// error number of the step that failed, and folder names where it failed.
struct AtomicWriteResult {
    int error = 0;
    QString folder;

    [[nodiscard]] bool ok() const noexcept { return error == 0; }
};

// Replaces the file at path (or, when path is a symbolic link, the file it
// points to) with bytes: a new file is written and synced beside it and then
// renamed over it. On any failure the old file is left exactly as it was and
// the new one is removed. Missing folders on the way are created (mode 0700).
[[nodiscard]] AtomicWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace tb
