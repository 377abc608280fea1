#pragma once

#include "Fields.h"
#include "SettingsFile.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QEvent;
class QLabel;
class QMenu;
class QMimeData;
class QPushButton;

namespace tb {

class Announcement;
class FieldEdit;
class FirstLayoutWatcher;
class GraphView;
class WindowMessages;
struct CalculationOutcome;

// A window on one file of fields: the form (the field table with its
// captions, the headings and the note, the two buttons and the graph) under
// a menu bar that keeps, opens and saves designs. It builds and wires them;
// what a press computes, when the first layout is due and how a message is
// shown live elsewhere.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(SettingsFile settings, QWidget* parent = nullptr);

    // Whether the one-time layout for the desktop's size has run.
    [[nodiscard]] bool isLaidOut() const noexcept;

protected:
    // A design whose fields differ from its file asks first.
    void closeEvent(QCloseEvent* event) override;
    // A design dropped on the window opens in a window of its own.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void onCalculateClicked();
    void onEndClicked();
    void onOpenDesignTriggered();
    void onSaveTriggered();
    void onSaveDesignAsTriggered();
    void onAboutTriggered();
    void onRecentMenuAboutToShow();
    void onFieldsEdited();
    void onLayoutDue();
    void onGraphSaved(const QString& path);
    void onGraphNotSaved(const QString& path, const QString& cause);
    void onGraphNotPrinted(const QString& file, const QString& cause);

private:
    void createControls();
    void createMenus();
    void setTabOrder();
    void loadSettings();
    void applyLayout();
    void showLoadProblem();
    // The height the menu bar takes above the form in a window that wide.
    [[nodiscard]] int menuBarHeight(int width) const;

    // Writes the fields to file; a failure is told as End's is.
    // again: what saves again, where the message tells it (not "End").
    [[nodiscard]] bool saveFieldsTo(const SettingsFile& file, const QString& again = {});
    // The fields as they now stand are those of the window's file.
    void markSaved();
    void showFileInTitle();
    [[nodiscard]] QString designPathFor(const QString& chosen);
    void openDesign(const QString& path);
    void openDroppedDesigns(const QMimeData& data);
    void askToSaveChanges();

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
    QWidget* m_form = nullptr;
    QMenu* m_recentMenu = nullptr;
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
    // The fields as the window's file holds them: the window is modified
    // while they differ.
    QStringList m_savedTexts;
    // Where the recent designs are kept: beside the settings file.
    QString m_recentList;
    // Shown once, when the window is on screen and laid out.
    std::optional<SettingsFile::LoadResult> m_loadProblem;
};

} // namespace tb
