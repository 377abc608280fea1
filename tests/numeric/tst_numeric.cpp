#include "CheckedMath.h"
#include "FaultFlags.h"
#include "LenientParse.h"
#include "NumberText.h"
#include "Rounding.h"
#include "RuntimeError.h"

#include "CompareNear.h"
#include "ErrorOf.h"

#include <QTest>

#include <cfloat>
#include <cmath>
#include <limits>

using tb::ErrorKind;

Q_DECLARE_METATYPE(tb::ErrorKind)

using tb::test::errorOf;

class TestNumeric : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void parseOverflow_data();
    void parseOverflow();

    void toInt16_data();
    void toInt16();
    void integerOverflow();
    void arithmetic16();

    void roundToDecimals_data();
    void roundToDecimals();

    void numberToText_data();
    void numberToText();
    void numberToTextReadsBack();

    void checkedArithmetic();
    void errorNames();
    void faultFlags_data();
    void faultFlags();
};

void TestNumeric::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("plain") << "400" << 400.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("blanks inside") << "4 0 0" << 400.0;
    QTest::newRow("tabs and line feeds") << "\t4\n0 0\t" << 400.0;
    QTest::newRow("unit after number") << "400 V" << 400.0;
    QTest::newRow("comma stops") << "1,5" << 1.0;
    QTest::newRow("point decimal") << "1.5" << 1.5;
    QTest::newRow("leading point") << ".25" << 0.25;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("negative") << "-300" << -300.0;
    QTest::newRow("blank after sign") << "- 3 00" << -300.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("double sign") << "--5" << 0.0;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("lone point") << "." << 0.0;
    QTest::newRow("exponent") << "1.5e3" << 1500.0;
    QTest::newRow("upper exponent") << "2E-3" << 0.002;
    QTest::newRow("exponent with blanks") << "1 e + 2" << 100.0;
    QTest::newRow("incomplete exponent") << "7e" << 7.0;
    QTest::newRow("exponent sign only") << "7e+" << 7.0;
    QTest::newRow("exponent then text") << "2e2x" << 200.0;
    QTest::newRow("hex") << "&HFF" << 255.0;
    QTest::newRow("hex lower case") << "&hff" << 255.0;
    QTest::newRow("hex sixteen bits all ones") << "&HFFFF" << 65535.0;
    QTest::newRow("hex stops at non-digit") << "&H1G" << 1.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O18" << 1.0;
    QTest::newRow("ampersand alone") << "&" << 0.0;
    QTest::newRow("unknown radix") << "&X12" << 0.0;
    QTest::newRow("carriage return stops") << "4\r00" << 4.0;
    QTest::newRow("non-ascii stops") << QString::fromUtf8("12\u00b05") << 12.0;
    QTest::newRow("underflow is zero") << "1e-400" << 0.0;
    QTest::newRow("many zeros before digits") << "0.000000000000000000001e21" << 1.0;
    QTest::newRow("largest double") << "1.7976931348623157e308" << DBL_MAX;
    QTest::newRow("zero with huge exponent") << "0e99999" << 0.0;
}

void TestNumeric::parse()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(tb::parseNumber(text.toStdString()), expected);
}

void TestNumeric::parseOverflow_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("beyond double range") << "1e309";
    QTest::newRow("negative beyond range") << "-2e308";
    QTest::newRow("long digit string") << QString(400, QChar('9'));
    QTest::newRow("enormous exponent") << "1e99999999999999999999";
    QTest::newRow("hex beyond range") << "&H" + QString(300, QChar('F'));
    QTest::newRow("largest double shown in a field") << "1.79769313486232E+308";
}

void TestNumeric::parseOverflow()
{
    QFETCH(QString, text);
    const std::string s = text.toStdString();
    QCOMPARE(errorOf([&] { (void)tb::parseNumber(s); }), ErrorKind::Overflow);
}

