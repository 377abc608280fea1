// Fuzz target for the settings file and its Windows-1252 text.
// Load of any bytes: at most sixteen fields, none holding a CR or LF, and the
// fields are exactly the lines of what is read of the file (all of it up to
// the read limit), each ended by CR LF, LF or CR.
// Save of any fields: sixteen lines each ended by CR LF, and a field made of
// Windows-1252 characters without line breaks loads back unchanged.
// Decoding agrees with an independent Windows-1252 decoder (Qt's own, which
// is ICU's; on Windows, where Qt is built without ICU, the system's code page
// 1252) and encoding gives back every byte string; a character becomes the byte that decodes to it,
// or "?" when no byte does.
#include "FuzzCheck.h"

#include "SettingsFile.h"
#include "Windows1252.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QTemporaryDir>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

using tb::fuzz::expect;

namespace {

constexpr int fieldCount = tb::SettingsFile::FieldCount;

// Every character the set holds: what the 256 bytes decode to.
const QString& characterSet()
{
    static const QString set = [] {
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = static_cast<char>(b);
        return tb::decodeWindows1252(all);
    }();
    return set;
}

// One byte per character (a surrogate pair is one character): the byte that
// reads back as that character when the set holds it, otherwise "?".
bool encodesCharByChar(const QString& text, const QByteArray& bytes)
{
    qsizetype k = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++k) {
        const QChar c = text.at(i);
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        i += pair ? 1 : 0;
        if (k >= bytes.size())
            return false;
        const bool held = !pair && characterSet().contains(c);
        if (held ? tb::decodeWindows1252(bytes.mid(k, 1)) != QString(c) : bytes.at(k) != '?')
            return false;
    }
    return k == bytes.size();
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

std::string shown(const QByteArray& bytes)
{
    return bytes.toStdString();
}

const QString& filePath()
{
    static const QTemporaryDir dir;
    expect(dir.isValid(), "cannot create a temporary folder");
    static const QString path = dir.filePath(QStringLiteral("Tubebridge.dat"));
    return path;
}

void writeFile(const QByteArray& bytes)
{
    QFile file(filePath());
    expect(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(bytes) == bytes.size(),
           "cannot write the temporary settings file");
}

QByteArray readFile()
{
    QFile file(filePath());
    expect(file.open(QIODevice::ReadOnly), "cannot read the temporary settings file");
    return file.readAll();
}

#ifdef Q_OS_WIN
// The system's own conversion from code page 1252.
QString referenceDecode(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    const int size = int(bytes.size());
    std::wstring text(std::size_t(size), L'\0'); // one character per byte
    const int n = MultiByteToWideChar(1252, 0, bytes.constData(), size, text.data(), size);
    expect(n == size, "Windows could not convert from code page 1252", shown(bytes));
    return QString::fromWCharArray(text.data(), n);
}
constexpr const char* referenceDiffers = "decoding differs from Windows' code page 1252";
#else
// Qt's own Windows-1252 decoder (ICU's).
QString referenceDecode(const QByteArray& bytes)
{
    QStringDecoder reference("windows-1252");
    expect(reference.isValid(), "Qt offers no Windows-1252 decoder to compare with");
    return reference.decode(bytes);
}
constexpr const char* referenceDiffers = "decoding differs from Qt's Windows-1252 decoder";
#endif

// Decoding agrees with an independent decoder, and encoding gives the bytes
// back.
void checkWindows1252(const QByteArray& bytes)
{
    const QString text = tb::decodeWindows1252(bytes);
    expect(text == referenceDecode(bytes), referenceDiffers, shown(bytes));
    expect(tb::encodeWindows1252(text) == bytes, "decode then encode did not give the bytes back",
           shown(bytes));
}

void checkLoad(const QByteArray& bytes)
{
    writeFile(bytes);
    const tb::SettingsFile::LoadResult result = tb::SettingsFile(filePath()).load();
    expect(result.status == tb::SettingsFile::LoadStatus::Loaded, "an existing file did not load",
           shown(bytes));
    expect(result.fields.size() <= fieldCount, "load gave more than sixteen fields", shown(bytes));
    for (const QString& field : result.fields)
        expect(!hasLineBreak(field), "a loaded field holds a CR or LF", shown(bytes));

    // Walk what is read of the file: each field's bytes (a full field may be
    // the start of a longer line, the rest passed over), then CR LF, LF or
    // CR; the last line may end at the end instead, but only if it is not empty.
    const QByteArray read = bytes.left(tb::SettingsFile::ReadLimit);
    qsizetype pos = 0;
    for (qsizetype i = 0; i < result.fields.size(); ++i) {
        const QByteArray line = tb::encodeWindows1252(result.fields.at(i));
        expect(line.size() <= tb::SettingsFile::FieldLength, "a loaded field is too long",
               shown(bytes));
        expect(read.mid(pos, line.size()) == line, "a loaded field is not its line of the file",
               shown(bytes));
        pos += line.size();
        if (line.size() == tb::SettingsFile::FieldLength)
            while (pos < read.size() && read[pos] != '\r' && read[pos] != '\n')
                ++pos;
        if (read.mid(pos, 2) == "\r\n")
            pos += 2;
        else if (read.mid(pos, 1) == "\n" || read.mid(pos, 1) == "\r")
            pos += 1;
        else
            expect(pos == read.size() && i + 1 == result.fields.size() && !line.isEmpty(),
                   "a loaded field does not end where its line ends", shown(bytes));
    }
    if (result.fields.size() < fieldCount)
        expect(pos == read.size(), "load stopped before the end of a short file", shown(bytes));
}

// Fields from the input: split at LF (a CR just before it dropped); the
// bytes decode as Windows-1252, except that 0x01 followed by two bytes is any
// UTF-16 code unit, a CR, LF or lone surrogate included.
QStringList fieldsOf(const QByteArray& bytes)
{
    QStringList fields(1);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes.at(i));
        if (b == '\n') {
            if (fields.last().endsWith(QLatin1Char('\r')))
                fields.last().chop(1);
            fields.append(QString());
        } else if (b == 0x01 && i + 2 < bytes.size()) {
            const auto lo = static_cast<std::uint8_t>(bytes.at(i + 1));
            const auto hi = static_cast<std::uint8_t>(bytes.at(i + 2));
            fields.last() += QChar(static_cast<char16_t>(lo | hi << 8));
            i += 2;
        } else {
            fields.last() += tb::decodeWindows1252(bytes.mid(i, 1));
        }
    }
    return fields;
}

