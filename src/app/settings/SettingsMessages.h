#pragma once

#include "SettingsFile.h"

#include <QString>

namespace tb {

// What a failed save means and what the user can do about that cause; the
// program stays open, so the advice ends with pressing "End" again.
[[nodiscard]] QString saveFailureMessage(const AtomicWriteResult& failure, const QString& file);

// Why the settings could not be read at start-up, and where "End" will save.
[[nodiscard]] QString loadFailureMessage(const SettingsFile::LoadResult& failure,
                                         const QString& savePath);

} // namespace tb
