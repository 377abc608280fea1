#include "RecentDesigns.h"

#include "FileSystem.h"

#include <QDir>
#include <QFileInfo>

namespace tb {

namespace {

// A line of the list is a path; a few thousand bytes hold eight long ones.
constexpr qint64 ListReadLimit = qint64{RecentDesignCount} * 8192;

} // namespace

bool samePath(const QString& a, const QString& b)
{
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

QString recentDesignsFile(const QString& settingsPath)
{
    if (settingsPath.isEmpty())
        return {};
    return QFileInfo(settingsPath).dir().filePath(QStringLiteral("Tubebridge-recent.txt"));
}

QStringList withDesignFirst(const QStringList& designs, const QString& path)
{
    QStringList list{path};
    for (const QString& design : designs)
        if (list.size() < RecentDesignCount && !design.isEmpty() && !samePath(design, path))
            list.append(design);
    return list;
}

QStringList readRecentDesigns(const QString& listFile)
{
    if (listFile.isEmpty())
        return {};
    QByteArray bytes;
    const FileRead read = readRegularFile(listFile, ListReadLimit, [&bytes](QByteArrayView piece) {
        bytes.append(piece);
        return true;
    });
    if (!read.ok())
        return {};
    QStringList designs;
    for (const QString& line : QString::fromUtf8(bytes).split(QLatin1Char('\n')))
        if (designs.size() < RecentDesignCount && QDir::isAbsolutePath(line))
            designs.append(line);
    return designs;
}

void noteRecentDesign(const QString& listFile, const QString& path)
{
    if (listFile.isEmpty())
        return;
    const QStringList designs = withDesignFirst(readRecentDesigns(listFile), path);
    (void)writeFileAtomically(listFile, (designs.join(QLatin1Char('\n')) + u'\n').toUtf8());
}

} // namespace tb
