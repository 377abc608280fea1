#pragma once

#include "Form1.h"

#include <QByteArray>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

// A window on a settings file in a temporary directory of its own.
class FormHarness {
public:
    // With no content, the directory holds no settings file (a first run).
    explicit FormHarness(const QByteArray* settingsContent = nullptr);

    [[nodiscard]] tb::Form1& form() { return *m_form; }
    [[nodiscard]] QString settingsPath() const;
    [[nodiscard]] QByteArray settingsBytes() const;
    // Fails the running test when the file cannot be written.
    void writeSettings(const QByteArray& bytes) const;

    [[nodiscard]] QLineEdit* field(int index) const;
    [[nodiscard]] QPushButton* button(const char* name) const;
    [[nodiscard]] QColor indicatorColor() const;

    // Shows the window and waits until it is exposed and active.
    [[nodiscard]] bool showAndActivate();
    // Replaces a field's text the way a user does: select it all, type.
    void type(int index, const QString& text);
    void clickCalculate();
    void clickEnd();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<tb::Form1> m_form;
};
