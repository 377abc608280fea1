#include "Accessibility.h"
#include "AccessibleFieldEdit.h"
#include "FieldEdit.h"
#include "FormHarness.h"

#include <QAccessible>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

#include <bit>
#include <functional>

namespace {

QString accessibleText(QObject* object, QAccessible::Text kind)
{
    return QAccessible::queryAccessibleInterface(object)->text(kind);
}

// Qt's own interface of a line edit, as Qt makes it without ours installed.
QAccessibleInterface* qtsOwnInterface(QObject* lineEdit)
{
    QAccessible::removeFactory(tb::accessibleInterfaceFor);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(lineEdit);
    QAccessible::installFactory(tb::accessibleInterfaceFor);
    return iface;
}

QString range(int start, int end)
{
    return QStringLiteral("%1-%2").arg(start).arg(end);
}

QString rectText(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

using Read = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int*,
                                                   int*) const;

// Qt's own search for the word or sentence at an offset never returns where
// the search runs off either end of the text.
bool hangsInQt(QAccessibleTextInterface* text, Read read, QAccessible::TextBoundaryType boundary,
               int offset)
{
    const int count = text->characterCount();
    const int resolved = offset == -2 ? text->cursorPosition() : offset == -1 ? count : offset;
    const QString all = text->text(0, count);
    const bool offEnd = resolved == count || (resolved == 0 && all.startsWith('-'));
    return read == &QAccessibleTextInterface::textAtOffset && count > 0 && offEnd &&
           (boundary == QAccessible::WordBoundary || boundary == QAccessible::SentenceBoundary);
}

// Everything a screen reader can ask of a line edit but its attributes, one
// line each; places relative to the widget, so that two widgets compare.
QStringList describe(QAccessibleInterface* iface, const QWidget& widget)
{
    QStringList d;
    d << QStringLiteral("role %1").arg(iface->role());
    d << QStringLiteral("state %1").arg(std::bit_cast<quint64>(iface->state()), 0, 16);
    for (auto t : {QAccessible::Name, QAccessible::Description, QAccessible::Value,
                   QAccessible::Help, QAccessible::Accelerator})
        d << QStringLiteral("text %1 '%2'").arg(t).arg(iface->text(t));
    d << QStringLiteral("relations %1").arg(iface->relations().size());
    d << QStringLiteral("actions %1").arg(iface->actionInterface()->actionNames().join(','));
    d << QStringLiteral("editable %1").arg(iface->editableTextInterface() != nullptr);

    QAccessibleTextInterface* text = iface->textInterface();
    const int count = text->characterCount();
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    d << QStringLiteral("count %1 cursor %2 selections %3 selection %4")
             .arg(count)
             .arg(text->cursorPosition())
             .arg(text->selectionCount())
             .arg(range(start, end));
    d << QStringLiteral("text '%1' '%2'").arg(text->text(0, count), text->text(1, 3));
    for (Read read :
         {&QAccessibleTextInterface::textAtOffset, &QAccessibleTextInterface::textBeforeOffset,
          &QAccessibleTextInterface::textAfterOffset})
        for (auto boundary :
             {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::SentenceBoundary,
              QAccessible::LineBoundary, QAccessible::NoBoundary})
            // -2 is the cursor's offset, -1 the end of the text.
            for (int offset = -2; offset <= count; ++offset) {
                if (hangsInQt(text, read, boundary, offset))
                    continue;
                const QString part = (text->*read)(offset, boundary, &start, &end);
                d << QStringLiteral("at %1 by %2: '%3' %4")
                         .arg(offset)
                         .arg(boundary)
                         .arg(part, range(start, end));
            }
    const QPoint origin = widget.mapToGlobal(QPoint(0, 0));
    for (int offset = -1; offset <= count; ++offset)
        d << QStringLiteral("rect %1: %2")
                 .arg(offset)
                 .arg(text->characterRect(offset).isNull()
                          ? QStringLiteral("none")
                          : rectText(text->characterRect(offset).translated(-origin)));
    for (int x = 0; x < widget.width(); x += 7)
        d << QStringLiteral("offset at %1: %2")
                 .arg(x)
                 .arg(text->offsetAtPoint(origin + QPoint(x, widget.height() / 2)));
    return d;
}

// A field and its twin, alike in all but which interface describes them.
struct Twins {
    QWidget window;
    tb::FieldEdit* qts = new tb::FieldEdit(QString(), &window);
    tb::FieldEdit* ours = new tb::FieldEdit(QString(), &window);
    // Asked for first, before anything else can make an interface for it.
    QAccessibleInterface* qtsInterface = qtsOwnInterface(qts);
    QAccessibleInterface* ourInterface = QAccessible::queryAccessibleInterface(ours);

