// Fuzz target for the settings file and its Windows-1252 text.
// Load of any bytes: at most sixteen fields, none holding a CR or LF, and the
// fields are exactly the file's lines, each ended by CR LF, LF or CR.
// Save of any fields: sixteen lines each ended by CR LF, and a field made of
// Windows-1252 characters without line breaks loads back unchanged.
// Decode then encode gives back every byte string; both agree with the
// character table written out below.
#include "FuzzCheck.h"

#include "SettingsFile.h"
#include "Windows1252.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

using tb::fuzz::expect;

namespace {

constexpr int fieldCount = tb::SettingsFile::FieldCount;

// Windows-1252 from 0x80 to 0x9F; the five bytes the set leaves unassigned
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control character of the same
// code. Every other byte is the Latin-1 character of its own code.
constexpr std::array<char16_t, 32> high{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t charOf(std::uint8_t byte)
{
    return byte >= 0x80 && byte <= 0x9F ? high[byte - 0x80u] : byte;
}

// The byte that stands for c, or -1 when the set has no such character.
int byteOf(char16_t c)
{
    for (int b = 0; b < 256; ++b)
        if (charOf(static_cast<std::uint8_t>(b)) == c)
            return b;
    return -1;
}

QString decoded(const QByteArray& bytes)
{
    QString text;
    for (const char b : bytes)
        text += QChar(charOf(static_cast<std::uint8_t>(b)));
    return text;
}

// A character outside the set is one "?", a surrogate pair included.
QByteArray encoded(const QString& text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        const int b = byteOf(c.unicode());
        bytes += b < 0 ? '?' : static_cast<char>(b);
    }
    return bytes;
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

void checkWindows1252(const QByteArray& bytes)
{
    const QString text = tb::decodeWindows1252(bytes);
    expect(text == decoded(bytes), "decodeWindows1252 differs from the character table",
           shown(bytes));
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

    // Walk the file: each field's bytes, then CR LF, LF or CR; the last line
    // may end at the end of the file instead, but only if it is not empty.
    qsizetype pos = 0;
    for (qsizetype i = 0; i < result.fields.size(); ++i) {
        const QByteArray line = encoded(result.fields.at(i));
        expect(bytes.mid(pos, line.size()) == line, "a loaded field is not its line of the file",
               shown(bytes));
        pos += line.size();
        if (bytes.mid(pos, 2) == "\r\n")
            pos += 2;
        else if (bytes.mid(pos, 1) == "\n" || bytes.mid(pos, 1) == "\r")
            pos += 1;
        else
            expect(pos == bytes.size() && i + 1 == result.fields.size() && !line.isEmpty(),
                   "a loaded field does not end where its line ends", shown(bytes));
    }
    if (result.fields.size() < fieldCount)
        expect(pos == bytes.size(), "load stopped before the end of a short file", shown(bytes));
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
            fields.last() += QChar(charOf(b));
        }
    }
    return fields;
}

void checkSaveLoad(const QByteArray& input)
{
    const QStringList fields = fieldsOf(input);
    for (const QString& field : fields)
        expect(tb::encodeWindows1252(field) == encoded(field),
               "encodeWindows1252 differs from the character table", shown(input));

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
        expect(line.chopped(1) == encoded(field), "a saved line is not its field's bytes",
               shown(input));
        expect(result.fields.at(i) == decoded(encoded(field)), "a field did not load back as saved",
               shown(input));
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
