#pragma once

#include "Fields.h"
#include "SettingsFile.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>

class QLabel;
class QPushButton;

namespace tb {

class Announcement;
class FieldEdit;
class FirstLayoutWatcher;
class GraphView;
class WindowMessages;
struct CalculationOutcome;

// The one window: the field table with its captions, the headings and the
// note, the two buttons and the graph. It builds and wires them; what a press
// computes, when the first layout is due and how a message is shown live
// elsewhere.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(SettingsFile settings, QWidget* parent = nullptr);

    // Whether the one-time layout for the desktop's size has run.
    [[nodiscard]] bool isLaidOut() const noexcept;

private slots:
    void onCalculateClicked();
    void onEndClicked();
    void onLayoutDue();
    void onGraphSaved(const QString& path);
    void onGraphNotSaved(const QString& path, const QString& cause);
    void onGraphNotPrinted(const QString& file);

private:
    void createControls();
    void setTabOrder();
    void loadSettings();
    void applyLayout();
    void showLoadProblem();

    // Runs one handler; whatever it throws is reported and the program goes on.
    template <typename Handler>
    void guarded(Handler&& handler, const QString& consequence);

    void showOutcome(const CalculationOutcome& outcome);
    void setIndicator(bool clipped);
    void selectFieldsAndFocus();
    void announceOutcome();
    [[nodiscard]] QStringList persistedTexts() const;
    [[nodiscard]] FieldEdit* field(Field field) const;
    [[nodiscard]] QLabel* caption(Field field) const;

    std::array<FieldEdit*, FieldCount> m_fields{};
    std::array<QLabel*, FieldCount> m_captions{};
    QLabel* m_requiredHeading = nullptr;
    QLabel* m_calculatedHeading = nullptr;
    QLabel* m_scalesHeading = nullptr;
    QLabel* m_note = nullptr;
    QPushButton* m_calculateButton = nullptr;
    QPushButton* m_endButton = nullptr;
    GraphView* m_graphView = nullptr;
    Announcement* m_announcement = nullptr;
    FirstLayoutWatcher* m_firstLayout = nullptr;
    WindowMessages* m_messages = nullptr;
    // The clipping indicator's state in words, as the last press left it.
    QString m_clippingState;

    SettingsFile m_settings;
    // Shown once, when the window is on screen and laid out.
    std::optional<SettingsFile::LoadResult> m_loadProblem;
};

} // namespace tb