void checkSaveLoad(const QByteArray& input)
{
    const QStringList fields = fieldsOf(input);
    for (const QString& field : fields)
        expect(encodesCharByChar(field, tb::encodeWindows1252(field)),
               "a character was not encoded as the byte that reads back as it, or \"?\"",
               shown(input));

    const tb::AtomicWriteResult saved = tb::SettingsFile(filePath()).save(fields);
    expect(saved.ok(), "save failed", std::strerror(saved.error));

    const QByteArray file = readFile();
    QList<QByteArray> lines = file.split('\n');
    expect(lines.size() == fieldCount + 1 && lines.last().isEmpty(),
           "the saved file is not sixteen lines", shown(input));
    lines.removeLast();
    const tb::SettingsFile::LoadResult result = tb::SettingsFile(filePath()).load();
    expect(result.fields.size() == fieldCount, "the saved file did not load as sixteen fields",
           shown(input));
    for (int i = 0; i < fieldCount; ++i) {
        const QByteArray& line = lines.at(i);
        expect(line.endsWith('\r') && line.indexOf('\r') == line.size() - 1,
               "a saved line does not end with exactly one CR LF", shown(input));
        const QString field = i < fields.size() ? fields.at(i) : QString();
        if (hasLineBreak(field))
            continue; // only the line count is promised for these
        const QByteArray bytes = tb::encodeWindows1252(field);
        expect(line.chopped(1) == bytes, "a saved line is not its field's bytes", shown(input));
        expect(result.fields.at(i) == tb::decodeWindows1252(bytes),
               "a field did not load back as saved", shown(input));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkWindows1252(bytes);
    checkLoad(bytes);
    checkSaveLoad(bytes);
    return 0;
}
