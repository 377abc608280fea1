#include "SettingsFile.h"

#include "Windows1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// At most ReadLimit bytes, or fewer at the end of the file; error is 0 or the
// system's error number.
[[nodiscard]] int readUpToLimit(int fd, QByteArray& bytes)
{
    bytes.resize(SettingsFile::ReadLimit);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break;
        done += n;
    }
    bytes.truncate(done);
    return 0;
}

// Why something other than a regular file cannot be read.
void notAFile(SettingsFile::LoadResult& result, mode_t mode)
{
    result.special = specialFileOfMode(mode);
    if (S_ISDIR(mode))
        result.error = EISDIR;
}

[[nodiscard]] SettingsFile::LoadResult loadFrom(const QString& path)
{
    SettingsFile::LoadResult result;
    result.path = path;
    const QByteArray name = QFile::encodeName(path);
    // Nothing there and a dangling link alike: no file yet. A link loop is
    // told of, and replaced by the first save.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ELOOP) {
            result.status = SettingsFile::LoadStatus::Unreadable;
            result.error = ELOOP;
        }
        return result;
    }
    result.status = SettingsFile::LoadStatus::Unreadable;
    // Only a regular file is opened: opening a pipe waits for a writer, and
    // opening some devices acts on them.
    if (!S_ISREG(st.st_mode)) {
        notAFile(result, st.st_mode);
        return result;
    }
    // Should it have been swapped for a pipe since, this open does not wait.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    QByteArray bytes;
    if (::fstat(fd, &st) != 0)
        result.error = errno;
    else if (!S_ISREG(st.st_mode))
        notAFile(result, st.st_mode);
    else
        result.error = readUpToLimit(fd, bytes);
    ::close(fd);
    if (result.error != 0 || result.special != SpecialFile::None)
        return result;
    result.status = SettingsFile::LoadStatus::Loaded;
    result.fields = splitLines(bytes, SettingsFile::FieldCount);
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
    if (::access(QFile::encodeName(programFolder).constData(), W_OK | X_OK) == 0)
        return SettingsFile(beside);
    const QString own = QDir(configHome).filePath(QStringLiteral("tubebridge/") + FileName);
    return SettingsFile(own, beside);
}

SettingsFile SettingsFile::forThisProgram()
{
    return forProgram(QCoreApplication::applicationDirPath(),
                      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

SettingsFile::LoadResult SettingsFile::load() const
{
    const bool useDefaults =
        !m_defaultsPath.isEmpty() && !QFileInfo::exists(m_path) && !QFileInfo(m_path).isSymLink();
    return loadFrom(useDefaults ? m_defaultsPath : m_path);
}

AtomicWriteResult SettingsFile::save(const QStringList& fields) const
{
    QByteArray bytes;
    for (int i = 0; i < FieldCount; ++i)
        bytes += lineBytes(i < fields.size() ? fields[i] : QString());
    return writeFileAtomically(m_path, bytes);
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
