#include "Accessibility.h"
#include "FieldEdit.h"
#include "MainWindow.h"
#include "SettingsFile.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    tb::installAccessibleInterfaces(tb::FieldEdit::staticMetaObject);
    tb::MainWindow window(tb::SettingsFile::forThisProgram());
    window.show();
    const int status = QApplication::exec();
    // Once the window has closed there is nothing left to do, and every save
    // is already on disk. The toolkit's own teardown can hang on a Wayland
    // desktop (its display connection waits for an event thread that waits
    // for the compositor), so the program ends here without it.
    std::fflush(nullptr);
    std::_Exit(status);
}
