#include "WindowMessages.h"

#include <QLabel>
#include <QWidget>

namespace tb {

WindowMessages::WindowMessages(QWidget* window)
    : QObject(window)
    , m_window(window)
{
}

void WindowMessages::showSettingsProblem(const QString& text, const QString& detail)
{
    open(QMessageBox::Warning, QStringLiteral("settingsMessage"), text, detail);
}

void WindowMessages::showGraphProblem(const QString& text, const QString& detail)
{
    open(QMessageBox::Warning, QStringLiteral("graphMessage"), text, detail);
}

void WindowMessages::showRuntimeError(const QString& name, const QString& consequence)
{
    open(QMessageBox::Critical, QStringLiteral("runtimeErrorMessage"), name, consequence);
}

void WindowMessages::open(QMessageBox::Icon icon, const QString& objectName, const QString& text,
                          const QString& detail)
{
    if (m_open)
        m_open->close();
    auto* box =
        new QMessageBox(icon, QStringLiteral("Tubebridge"), text, QMessageBox::Ok, m_window);
    m_open = box;
    box->setObjectName(objectName);
    // A file's name and the system's words are shown as they are, never as
    // markup. Qt gives the detail a label of its own, which guesses.
    box->setTextFormat(Qt::PlainText);
    box->setInformativeText(detail);
    if (!detail.isEmpty())
        for (QLabel* label : box->findChildren<QLabel*>())
            if (label->text() == detail)
                label->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    QRect placed = box->geometry();
    placed.moveCenter(m_window->geometry().center());
    box->setGeometry(placed);
}

} // namespace tb