void TestNumeric::toInt16_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("2.5 to even") << 2.5 << 2;
    QTest::newRow("3.5 to even") << 3.5 << 4;
    QTest::newRow("-2.5 to even") << -2.5 << -2;
    QTest::newRow("-3.5 to even") << -3.5 << -4;
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("just above tie") << 2.5000000000000004 << 3;
    QTest::newRow("just below tie") << 2.4999999999999996 << 2;
    QTest::newRow("largest") << 32767.4 << 32767;
    QTest::newRow("smallest") << -32768.0 << -32768;
    QTest::newRow("smallest, tie to even") << -32768.5 << -32768;
}

void TestNumeric::toInt16()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(int{tb::toInt16(value)}, expected);
    QCOMPARE(tb::toInt32(value), expected);
}

void TestNumeric::integerOverflow()
{
    QCOMPARE(errorOf([] { (void)tb::toInt16(40000.0); }), ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)tb::toInt16(32767.5); }), ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)tb::toInt16(-32769.0); }), ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)tb::toInt16(std::nan("")); }), ErrorKind::Overflow);
    QCOMPARE(tb::toInt32(40000.0), 40000);
    QCOMPARE(tb::toInt32(-2147483648.0), std::numeric_limits<std::int32_t>::min());
    QCOMPARE(errorOf([] { (void)tb::toInt32(2147483647.5); }), ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)tb::toInt32(1e300); }), ErrorKind::Overflow);
}

void TestNumeric::arithmetic16()
{
    QCOMPARE(int{tb::add16(32000, 767)}, 32767);
    QCOMPARE(int{tb::sub16(-32000, 768)}, -32768);
    QCOMPARE(int{tb::mul16(-181, 181)}, -32761);
    QCOMPARE(errorOf([] { (void)tb::add16(32767, 1); }), ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)tb::sub16(-32768, 1); }), ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)tb::mul16(256, 128); }), ErrorKind::Overflow);
}

void TestNumeric::roundToDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");
    QTest::newRow("exact tie down to even") << 0.0625 << 3 << 0.062;
    QTest::newRow("exact tie up to even") << 0.1875 << 3 << 0.188;
    QTest::newRow("whole tie 2.5") << 2.5 << 0 << 2.0;
    QTest::newRow("whole tie 3.5") << 3.5 << 0 << 4.0;
    // 7.2245 is stored just below the tie, so it rounds down.
    QTest::newRow("not a binary tie") << 7.2245 << 3 << 7.224;
    QTest::newRow("ordinary") << 13.5678552875 << 3 << 13.568;
    QTest::newRow("negative") << -51.2545001 << 3 << -51.255;
    QTest::newRow("tiny negative gives zero") << -0.0001 << 3 << 0.0;
    QTest::newRow("huge stays") << 1e300 << 3 << 1e300;
    QTest::newRow("largest stays") << DBL_MAX << 3 << DBL_MAX;
}

void TestNumeric::roundToDecimals()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    QCOMPARE(tb::roundToDecimals(value, decimals), expected);
}

void TestNumeric::numberToText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << 40.0 << "."
                           << "40";
    QTest::newRow("zero") << 0.0 << "."
                          << "0";
    QTest::newRow("negative zero") << -0.0 << "."
                                   << "0";
    QTest::newRow("three decimals") << 7.225 << "."
                                    << "7.225";
    QTest::newRow("half") << 0.5 << "."
                          << "0.5";
    QTest::newRow("negative below one") << -0.25 << "."
                                        << "-0.25";
    QTest::newRow("locale comma") << 13.568 << ","
                                  << "13,568";
    QTest::newRow("fifteen digits") << 1.0 / 3.0 << "."
                                    << "0.333333333333333";
    QTest::newRow("rounds to fifteen") << 2.0 / 3.0 << "."
                                       << "0.666666666666667";
    QTest::newRow("binary noise dropped") << 0.1 + 0.2 << "."
                                          << "0.3";
    QTest::newRow("large whole") << 123456789012345.0 << "."
                                 << "123456789012345";
    QTest::newRow("exponent above") << 1e15 << "."
                                    << "1E+15";
    QTest::newRow("exponent with digits") << -1.5e20 << ","
                                          << "-1,5E+20";
    QTest::newRow("small plain") << 0.0001 << "."
                                 << "0.0001";
    QTest::newRow("small exponent") << 0.00001234 << "."
                                    << "1.234E-05";
    QTest::newRow("three digit exponent") << 2e-300 << "."
                                          << "2E-300";
    // 15 digits of the largest double round up past it: the field shows the
    // rounded text, which reads back as the overflow error (see parseOverflow).
    QTest::newRow("largest double") << -DBL_MAX << "."
                                    << "-1.79769313486232E+308";
}

