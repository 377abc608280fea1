#pragma once

#include <QString>
#include <QStringList>

namespace tb {

// The designs opened or saved from the window last, newest first, kept in a
// small text file beside the settings file: one absolute path a line, in
// UTF-8. Only the menus write it.
inline constexpr int RecentDesignCount = 8;

// The list file that goes with the settings file at settingsPath; empty
// when the settings have no place, and then nothing is kept.
[[nodiscard]] QString recentDesignsFile(const QString& settingsPath);

// Whether two absolute paths name one design: Windows' file names ignore
// case.
[[nodiscard]] bool samePath(const QString& a, const QString& b);

// designs with path first, once, and no more than RecentDesignCount.
[[nodiscard]] QStringList withDesignFirst(const QStringList& designs, const QString& path);

// The list as the file holds it (empty when there is none or it cannot be
// read), cut to RecentDesignCount.
[[nodiscard]] QStringList readRecentDesigns(const QString& listFile);

// Puts path first in the list file. The list is a convenience: a list that
// cannot be written is left as it was, and the design is not affected.
void noteRecentDesign(const QString& listFile, const QString& path);

} // namespace tb