    Twins()
    {
        window.resize(400, 100);
        qts->setGeometry(10, 10, 150, 24);
        ours->setGeometry(10, 50, 150, 24);
    }
    void set(const QString& text, int selectionStart, int selectionLength, int cursor)
    {
        for (tb::FieldEdit* f : {qts, ours}) {
            f->setText(text);
            f->setCursorPosition(cursor);
            if (selectionLength > 0)
                f->setSelection(selectionStart, selectionLength);
        }
    }
    [[nodiscard]] bool interfacesDiffer() const
    {
        return dynamic_cast<tb::AccessibleFieldEdit*>(ourInterface) != nullptr &&
               dynamic_cast<tb::AccessibleFieldEdit*>(qtsInterface) == nullptr;
    }
};

QAccessibleInterface* child(QAccessibleInterface* parent, QAccessible::Role role)
{
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->role() == role)
            return parent->child(i);
    return nullptr;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void fieldNamedByItsCaption_data();
    void fieldNamedByItsCaption();
    void indicatorAndGraphSayWhatTheyShow();
    void windowNamedAsFrame();
    void fieldDescribedAsQtDescribesALineEdit_data();
    void fieldDescribedAsQtDescribesALineEdit();
    void fieldEditedAsQtEditsALineEdit_data();
    void fieldEditedAsQtEditsALineEdit();
    void wordFoundWhereQtsOwnHangs_data();
    void wordFoundWhereQtsOwnHangs();
    void attributesCoverTheWholeText_data();
    void attributesCoverTheWholeText();
    void selectionReportedOnlyWhereShown();
    void pressAnnouncesTheOutcome_data();
    void pressAnnouncesTheOutcome();
    void announcementTakesNoRoomNorFocus();
};

void TestAccessibility::initTestCase()
{
    tb::installAccessibleInterfaces(tb::FieldEdit::staticMetaObject);
}

void TestAccessibility::fieldNamedByItsCaption_data()
{
    QTest::addColumn<int>("index");
    // The clipping indicator, field 16, is named with its state.
    for (int i = 0; i < 16; ++i)
        QTest::addRow("%d", i) << i;
}

void TestAccessibility::fieldNamedByItsCaption()
{
    QFETCH(int, index);
    FormHarness h;
    // The caption, as shown, is the field's label and its name.
    const auto labels =
        QAccessible::queryAccessibleInterface(h.field(index))->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    const auto* caption = qobject_cast<QLabel*>(labels.first().first->object());
    QVERIFY(caption != nullptr);
    QCOMPARE(caption->objectName(), QStringLiteral("Label1_%1").arg(index));
    QCOMPARE(accessibleText(h.field(index), QAccessible::Name), caption->text());
}

void TestAccessibility::indicatorAndGraphSayWhatTheyShow()
{
    FormHarness h;
    QVERIFY(h.showAndActivate());
    QObject* indicator = h.field(16);
    QObject* graph = h.form().findChild<QWidget*>(QStringLiteral("PGraph"));
    // The indicator's name, then its description (a screen reader may drop
    // one that looks like the name), then the graph's description.
    const auto state = [indicator, graph] {
        return accessibleText(indicator, QAccessible::Name) + " | " +
               accessibleText(indicator, QAccessible::Description) + " | " +
               accessibleText(graph, QAccessible::Description);
    };
    // No label either: a screen reader reads a label in place of the name.
    QCOMPARE(QAccessible::queryAccessibleInterface(indicator)->relations(QAccessible::Label).size(),
             0);
    QCOMPARE(accessibleText(graph, QAccessible::Name), QStringLiteral("Graph"));
    QCOMPARE(state(), QStringLiteral("Clipping: Not calculated yet |  | "));

    h.clickCalculate(); // the first-run example does not clip
    QCOMPARE(state(), QStringLiteral("Clipping: No clipping |  | Load voltage, V1 and V2 cathode "
                                     "currents from 0 to 360 degrees, -300 to 300"));

    h.type(3, "300"); // a drive that clips
    h.type(8, "-90.5");
    h.type(13, "1e3");
    h.clickCalculate();
    QCOMPARE(state(), QStringLiteral("Clipping: Clipping |  | Load voltage, V1 and V2 cathode "
                                     "currents from -90.5 to 360 degrees, -300 to 1000"));

    h.type(9, "-90.5"); // an empty X range stops the pass before it draws
    h.clickCalculate();
    QVERIFY(h.form().findChild<QMessageBox*>(QStringLiteral("RuntimeErrorMessage")) != nullptr);
    QCOMPARE(state(), QStringLiteral("Clipping: Clipping |  | "));

    h.type(3, "200"); // no clipping again
    h.type(9, "360");
    h.clickCalculate();
    QCOMPARE(state(), QStringLiteral("Clipping: No clipping |  | Load voltage, V1 and V2 cathode "
                                     "currents from -90.5 to 360 degrees, -300 to 1000"));
}

