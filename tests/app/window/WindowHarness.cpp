#include "WindowHarness.h"

#include "TestFiles.h"

#include <QMenuBar>
#include <QTest>
#include <QTimer>

WindowHarness::WindowHarness(const QByteArray* settingsContent)
{
    if (!m_dir.isValid())
        QTest::qFail("cannot create a temporary folder", __FILE__, __LINE__);
    if (settingsContent != nullptr)
        writeSettings(*settingsContent);
    m_window = std::make_unique<tb::MainWindow>(tb::SettingsFile(settingsPath()));
}

WindowHarness::WindowHarness(tb::SettingsFile settings)
    : m_window(std::make_unique<tb::MainWindow>(std::move(settings)))
{
}

QString WindowHarness::settingsPath() const
{
    return m_dir.filePath(QStringLiteral("Tubebridge.dat"));
}

QByteArray WindowHarness::settingsBytes() const
{
    return tb::test::readFile(settingsPath());
}

void WindowHarness::writeSettings(const QByteArray& bytes) const
{
    if (!tb::test::writeFile(settingsPath(), bytes))
        QTest::qFail(qPrintable(QStringLiteral("cannot write %1").arg(settingsPath())), __FILE__,
                     __LINE__);
}

QLineEdit* WindowHarness::field(int index) const
{
    return m_window->findChild<QLineEdit*>(index == 16 ? QStringLiteral("clippingIndicator")
                                                       : QStringLiteral("field%1").arg(index));
}

QLabel* WindowHarness::caption(int index) const
{
    return m_window->findChild<QLabel*>(index == 16 ? QStringLiteral("clippingCaption")
                                                    : QStringLiteral("caption%1").arg(index));
}

QPushButton* WindowHarness::button(const char* name) const
{
    return m_window->findChild<QPushButton*>(QLatin1String(name));
}

QColor WindowHarness::indicatorColor() const
{
    return field(16)->palette().color(QPalette::Base);
}

void WindowHarness::resizeForm(int width, int height)
{
    m_window->resize(width, height + m_window->menuBar()->sizeHint().height());
}

bool WindowHarness::showAndActivate()
{
    m_window->show();
    m_window->activateWindow();
    return QTest::qWaitForWindowExposed(m_window.get()) &&
           QTest::qWaitForWindowActive(m_window.get());
}

QMessageBox* WindowHarness::settingsMessage() const
{
    return m_window->findChild<QMessageBox*>(QStringLiteral("settingsMessage"));
}

bool WindowHarness::showAndLayOut()
{
    return showAndActivate() && QTest::qWaitFor([this] { return m_window->isLaidOut(); });
}

void WindowHarness::type(int index, const QString& text)
{
    QLineEdit* f = field(index);
    f->setFocus();
    f->selectAll();
    QTest::keyClick(f, Qt::Key_Delete);
    QTest::keyClicks(f, text);
}

void WindowHarness::clickCalculate()
{
    QTest::mouseClick(button("calculateButton"), Qt::LeftButton);
}
void WindowHarness::clickEnd()
{
    QTest::mouseClick(button("endButton"), Qt::LeftButton);
}
