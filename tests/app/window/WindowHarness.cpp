#include "WindowHarness.h"

#include "TestFiles.h"

#include <QTest>
#include <QTimer>

FormHarness::FormHarness(const QByteArray* settingsContent)
{
    if (!m_dir.isValid())
        QTest::qFail("cannot create a temporary folder", __FILE__, __LINE__);
    if (settingsContent != nullptr)
        writeSettings(*settingsContent);
    m_form = std::make_unique<tb::Form1>(tb::SettingsFile(settingsPath()));
}

FormHarness::FormHarness(tb::SettingsFile settings)
    : m_form(std::make_unique<tb::Form1>(std::move(settings)))
{
}

QString FormHarness::settingsPath() const
{
    return m_dir.filePath(QStringLiteral("Tubebridge.dat"));
}

QByteArray FormHarness::settingsBytes() const
{
    return tb::test::readFile(settingsPath());
}

void FormHarness::writeSettings(const QByteArray& bytes) const
{
    if (!tb::test::writeFile(settingsPath(), bytes))
        QTest::qFail(qPrintable(QStringLiteral("cannot write %1").arg(settingsPath())), __FILE__,
                     __LINE__);
}

QLineEdit* FormHarness::field(int index) const
{
    return m_form->findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(index));
}

QPushButton* FormHarness::button(const char* name) const
{
    return m_form->findChild<QPushButton*>(QLatin1String(name));
}

QColor FormHarness::indicatorColor() const
{
    return field(16)->palette().color(QPalette::Base);
}

bool FormHarness::showAndActivate()
{
    m_form->show();
    m_form->activateWindow();
    return QTest::qWaitForWindowExposed(m_form.get()) && QTest::qWaitForWindowActive(m_form.get());
}

QMessageBox* FormHarness::settingsMessage() const
{
    return m_form->findChild<QMessageBox*>(QStringLiteral("SettingsMessage"));
}

bool FormHarness::showAndLayOut()
{
    return showAndActivate() && QTest::qWaitFor([this] {
               return !m_form->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive();
           });
}

void FormHarness::type(int index, const QString& text)
{
    QLineEdit* f = field(index);
    f->setFocus();
    f->selectAll();
    QTest::keyClick(f, Qt::Key_Delete);
    QTest::keyClicks(f, text);
}

void FormHarness::clickCalculate()
{
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
}
void FormHarness::clickEnd()
{
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
}
