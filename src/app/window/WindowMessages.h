#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>

class QWidget;

namespace tb {

// The window's messages. Never modal: a click on the window gives the window
// the keyboard, and some desktops (all on Wayland) let no program hand it
// back to a modal message, which would leave the window deaf until the
// message itself is clicked. Transient for the window, so that the desktop
// keeps them above it, and centred on it where the desktop lets a program
// place its windows, since the toolkit's own placement guesses the frame of
// a maximised window wrongly. At most one is open: a new one replaces it.
class WindowMessages : public QObject {
    Q_OBJECT

public:
    explicit WindowMessages(QWidget* window);

    // A settings file that could not be read or written (object name
    // "settingsMessage").
    void showSettingsProblem(const QString& text, const QString& detail);
    // A graph that could not be saved (object name "graphMessage").
    void showGraphProblem(const QString& text, const QString& detail);
    // A run-time error that stopped a handler (object name "runtimeErrorMessage").
    void showRuntimeError(const QString& name, const QString& consequence);

private:
    void open(QMessageBox::Icon icon, const QString& objectName, const QString& text,
              const QString& detail);

    QWidget* m_window;
    QPointer<QMessageBox> m_open;
};

// Asks, under title, whether the file at path may be replaced; "No" is the
// default. Plain text: a file's name is shown as it is.
[[nodiscard]] bool replaceConfirmed(QWidget* parent, const QString& title, const QString& path);

} // namespace tb
