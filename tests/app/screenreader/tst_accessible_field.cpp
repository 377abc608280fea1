// The fields' accessibility interface against Qt's own for a line edit: alike
// in all a screen reader asks, but where it must differ.
#include "Accessibility.h"
#include "AccessibleFieldEdit.h"

#include "TextRanges.h"

#include <QAccessible>
#include <QLineEdit>
#include <QTest>

#include <bit>
#include <functional>

using tb::test::range;
using tb::test::rectText;

namespace {

// A field as the window has them: a line edit of a class of its own.
class Field : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;
};

// Qt's own interface of a line edit, as Qt makes it without ours installed.
QAccessibleInterface* qtsOwnInterface(QObject* lineEdit)
{
    QAccessible::removeFactory(tb::accessibleInterfaceFor);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(lineEdit);
    QAccessible::installFactory(tb::accessibleInterfaceFor);
    return iface;
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
    Field* qts = new Field(QString(), &window);
    Field* ours = new Field(QString(), &window);
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
        for (Field* f : {qts, ours}) {
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

} // namespace

class TestAccessibleField : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void fieldDescribedAsQtDescribesALineEdit_data();
    void fieldDescribedAsQtDescribesALineEdit();
    void fieldEditedAsQtEditsALineEdit_data();
    void fieldEditedAsQtEditsALineEdit();
    void wordFoundWhereQtsOwnHangs_data();
    void wordFoundWhereQtsOwnHangs();
    void attributesCoverTheWholeText_data();
    void attributesCoverTheWholeText();
};

void TestAccessibleField::initTestCase()
{
    tb::installAccessibleInterfaces(Field::staticMetaObject);
}

void TestAccessibleField::fieldDescribedAsQtDescribesALineEdit_data()
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

void TestAccessibleField::fieldDescribedAsQtDescribesALineEdit()
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

void TestAccessibleField::fieldEditedAsQtEditsALineEdit_data()
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

void TestAccessibleField::fieldEditedAsQtEditsALineEdit()
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

void TestAccessibleField::wordFoundWhereQtsOwnHangs_data()
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

void TestAccessibleField::wordFoundWhereQtsOwnHangs()
{
    QFETCH(QString, text);
    QFETCH(int, boundary);
    QFETCH(int, offset);
    Field field(text);
    int start = 0;
    int end = 0;
    const QString part =
        QAccessible::queryAccessibleInterface(&field)->textInterface()->textAtOffset(
            offset, QAccessible::TextBoundaryType(boundary), &start, &end);
    QTEST(QStringLiteral("'%1' %2").arg(part, range(start, end)), "found");
}

void TestAccessibleField::attributesCoverTheWholeText_data()
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

void TestAccessibleField::attributesCoverTheWholeText()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(int, end);
    Field field(text);
    int start = -1;
    int actualEnd = -1;
    const QString attributes =
        QAccessible::queryAccessibleInterface(&field)->textInterface()->attributes(offset, &start,
                                                                                   &actualEnd);
    QCOMPARE(range(start, actualEnd), range(0, end));
    QCOMPARE(attributes, QString());
}

QTEST_MAIN(TestAccessibleField)
#include "tst_accessible_field.moc"
