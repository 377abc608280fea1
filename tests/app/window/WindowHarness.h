#pragma once

#include "MainWindow.h"
#include "SettingsFile.h"

#include <QByteArray>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

// A window on a settings file in a temporary directory of its own, or on a
// given settings file.
class WindowHarness {
public:
    // With no content, the directory holds no settings file (a first run).
    explicit WindowHarness(const QByteArray* settingsContent = nullptr);
    explicit WindowHarness(tb::SettingsFile settings);

    [[nodiscard]] tb::MainWindow& window() { return *m_window; }
    [[nodiscard]] QString settingsPath() const;
    [[nodiscard]] QByteArray settingsBytes() const;
    // Fails the running test when the file cannot be written.
    void writeSettings(const QByteArray& bytes) const;

    // By index in the field table, 16 the clipping indicator.
    [[nodiscard]] QLineEdit* field(int index) const;
    [[nodiscard]] QLabel* caption(int index) const;
    [[nodiscard]] QPushButton* button(const char* name) const;
    [[nodiscard]] QColor indicatorColor() const;
    // The open message about the settings file, or none.
    [[nodiscard]] QMessageBox* settingsMessage() const;

    // Sizes the window so that the form under its menu bar has that size.
    void resizeForm(int width, int height);

    // Shows the window and waits until it is exposed and active.
    [[nodiscard]] bool showAndActivate();
    // Shows the window and waits for its first layout, which a start-up
    // message follows.
    [[nodiscard]] bool showAndLayOut();
    // Replaces a field's text the way a user does: select it all, type.
    void type(int index, const QString& text);
    void clickCalculate();
    void clickEnd();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<tb::MainWindow> m_window;
};