void TestAccessibility::windowNamedAsFrame()
{
    FormHarness h;
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&h.form());
    QCOMPARE(window->role(), QAccessible::Window); // a frame to AT-SPI
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Tubebridge"));
}

void TestAccessibility::fieldDescribedAsQtDescribesALineEdit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<int>("cursor");
    QTest::addRow("all selected") << "400" << 0 << 99 << 0;
    QTest::addRow("part selected") << "13.568" << 2 << 3 << 0;
    QTest::addRow("one character") << "7" << 0 << 1 << 0;
    QTest::addRow("cursor inside") << "-300" << 0 << 0 << 2;
    QTest::addRow("words and sentences") << "1 e 3. Two  words" << 0 << 0 << 7;
    QTest::addRow("empty") << "" << 0 << 0 << 0;
}

void TestAccessibility::fieldDescribedAsQtDescribesALineEdit()
{
    QFETCH(QString, text);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    QFETCH(int, cursor);
    Twins twins;
    twins.qts->setAccessibleName(QStringLiteral("Field"));
    twins.ours->setAccessibleName(QStringLiteral("Field"));
    twins.set(text, selectionStart, selectionLength, cursor);
    twins.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&twins.window));

    QVERIFY(twins.interfacesDiffer());
    // Each is described while it has the focus, so that its selection shows.
    twins.qts->setFocus();
    const QStringList expected = describe(twins.qtsInterface, *twins.qts);
    twins.ours->setFocus();
    QCOMPARE(describe(twins.ourInterface, *twins.ours), expected);
}

using Edit = std::function<void(QAccessibleInterface*)>;

void TestAccessibility::fieldEditedAsQtEditsALineEdit_data()
{
    QTest::addColumn<Edit>("edit");
    const auto editable = [](QAccessibleInterface* i) { return i->editableTextInterface(); };
    const auto text = [](QAccessibleInterface* i) { return i->textInterface(); };
    QTest::addRow("insert") << Edit([=](auto* i) { editable(i)->insertText(2, "9"); });
    QTest::addRow("delete") << Edit([=](auto* i) { editable(i)->deleteText(1, 4); });
    QTest::addRow("replace") << Edit([=](auto* i) { editable(i)->replaceText(0, 2, "x"); });
    QTest::addRow("value") << Edit([](auto* i) { i->setText(QAccessible::Value, "51.254"); });
    QTest::addRow("select") << Edit([=](auto* i) { text(i)->setSelection(0, 1, 4); });
    QTest::addRow("unselect") << Edit([=](auto* i) { text(i)->removeSelection(0); });
    QTest::addRow("cursor") << Edit([=](auto* i) { text(i)->setCursorPosition(3); });
    QTest::addRow("scroll") << Edit([=](auto* i) { text(i)->scrollToSubstring(4, 1); });
}

void TestAccessibility::fieldEditedAsQtEditsALineEdit()
{
    QFETCH(Edit, edit);
    Twins twins;
    QVERIFY(twins.interfacesDiffer());
    twins.set(QStringLiteral("13.568"), 1, 2, 0);
    edit(twins.qtsInterface);
    edit(twins.ourInterface);
    const auto state = [](const QLineEdit* f) {
        return QStringLiteral("'%1' selected '%2' cursor %3")
            .arg(f->text(), f->selectedText())
            .arg(f->cursorPosition());
    };
    QCOMPARE(state(twins.ours), state(twins.qts));
}