void TestNumeric::numberToText()
{
    QFETCH(double, value);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(tb::numberToText(value, separator.toStdString())), expected);
}

void TestNumeric::numberToTextReadsBack()
{
    // Whatever the magnitude, the text gives back the value to 15 digits.
    for (double v : {3.14159265358979, -2.5e-7, 6.02214076e23, 1e-300, 1.7976931348623e308}) {
        const double back = tb::parseNumber(tb::numberToText(v));
        TB_COMPARE_NEAR(back, v, std::abs(v) * 1e-14);
    }
}

void TestNumeric::checkedArithmetic()
{
    QCOMPARE(tb::checkedDiv(1.0, 4.0), 0.25);
    QCOMPARE(errorOf([] { (void)tb::checkedDiv(0.0, 0.0); }), ErrorKind::DivisionByZero);
    QCOMPARE(errorOf([] { (void)tb::checkedDiv(1.0, -0.0); }), ErrorKind::DivisionByZero);
    QCOMPARE(errorOf([] { (void)tb::checkedDiv(1e300, 1e-300); }), ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)tb::checkedMul(1e200, 1e200); }), ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)tb::checkedAdd(DBL_MAX, DBL_MAX); }), ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)tb::checkedSub(-DBL_MAX, DBL_MAX); }), ErrorKind::Overflow);
    // Underflow is no fault.
    QCOMPARE(tb::checkedMul(1e-200, 1e-200), 0.0);
}

void TestNumeric::errorNames()
{
    QCOMPARE(QString(tb::RuntimeError(ErrorKind::Overflow).what()), QString("Overflow"));
    QCOMPARE(QString(tb::RuntimeError(ErrorKind::DivisionByZero).what()),
             QString("Division by zero"));
    QCOMPARE(QString(tb::RuntimeError(ErrorKind::InvalidArgument).what()),
             QString("Invalid argument"));
}

void TestNumeric::faultFlags_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<bool>("raised");
    // a / b
    QTest::newRow("plain") << 1.0 << 4.0 << false;
    QTest::newRow("inexact") << 1.0 << 3.0 << false;
    QTest::newRow("underflow") << 1e-300 << 1e300 << false;
    QTest::newRow("overflow") << 1e300 << 1e-300 << true;
    QTest::newRow("division by zero") << 1.0 << 0.0 << true;
    QTest::newRow("zero by zero") << 0.0 << 0.0 << true;
}

void TestNumeric::faultFlags()
{
    if (!tb::faultFlagsAvailable())
        QSKIP("no floating-point fault flags on this platform");
    QFETCH(double, a);
    QFETCH(double, b);
    tb::clearFaultFlags();
    QCOMPARE(tb::faultFlagsRaised(), false);
    tb::pinFloatingPoint(a);
    tb::pinFloatingPoint(b);
    double quotient = a / b;
    tb::pinFloatingPoint(quotient);
    QTEST(tb::faultFlagsRaised(), "raised");
    tb::clearFaultFlags();
    QCOMPARE(tb::faultFlagsRaised(), false);
}

QTEST_APPLESS_MAIN(TestNumeric)
#include "tst_numeric.moc"
