#include "SettingsFile.h"

#include "LineReader.h"
#include "Windows1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tb {

namespace {

// A line break inside a field would shift every later field on the next load.
QByteArray lineBytes(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return encodeWindows1252(text) + "\r\n";
}

[[nodiscard]] SettingsFile::LoadResult loadFrom(const QString& path)
{
    SettingsFile::LoadResult result;
    result.path = path;
    LineReader reader(SettingsFile::FieldCount, SettingsFile::FieldLength);
    const FileRead read =
        readRegularFile(path, SettingsFile::ReadLimit, [&reader](QByteArrayView piece) {
            reader.take(piece);
            return !reader.keptAll();
        });
    if (read.missing)
        return result;
    result.error = read.error;
    result.special = read.special;
    result.systemWords = read.systemWords;
    result.obstacle = read.obstacle;
    result.folder = read.folder;
    result.link = read.link;
    if (!read.ok()) {
        result.status = SettingsFile::LoadStatus::Unreadable;
        return result;
    }
    result.status = SettingsFile::LoadStatus::Loaded;
    reader.finish();
    for (const QByteArray& line : reader.lines())
        result.fields.append(decodeWindows1252(line));
    return result;
}

} // namespace

SettingsFile::SettingsFile(QString path, QString defaultsPath)
    : m_path(std::move(path))
    , m_defaultsPath(std::move(defaultsPath))
{
}

SettingsFile SettingsFile::forProgram(const QString& programFolder, const QString& configHome)
{
    const QString beside = QDir(programFolder).filePath(QLatin1String(FileName));
    if (settingsBesideProgram(programFolder))
        return SettingsFile(beside);
    if (configHome.isEmpty() || QDir::isRelativePath(configHome))
        return SettingsFile(QString(), beside);
    const QString own =
        QDir(configHome).filePath(ownSettingsFolderName() + QLatin1Char('/') + FileName);
    return SettingsFile(own, beside);
}

SettingsFile SettingsFile::forThisProgram()
{
    return forProgram(QCoreApplication::applicationDirPath(), userSettingsHome());
}

SettingsFile SettingsFile::forDesign(const QString& path)
{
    SettingsFile design(QFileInfo(path).absoluteFilePath());
    design.m_role = Role::Design;
    return design;
}

SettingsFile::LoadResult SettingsFile::load() const
{
    if (m_path.isEmpty()) {
        LoadResult nowhere;
        nowhere.status = LoadStatus::Unreadable;
        nowhere.obstacle = Obstacle::NoSettingsFolder;
        return nowhere;
    }
    // Only when nothing at all stands at the path: a dangling link of the
    // user's is a first run where it points.
    LoadResult own = loadFrom(m_path);
    if (own.status == LoadStatus::Missing && !m_defaultsPath.isEmpty() &&
        !QFileInfo(m_path).isSymLink())
        return loadFrom(m_defaultsPath);
    return own;
}

AtomicWriteResult SettingsFile::save(const QStringList& fields) const
{
    if (m_path.isEmpty())
        return {0, QString(), SpecialFile::None, QString(), Obstacle::NoSettingsFolder};
    QByteArray bytes;
    for (int i = 0; i < FieldCount; ++i)
        bytes += lineBytes(i < fields.size() ? fields[i] : QString());
    return writeFileAtomically(
        m_path, bytes, m_role == Role::Design ? MissingFolders::Refuse : MissingFolders::Create);
}

QStringList SettingsFile::firstRunFields()
{
    return {QStringLiteral("400"),
            QStringLiteral("60"),
            QStringLiteral("4000"),
            QStringLiteral("200"),
            QStringLiteral("50"),
            QString(),
            QString(),
            QString(),
            QStringLiteral("0"),
            QStringLiteral("360"),
            QStringLiteral("7"),
            QStringLiteral("5"),
            QStringLiteral("-300"),
            QStringLiteral("300"),
            QStringLiteral("7"),
            QStringLiteral("5")};
}

} // namespace tb
