#include "SettingsFile.h"

#include "Windows1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace tb {

namespace {

// Lines end with CR LF; a bare LF or a bare CR (a file edited elsewhere) ends
// one too, so that no field is ever loaded holding a line break.
QStringList splitLines(const QByteArray& bytes, int maxLines)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < bytes.size() && lines.size() < maxLines) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines.append(decodeWindows1252(bytes.mid(start, end - start)));
        const bool crLf = end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n';
        start = end + (crLf ? 2 : 1);
    }
    return lines;
}

// A line break inside a field would shift every later field on the next load.
QByteArray lineBytes(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return encodeWindows1252(text) + "\r\n";
}

} // namespace

SettingsFile::SettingsFile(QString path)
    : m_path(std::move(path))
{
}

QString SettingsFile::besideExecutable()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Tubebridge.dat"));
}

SettingsFile::LoadResult SettingsFile::load() const
{
    LoadResult result;
    QFile file(m_path);
    if (!file.exists())
        return result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = LoadStatus::Unreadable;
        result.error = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = LoadStatus::Unreadable;
        result.error = file.errorString();
        return result;
    }
    result.status = LoadStatus::Loaded;
    result.fields = splitLines(bytes, FieldCount);
    return result;
}

QString SettingsFile::save(const QStringList& fields) const
{
    QByteArray bytes;
    for (int i = 0; i < FieldCount; ++i)
        bytes += lineBytes(i < fields.size() ? fields[i] : QString());

    QSaveFile file(m_path);
    // An installed program's folder is seldom writable, but a writable
    // settings file may have been put there for the user: write it in place.
    file.setDirectWriteFallback(true);
    // Unbuffered, so a short write (a full disk) shows in write() itself: a
    // buffered QSaveFile can commit a truncated file after a short flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        const QString reason =
            written < 0 ? file.errorString()
                        : QStringLiteral("only %1 of %2 bytes could be written (is the disk full?)")
                              .arg(written)
                              .arg(bytes.size());
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
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
