#include "Accessibility.h"
#include "Form1.h"
#include "SettingsFile.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    tb::installAccessibleInterfaces();
    tb::Form1 window(tb::SettingsFile::forThisProgram());
    window.show();
    return QApplication::exec();
}
