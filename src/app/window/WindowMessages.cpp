#include "WindowMessages.h"

#include <QFileInfo>
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

bool replaceConfirmed(QWidget* parent, const QString& title, const QString& path)
{
    QMessageBox question(QMessageBox::Warning, title,
                         QStringLiteral("%1 already exists.\nDo you want to replace it?")
                             .arg(QFileInfo(path).fileName()),
                         QMessageBox::Yes | QMessageBox::No, parent);
    question.setObjectName(QStringLiteral("replaceQuestion"));
    question.setTextFormat(Qt::PlainText);
    question.setDefaultButton(QMessageBox::No);
    return question.exec() == QMessageBox::Yes;
}

} // namespace tb
