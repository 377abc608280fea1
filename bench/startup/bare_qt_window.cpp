// The yardstick for start-up: a bare Qt program with the controls of the
// program's window (17 line edits, 21 labels, 2 push buttons and an empty
// widget where the graph box is, under a main window's menu bar with the same
// menus and commands), their texts and fonts, shown maximised the same way. It places its controls
// in proportion to the window whenever the window gets a size, every caption, heading, field and
// button with the font size the window's height gives: no timer, no settings file, nothing drawn in
// the box.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QWidget>

#include <array>
#include <cmath>

namespace {

constexpr int Rows = 8;

const std::array<const char*, 17> Captions{"Power Supply Voltage (volts)",
                                           "Ebk Saturation (Volts)",
                                           "Load Impedance (ohms)",
                                           "RMS g-to-g Drive (volts)",
                                           "Idling Current, Each Tube (mA)",
                                           "Plate Dissipation, Each Tube",
                                           "True Load Power (Watts)",
                                           "mA, Each Power Supply",
                                           "X Axis Minimum Value",
                                           "X Axis Maximum Value",
                                           "Labeled X-axis Tick Marks",
                                           "Minor X-axis Tick Marks",
                                           "Y Axis Minimum Value",
                                           "Y Axis Maximum Value",
                                           "Labeled Y-axis Tick Marks",
                                           "Minor Y-axis Tick Marks",
                                           "Clipping"};

const std::array<const char*, 16> FirstRun{"400", "60",  "4000", "200", "50",   "",    "",  "",
                                           "0",   "360", "7",    "5",   "-300", "300", "7", "5"};

class BareWindow : public QWidget {
public:
    BareWindow()
    {
        QFont font(QStringLiteral("Courier New"));
        font.setStyleHint(QFont::TypeWriter);
        font.setPointSizeF(9.75);
        for (std::size_t i = 0; i < m_fields.size(); ++i) {
            m_fields[i] = new QLineEdit(i < FirstRun.size() ? FirstRun[i] : "", this);
            m_captions[i] = new QLabel(QString::fromLatin1(Captions[i]), this);
            m_captions[i]->setAlignment(Qt::AlignRight | Qt::AlignTop);
            m_fields[i]->setFont(font);
            m_captions[i]->setFont(font);
        }
        const std::array<const char*, 4> headings{
            "Required Data.", "Calculated Values", "Graph Scales and Markings.",
            "Note:  Calculated Values do not have to be filled in, although they may be."};
        for (std::size_t i = 0; i < m_headings.size(); ++i) {
            m_headings[i] = new QLabel(QString::fromLatin1(headings[i]), this);
            m_headings[i]->setFont(font);
        }
        m_buttons[0] = new QPushButton(QStringLiteral("Calculate"), this);
        m_buttons[1] = new QPushButton(QStringLiteral("End"), this);
        m_graph = new QWidget(this);
        m_graph->setObjectName(QStringLiteral("graphView"));
        m_graph->setGeometry(184, 320, 553, 297);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        const double w = event->size().width();
        const double h = event->size().height();
        const auto at = [w, h](QWidget* control, double x, double y, double width, double height) {
            control->setGeometry(static_cast<int>(x * w), static_cast<int>(y * h),
                                 static_cast<int>(width * w), static_cast<int>(height * h));
        };
        const double pointSize = std::max(1.0, std::floor(h / 70.0 + 0.5));
        for (std::size_t i = 0; i < m_fields.size(); ++i) {
            const double column = i < Rows ? 0.0 : 0.56;
            const double row = static_cast<double>(i % Rows) + 1.0;
            at(m_captions[i], column + 0.0126, 0.0395 * row, 0.25, 0.03);
            at(m_fields[i], column + 0.283, 0.0395 * row, 0.139, 0.0265);
            for (QWidget* control :
                 {static_cast<QWidget*>(m_fields[i]), static_cast<QWidget*>(m_captions[i])}) {
                QFont font = control->font();
                font.setPointSizeF(pointSize);
                control->setFont(font);
            }
        }
        for (std::size_t i = 0; i < m_headings.size(); ++i)
            at(m_headings[i], 0.283 + 0.23 * static_cast<double>(i), 0.0066, 0.25, 0.028);
        at(m_buttons[0], 0.465, 0.0314, 0.101, 0.0807);
        at(m_buttons[1], 0.465, 0.184, 0.101, 0.0807);
        // The headings and the buttons take the same size as the fields.
        for (QWidget* control :
             {static_cast<QWidget*>(m_headings[0]), static_cast<QWidget*>(m_headings[1]),
              static_cast<QWidget*>(m_headings[2]), static_cast<QWidget*>(m_headings[3]),
              static_cast<QWidget*>(m_buttons[0]), static_cast<QWidget*>(m_buttons[1])}) {
            QFont font = control->font();
            font.setPointSizeF(pointSize);
            control->setFont(font);
        }
        at(m_graph, 0.03, 0.45, 0.95, 0.48);
    }

private:
    std::array<QLineEdit*, 17> m_fields{};
    std::array<QLabel*, 17> m_captions{};
    std::array<QLabel*, 4> m_headings{};
    std::array<QPushButton*, 2> m_buttons{};
    QWidget* m_graph = nullptr;
};

void addMenus(QMenuBar* bar)
{
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open Design..."))->setShortcuts(QKeySequence::Open);
    file->addAction(QStringLiteral("&Save"))->setShortcuts(QKeySequence::Save);
    file->addAction(QStringLiteral("Save Design &As..."))->setShortcuts(QKeySequence::SaveAs);
    file->addMenu(QStringLiteral("&Recent Designs"));
    file->addSeparator();
    file->addAction(QStringLiteral("&End"))->setShortcuts(QKeySequence::Quit);
    QMenu* graph = bar->addMenu(QStringLiteral("&Graph"));
    for (const char* text : {"&Copy Graph", "&Save Graph As...", "&Print Graph..."})
        graph->addAction(QString::fromLatin1(text));
    bar->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About Tubebridge"));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new BareWindow);
    addMenus(window.menuBar());
    window.setWindowState(Qt::WindowMaximized);
    window.show();
    return QApplication::exec();
}
