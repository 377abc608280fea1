// The yardsticks for start-up: an empty Qt window, shown maximised as the
// program's own window is, and (with --text) the same window showing one line
// of text, which is what loading the fonts costs any program.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0)
        new QLabel(QStringLiteral("Power Supply Voltage (volts)"), &window);
    window.setWindowState(Qt::WindowMaximized);
    window.show();
    return QApplication::exec();
}
