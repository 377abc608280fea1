#pragma once

#include <QString>
#include <QStringList>

namespace tb {

// The sixteen persisted fields, one line each, ended by CR LF, in the file
// Tubebridge.dat beside the executable.
class SettingsFile {
public:
    static constexpr int FieldCount = 16;

    enum class LoadStatus { Loaded, Missing, Unreadable };

    struct LoadResult {
        LoadStatus status = LoadStatus::Missing;
        QStringList fields; // at most FieldCount, as read
        QString error;      // why an existing file could not be read
    };

    explicit SettingsFile(QString path);

    [[nodiscard]] static QString besideExecutable();
    [[nodiscard]] const QString& path() const noexcept { return m_path; }

    [[nodiscard]] LoadResult load() const;
    // Replaces the file only with a complete new one. Returns the reason on
    // failure, an empty text on success.
    [[nodiscard]] QString save(const QStringList& fields) const;

    // What a first run shows: a worked example that draws a full graph.
    [[nodiscard]] static QStringList firstRunFields();

private:
    QString m_path;
};

} // namespace tb
