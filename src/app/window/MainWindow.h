#pragma once

#include "SettingsFile.h"
#include "StageVariables.h"

#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

class QLabel;
class QMessageBox;
class QPushButton;
class QShowEvent;
class QTimer;

namespace tb {

class Announcement;
class FieldEdit;
class PictureBox;
struct Color;

// The one window: the field table with its captions, headings, the two
// buttons, the picture box and the one-shot layout timer. Its handlers only
// read fields, call the model and the drawing pass, and write results.
class Form1 : public QWidget {
    Q_OBJECT

public:
    static constexpr int FieldCount = 17;
    static constexpr int IndicatorField = 16;

    explicit Form1(SettingsFile settings, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void Command1_Click();
    void Command2_Click();
    void Timer1_Timer();

private:
    void Form_Load();
    void createControls();
    void setTabOrder();
    void considerFirstLayout();
    void layOutOnce();
    void ArrangeControls();
    void showSettingsMessage(const QString& text, const QString& detail);
    void showLoadProblem();
    void openMessage(QMessageBox* box, const QString& name, const QString& detail);

    // Runs one handler; whatever it throws is reported and the program goes on.
    template <typename Handler>
    void guarded(Handler&& handler, const QString& consequence);

    void calculate();
    [[nodiscard]] double fieldNumber(int index) const;
    void writeResult(int index, double value);
    void setIndicator(Color color);
    void selectFieldsAndFocus();
    void announceOutcome();
    void reportError(const QString& name, const QString& consequence);
    [[nodiscard]] QStringList persistedFields() const;

    std::array<FieldEdit*, FieldCount> Text1{};
    std::array<QLabel*, FieldCount> Label1{};
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    PictureBox* PGraph = nullptr;
    QTimer* Timer1 = nullptr;
    Announcement* m_announcement = nullptr;
    // The clipping indicator's state in words, as the last press left it.
    QString m_clippingState;

    // The window's size before the desktop gives it one.
    QSize m_designSize;
    bool m_laidOut = false;
    // At most one message is open: a new one replaces it.
    QPointer<QMessageBox> m_message;

    SettingsFile m_settings;
    // Shown once, when the window is on screen and laid out.
    std::optional<SettingsFile::LoadResult> m_loadProblem;
    StageVariables m_stage;
};

} // namespace tb
