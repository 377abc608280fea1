#pragma once

#include <QString>
#include <QStringList>

namespace tb {

// tubebridge [options] [FILE]: FILE is a design, read and saved in place of
// the settings file.
struct CommandLine {
    enum class Request { Run, Help, Version };

    // The exit status when the arguments cannot be taken.
    static constexpr int BadArguments = 2;

    QString designPath; // empty: no FILE, the settings file
    QString problem;    // why the arguments cannot be taken, in one line; empty when they can
    // An option it does not know was among them: read before the application
    // has taken its own options out, that may be one of Qt's.
    bool unknownOption = false;
};

// Before the application exists, from the arguments as given, Qt's own
// options among them: only whether they ask for the help or the version.
[[nodiscard]] CommandLine::Request requestOf(const QStringList& arguments);

// Prints the help or the version on standard output and ends the program
// with status 0. Needs a QCoreApplication, and no display.
[[noreturn]] void showRequested(CommandLine::Request request);

// The design, or what is wrong with the arguments: an unknown option, a
// second file, an empty name, or a FILE that is a folder, a device, a named
// pipe or a socket. Final once the application has taken its own options
// (-platform, -style, ...) out of them, or when no option was unknown.
[[nodiscard]] CommandLine readCommandLine(const QStringList& arguments);

// Why the file at path cannot be opened as a design, in one line that names
// it; empty when it can (a design, or nothing there yet). The command line
// and the window's Open refuse a file with the same words.
[[nodiscard]] QString designFileProblem(const QString& path);

} // namespace tb
