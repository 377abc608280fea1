#include "Accessibility.h"
#include "CommandLine.h"
#include "FieldEdit.h"
#include "MainWindow.h"
#include "SettingsFile.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// With no display to show a message on, the line on standard error is all.
void endWithoutDisplay(QtMsgType type, const QMessageLogContext& /*context*/,
                       const QString& /*message*/)
{
    if (type == QtFatalMsg) {
        std::fflush(nullptr);
        std::_Exit(tb::CommandLine::BadArguments);
    }
}

// Refused arguments: the same line on standard error and in a message; the
// program then ends having written nothing, with the status returned.
[[nodiscard]] int refuse(const QString& problem, int& argc, char** argv)
{
    std::fputs(qPrintable(problem + QLatin1Char('\n')), stderr);
    std::fflush(stderr);
    std::optional<QApplication> app;
    if (QCoreApplication::instance() == nullptr) {
        qInstallMessageHandler(endWithoutDisplay);
        app.emplace(argc, argv);
        qInstallMessageHandler(nullptr);
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tubebridge"), problem, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("argumentMessage"));
    // A name given is shown as typed, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return tb::CommandLine::BadArguments;
}

} // namespace

int main(int argc, char* argv[])
{
    // --help and --version need no display, nor do refused arguments: they
    // are answered before the application, which needs one, exists. Those
    // are refused there only when no option is unknown, as an unknown one may
    // be Qt's own (-platform, -style, ...), which the application takes out.
    QStringList given;
    for (int i = 0; i < argc; ++i)
        given.append(QString::fromLocal8Bit(argv[i]));
    if (const auto request = tb::requestOf(given); request != tb::CommandLine::Request::Run) {
        [[maybe_unused]] QCoreApplication core(argc, argv);
        tb::showRequested(request);
    }
    const tb::CommandLine early = tb::readCommandLine(given);
    if (!early.unknownOption && !early.problem.isEmpty())
        return refuse(early.problem, argc, argv);

    QApplication app(argc, argv);
    // Read again only where the application took options of its own out:
    // a design is read whole to be judged, once is enough.
    const tb::CommandLine line =
        early.unknownOption ? tb::readCommandLine(QCoreApplication::arguments()) : early;
    if (!line.problem.isEmpty())
        return refuse(line.problem, argc, argv);
    tb::installAccessibleInterfaces(tb::FieldEdit::staticMetaObject);
    tb::MainWindow window(line.designPath.isEmpty() ? tb::SettingsFile::forThisProgram()
                                                    : tb::SettingsFile::forDesign(line.designPath));
    window.show();
    return QApplication::exec();
}
