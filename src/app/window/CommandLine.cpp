#include "CommandLine.h"

#include "FileSystem.h"
#include "LineReader.h"
#include "SettingsFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cerrno>

namespace tb {

namespace {

QCommandLineOption helpOption()
{
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Displays this help."));
}

// The same in both readings: one with Qt's options still among the
// arguments, one without. A word after a single dash is one option, so that
// a Qt option such as -reverse is never read as -v.
void describe(QCommandLineParser& parser)
{
    // Qt prints it as it stands: broken into lines here.
    parser.setApplicationDescription(QStringLiteral(
        "A design calculator for a push-pull vacuum-tube output stage.\n\n"
        "Without FILE the fields come from the settings file, and \"End\" saves them\n"
        "there. With FILE they come from that design, and \"End\" saves them to it;\n"
        "a design that does not exist yet starts with the worked example, and \"End\"\n"
        "creates it. Qt's own options, such as -platform, -style and -geometry, are\n"
        "taken too."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(helpOption());
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("A design: sixteen lines, as in the settings file (name.tubebridge)."),
        QStringLiteral("[FILE]"));
}

// The option as it was typed, for the message.
QString typedOption(const QStringList& arguments, const QString& name)
{
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        const QString bare = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        if (argument.startsWith(QLatin1Char('-')) && bare.section(QLatin1Char('='), 0, 0) == name)
            return argument;
    }
    return name;
}

// Why FILE cannot be a design, when it is not a file at all.
QString notAFile(const QString& path, const FileRead& what)
{
    QString thing;
    switch (what.special) {
    case SpecialFile::NamedPipe:
        thing = QStringLiteral("a named pipe");
        break;
    case SpecialFile::Device:
        thing = QStringLiteral("a device");
        break;
    case SpecialFile::Socket:
        thing = QStringLiteral("a socket");
        break;
    case SpecialFile::None:
        if (what.error == EISDIR)
            thing = QStringLiteral("a folder");
        break;
    }
    if (thing.isEmpty())
        return {};
    return QStringLiteral("Tubebridge cannot open \"%1\": it is %2, not a design file.")
        .arg(path, thing);
}

} // namespace

CommandLine::Request requestOf(const QStringList& arguments)
{
    QCommandLineParser parser;
    describe(parser);
    (void)parser.parse(arguments); // Qt's options are unknown here, and not wrong
    if (parser.isSet(helpOption()))
        return CommandLine::Request::Help;
    if (parser.isSet(QStringLiteral("version")))
        return CommandLine::Request::Version;
    return CommandLine::Request::Run;
}

void showRequested(CommandLine::Request request)
{
    QCoreApplication::setApplicationName(QStringLiteral("tubebridge"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TUBEBRIDGE_VERSION));
    QCommandLineParser parser;
    describe(parser);
    if (request == CommandLine::Request::Version)
        parser.showVersion();
    parser.showHelp(0);
}

CommandLine readCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    describe(parser);
    CommandLine line;
    const bool parsed = parser.parse(arguments);
    const QStringList files = parser.positionalArguments();
    line.unknownOption = !parser.unknownOptionNames().isEmpty();
    if (line.unknownOption)
        line.problem = QStringLiteral("Tubebridge does not know the option \"%1\" "
                                      "(tubebridge --help lists its options).")
                           .arg(typedOption(arguments, parser.unknownOptionNames().constFirst()));
    else if (!parsed)
        line.problem =
            QStringLiteral("Tubebridge cannot take its arguments: %1").arg(parser.errorText());
    else if (files.size() > 1)
        line.problem = QStringLiteral("Tubebridge opens one design at a time, and was given a "
                                      "second file, \"%1\". Start it once for each design.")
                           .arg(files.at(1));
    else if (files.size() == 1 && files.constFirst().isEmpty())
        line.problem = QStringLiteral("Tubebridge cannot open \"\": a file's name cannot be "
                                      "empty.");
    else if (files.size() == 1)
        line.problem = designFileProblem(files.constFirst());
    if (line.problem.isEmpty() && files.size() == 1)
        line.designPath = files.constFirst();
    return line;
}

QString designFileProblem(const QString& path)
{
    // One more byte than a design can hold tells a larger file.
    LineReader reader(0, SettingsFile::FieldLength);
    qint64 size = 0;
    const FileRead read =
        readRegularFile(path, SettingsFile::ReadLimit + 1, [&](QByteArrayView piece) {
            size += piece.size();
            reader.take(piece);
            return true;
        });
    if (QString thing = notAFile(path, read); !thing.isEmpty())
        return thing;
    // Nothing there yet is a new design; a file that cannot be read is told
    // by its cause once the window is open.
    if (!read.ok())
        return {};
    reader.finish();
    QString why;
    if (size > SettingsFile::ReadLimit)
        why = QStringLiteral("it is larger than %1 bytes, the most a design holds")
                  .arg(SettingsFile::ReadLimit);
    else if (reader.hasNul())
        why = QStringLiteral("it holds binary data (a NUL byte)");
    else if (reader.lineCount() > SettingsFile::FieldCount)
        why = QStringLiteral("it has %1 lines").arg(reader.lineCount());
    else if (reader.firstLongLine() > 0)
        why = QStringLiteral("its line %1 is longer than a field holds (%2 characters)")
                  .arg(reader.firstLongLine())
                  .arg(SettingsFile::FieldLength);
    if (why.isEmpty())
        return {};
    return QStringLiteral("%1 is not a Tubebridge design: %2").arg(path, why);
}

} // namespace tb
