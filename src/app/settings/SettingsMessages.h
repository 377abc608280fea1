#pragma once

#include "SettingsFile.h"

#include <QString>

namespace tb {

// What a failed save means and what the user can do about that cause; the
// program stays open, so the advice ends with what saves again (pressing
// "End" again, unless told). role says what the file is called.
[[nodiscard]] QString saveFailureMessage(const AtomicWriteResult& failure, const QString& file,
                                         SettingsFile::Role role = SettingsFile::Role::Settings,
                                         const QString& again = {});

// The cause and its remedy alone, in the same words, for any file saved in
// one step (the graph too).
[[nodiscard]] QString saveFailureCause(const AtomicWriteResult& failure, const QString& file);

// Why the settings could not be read at start-up, and where "End" will save.
[[nodiscard]] QString loadFailureMessage(const SettingsFile::LoadResult& failure,
                                         const QString& savePath);

} // namespace tb
