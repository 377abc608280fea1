#pragma once

#include "FileSystem.h"

#include <QString>
#include <QStringList>

namespace tb {

// The sixteen persisted fields, one line each, ended by CR LF, in a file
// named Tubebridge.dat, or in a design the user named. Which file is decided
// once, at start-up.
class SettingsFile {
public:
    static constexpr int FieldCount = 16;
    static constexpr const char* FileName = "Tubebridge.dat";

    // The most characters a field holds, one byte each in the file: room for
    // a pasted table or note of a few hundred thousand characters. A longer
    // line (made elsewhere) is cut there on its own.
    static constexpr qsizetype FieldLength = 1 << 20;
    // The largest file a save writes: sixteen full fields with their CR LF,
    // 16 MiB and 32 bytes. Reading stops there, whatever stands at the path,
    // and keeps no more than a field of any line, so that a huge file costs a
    // start no more than the largest settings file. A design that is larger,
    // or has a longer line, is refused when it is named.
    static constexpr qint64 ReadLimit = qint64{FieldCount} * (FieldLength + 2);

    // The settings file, or a design: a file of the same form that the user
    // named, read and saved by the same rules, with no defaults, and whose
    // folder is never made.
    enum class Role { Settings, Design };

    enum class LoadStatus { Loaded, Missing, Unreadable };

    struct LoadResult {
        LoadStatus status = LoadStatus::Missing;
        QStringList fields;                      // at most FieldCount, as read
        QString path;                            // the file that was read, or tried
        int error = 0;                           // why it could not be read: a system error number
        SpecialFile special = SpecialFile::None; // or what stands there instead of a file
        QString systemWords;                     // the system's own words for error, if any
        Obstacle obstacle = Obstacle::None;      // or what else kept it from being read
        QString folder;                          // the folder on the way that refused, if one did
        QString link; // a link of another user further on than the one at the path
    };

    // Saves go to path. While path does not exist yet, defaultsPath (when
    // given) is read in its place: settings an administrator left.
    explicit SettingsFile(QString path, QString defaultsPath = {});

    // Beside the program when its folder takes the settings (a build, a
    // portable copy, a per-user install; see settingsBesideProgram),
    // otherwise in the user's own folder for them in configHome, seeded from
    // a file beside the program. Never relative to the current folder: when
    // configHome is empty or relative, the settings have no place (an empty
    // path), and load and save both say so (Obstacle::NoSettingsFolder).
    [[nodiscard]] static SettingsFile forProgram(const QString& programFolder,
                                                 const QString& configHome);
    [[nodiscard]] static SettingsFile forThisProgram();
    // The design at path, made absolute so that every message names it whole.
    [[nodiscard]] static SettingsFile forDesign(const QString& path);

    [[nodiscard]] Role role() const noexcept { return m_role; }

    [[nodiscard]] const QString& path() const noexcept { return m_path; }
    [[nodiscard]] const QString& defaultsPath() const noexcept { return m_defaultsPath; }

    [[nodiscard]] LoadResult load() const;
    // Replaces the file only with a complete new one; a failed save leaves
    // the old file as it was.
    [[nodiscard]] AtomicWriteResult save(const QStringList& fields) const;

    // What a first run shows: a worked example that draws a full graph.
    [[nodiscard]] static QStringList firstRunFields();

private:
    QString m_path;
    QString m_defaultsPath;
    Role m_role = Role::Settings;
};

} // namespace tb
