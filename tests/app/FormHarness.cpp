#include "FormHarness.h"

#include "SettingsFile.h"

#include <QFile>
#include <QTest>

FormHarness::FormHarness(const QByteArray* settingsContent)
{
    if (!m_dir.isValid())
        QTest::qFail("cannot create a temporary folder", __FILE__, __LINE__);
    if (settingsContent != nullptr)
        writeSettings(*settingsContent);
    m_form = std::make_unique<tb::Form1>(tb::SettingsFile(settingsPath()));
}

QString FormHarness::settingsPath() const
{
    return m_dir.filePath(QStringLiteral("Tubebridge.dat"));
}

QByteArray FormHarness::settingsBytes() const
{
    QFile file(settingsPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void FormHarness::writeSettings(const QByteArray& bytes) const
{
    QFile file(settingsPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        QTest::qFail(
            qPrintable(
                QStringLiteral("cannot write %1: %2").arg(settingsPath(), file.errorString())),
            __FILE__, __LINE__);
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
