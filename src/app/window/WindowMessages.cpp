#include "WindowMessages.h"

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
    box->setInformativeText(detail);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    QRect placed = box->geometry();
    placed.moveCenter(m_window->geometry().center());
    box->setGeometry(placed);
}

} // namespace tb