void TestAccessibility::wordFoundWhereQtsOwnHangs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("boundary");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("found");
    constexpr int word = QAccessible::WordBoundary;
    constexpr int sentence = QAccessible::SentenceBoundary;
    QTest::addRow("end of 400") << "400" << word << 3 << "'' -1--1";
    QTest::addRow("end of 7, as -1") << "7" << word << -1 << "'' -1--1";
    QTest::addRow("minus of -300") << "-300" << word << 0 << "'-' 0-1";
    QTest::addRow("digits of -300") << "-300" << word << 2 << "'300' 1-4";
    QTest::addRow("end of a sentence") << "Two words." << sentence << 10 << "'' -1--1";
}

void TestAccessibility::wordFoundWhereQtsOwnHangs()
{
    QFETCH(QString, text);
    QFETCH(int, boundary);
    QFETCH(int, offset);
    tb::FieldEdit field(text);
    int start = 0;
    int end = 0;
    const QString part =
        QAccessible::queryAccessibleInterface(&field)->textInterface()->textAtOffset(
            offset, QAccessible::TextBoundaryType(boundary), &start, &end);
    QTEST(QStringLiteral("'%1' %2").arg(part, range(start, end)), "found");
}

void TestAccessibility::attributesCoverTheWholeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("end");
    QTest::addRow("400 at 0") << "400" << 0 << 3;
    QTest::addRow("400 at 2") << "400" << 2 << 3;
    QTest::addRow("400 at its end") << "400" << 3 << 3;
    QTest::addRow("7") << "7" << 0 << 1;
    QTest::addRow("13.568 at 5") << "13.568" << 5 << 6;
    QTest::addRow("empty") << "" << 0 << 0;
}

void TestAccessibility::attributesCoverTheWholeText()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(int, end);
    tb::FieldEdit field(text);
    int start = -1;
    int actualEnd = -1;
    const QString attributes =
        QAccessible::queryAccessibleInterface(&field)->textInterface()->attributes(offset, &start,
                                                                                   &actualEnd);
    QCOMPARE(range(start, actualEnd), range(0, end));
    QCOMPARE(attributes, QString());
}

void TestAccessibility::selectionReportedOnlyWhereShown()
{
    FormHarness h;
    QVERIFY(h.showAndActivate());
    h.type(3, "200");
    h.clickCalculate(); // selects every field, focuses field 0
    const auto selection = [&h](int index) {
        QAccessibleTextInterface* text =
            QAccessible::queryAccessibleInterface(h.field(index))->textInterface();
        int start = 0;
        int end = 0;
        text->selection(0, &start, &end);
        return QStringLiteral("%1 %2").arg(text->selectionCount()).arg(range(start, end));
    };
    QCOMPARE(selection(0), QStringLiteral("1 0-3"));
    QCOMPARE(selection(3), QStringLiteral("0 -1--1"));
}

void TestAccessibility::pressAnnouncesTheOutcome_data()
{
    QTest::addColumn<QString>("drive");
    QTest::addColumn<QString>("sentence");
    QTest::addRow("green") << "200"
                           << "Plate Dissipation, Each Tube: 13.568. True Load Power (Watts): "
                              "7.225. mA, Each Power Supply: 51.254. No clipping.";
    QTest::addRow("red") << "300"
                         << "Plate Dissipation, Each Tube: 9.921. True Load Power (Watts): "
                            "15.739. mA, Each Power Supply: 57.865. Clipping.";
}

void TestAccessibility::pressAnnouncesTheOutcome()
{
    QFETCH(QString, drive);
    FormHarness h; // the first run: 400 V, 60 V, 4000 ohms, 50 mA
    QVERIFY(h.showAndActivate());
    h.type(3, drive);
    h.clickCalculate();
    QAccessibleInterface* notification =
        child(QAccessible::queryAccessibleInterface(&h.form()), QAccessible::Notification);
    QVERIFY(notification != nullptr);
    QTEST(notification->text(QAccessible::Name), "sentence");
}

void TestAccessibility::announcementTakesNoRoomNorFocus()
{
    FormHarness h;
    QVERIFY(h.showAndActivate());
    QAccessibleInterface* notification =
        child(QAccessible::queryAccessibleInterface(&h.form()), QAccessible::Notification);
    QVERIFY(notification != nullptr);
    const QAccessible::State state = notification->state();
    QVERIFY2(!state.invisible, "a screen reader speaks only what is shown");
    QVERIFY(!state.focusable);
    QVERIFY2(notification->rect().isEmpty(), qPrintable(rectText(notification->rect())));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
