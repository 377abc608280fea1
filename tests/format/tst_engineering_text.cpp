#include "EngineeringText.h"
#include "RuntimeError.h"

#include "CompareNear.h"
#include "ErrorOf.h"

#include <QRegularExpression>
#include <QTest>

#include <cfloat>
#include <cmath>
#include <limits>

using tb::ErrorKind;

Q_DECLARE_METATYPE(tb::ErrorKind)

namespace {

const QString overflowText = QStringLiteral("+*.***E\u00B1* ");

} // namespace

using tb::test::errorOf;

class TestEngineeringText : public QObject {
    Q_OBJECT

private slots:
    void singleValue_data();
    void singleValue();
    void pair_data();
    void pair();
    void pairRejected_data();
    void pairRejected();

    void sweepReadsBack();
};

void TestEngineeringText::singleValue_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    // Worked examples.
    QTest::newRow("0") << 0.0 << " 0.000     ";
    QTest::newRow("1") << 1.0 << " 1.000     ";
    QTest::newRow("12.3456") << 12.3456 << " 12.35     ";
    QTest::newRow("0.5") << 0.5 << " 500.0e-3  ";
    QTest::newRow("0.00047") << 0.00047 << " 470.0e-6  ";
    QTest::newRow("-1500") << -1500.0 << "-1.500e+3  ";
    QTest::newRow("47000") << 47000.0 << " 47.00e+3  ";
    QTest::newRow("123456789") << 123456789.0 << " 123.5e+6  ";
    QTest::newRow("999.96") << 999.96 << " 1.000e+3  ";
    QTest::newRow("5e-17") << 5e-17 << " 0.000     ";
    QTest::newRow("-5e-17") << -5e-17 << "-0.000     ";
    QTest::newRow("1e13") << 1e13 << overflowText;
    QTest::newRow("-1e13") << -1e13 << QStringLiteral("-*.***E\u00B1* ");

    // Zero, tiny values and the bottom of the table.
    QTest::newRow("-0 has no sign") << -0.0 << " 0.000     ";
    QTest::newRow("tiny bound") << 9.9995e-16 << " 0.000     ";
    QTest::newRow("negative tiny bound") << -9.9995e-16 << "-0.000     ";
    QTest::newRow("smallest denormal") << 5e-324 << " 0.000     ";
    QTest::newRow("-DBL_MIN") << -DBL_MIN << "-0.000     ";
    QTest::newRow("just above tiny bound") << std::nextafter(9.9995e-16, 1.0) << " 1.000e-15 ";

    // Values on a row's upper bound belong to that row.
    QTest::newRow("3-decimal bound 9.9995") << 9.9995 << " 10.00     ";
    QTest::newRow("2-decimal bound 99.995") << 99.995 << " 100.0     ";
    QTest::newRow("1-decimal bound 999.95") << 999.95 << " 1000     ";
    QTest::newRow("1-decimal bound 0.99995") << 0.99995 << " 1000e-3  ";
    QTest::newRow("1-decimal bound 999950") << 999950.0 << " 1000e+3  ";
    QTest::newRow("top bound 9.9995e12") << 9.9995e12 << " 10.00e+12 ";
    QTest::newRow("just above top bound") << std::nextafter(9.9995e12, 1e13) << overflowText;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << overflowText;
    QTest::newRow("-infinity") << -std::numeric_limits<double>::infinity()
                               << QStringLiteral("-*.***E\u00B1* ");
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << overflowText;

    // Worked out by hand across the suffixes.
    QTest::newRow("1.5e-15") << 1.5e-15 << " 1.500e-15 ";
    QTest::newRow("2.2e-12") << 2.2e-12 << " 2.200e-12 ";
    QTest::newRow("4.7e-9") << 4.7e-9 << " 4.700e-9  ";
    QTest::newRow("-0.00025") << -0.00025 << "-250.0e-6  ";
    QTest::newRow("0.00123456") << 0.00123456 << " 1.235e-3  ";
    QTest::newRow("-75.25") << -75.25 << "-75.25     ";
    QTest::newRow("3.3e9") << 3.3e9 << " 3.300e+9  ";
    QTest::newRow("5.6e10") << 5.6e10 << " 56.00e+9  ";
    QTest::newRow("1.234e12") << 1.234e12 << " 1.234e+12 ";

    // Exact ties decided by the scale products 100 * 1e-6 and 10 * 1e-6, which
    // lie just below 1e-4 and 1e-5 (the powers of ten would round these up).
    QTest::newRow("tie 10005000") << 10005000.0 << " 10.00e+6  ";
    QTest::newRow("tie 10015000") << 10015000.0 << " 10.01e+6  ";
    QTest::newRow("tie 100050000") << 100050000.0 << " 100.0e+6  ";

    // Exact ties (x * S is k + 0.5 exactly) round half up, on the magnitude:
    // 1062.5 -> 1063, 1187.5 -> 1188, 1012.5 -> 1013, 1002.5 -> 1003.
    QTest::newRow("tie 1.0625") << 1.0625 << " 1.063     ";
    QTest::newRow("tie -1.0625") << -1.0625 << "-1.063     ";
    QTest::newRow("tie 1.1875") << 1.1875 << " 1.188     ";
    QTest::newRow("tie 10.125") << 10.125 << " 10.13     ";
    QTest::newRow("tie 100.25") << 100.25 << " 100.3     ";
    QTest::newRow("tie 1062.5") << 1062.5 << " 1.063e+3  ";
}

void TestEngineeringText::singleValue()
{
    QFETCH(double, value);
    QFETCH(QString, expected);

    QCOMPARE(tb::engineeringText(value), expected);
}

// Worked out by hand: the last "j" at position i splits the text into its
// first i - 3 and its last length - i characters.
void TestEngineeringText::pair_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("real");
    QTest::addColumn<QString>("imaginary");

    QTest::newRow("worked example") << "3.25 + j-1.5"
                                    << " 3.250     "
                                    << "-1.500     ";
    QTest::newRow("upper-case J") << "3.25 + J-1.5"
                                  << " 3.250     "
                                  << "-1.500     ";
    QTest::newRow("minus before j not read") << "3.25 - j1.5"
                                             << " 3.250     "
                                             << " 1.500     ";
    QTest::newRow("two digits before j not read") << "12345j6"
                                                  << " 123.0     "
                                                  << " 6.000     ";
    QTest::newRow("last j splits") << "1 + j2 + j3"
                                   << " 1.000     "
                                   << " 3.000     ";
    QTest::newRow("j at position 3") << "abj"
                                     << " 0.000     "
                                     << " 0.000     ";
    QTest::newRow("engineering parts") << "-4700 + j0.00047"
                                       << "-4.700e+3  "
                                       << " 470.0e-6  ";
    QTest::newRow("overflow and tiny parts") << "2e13 + j-1e-20" << overflowText << "-0.000     ";
    QTest::newRow("32766 characters") << QString(32760, ' ') + "1 + j2"
                                      << " 1.000     "
                                      << " 2.000     ";
}

void TestEngineeringText::pair()
{
    QFETCH(QString, text);
    QFETCH(QString, real);
    QFETCH(QString, imaginary);

    const tb::ComplexTexts texts = tb::engineeringTextPair(text);
    QCOMPARE(texts.real, real);
    QCOMPARE(texts.imaginary, imaginary);
}

void TestEngineeringText::pairRejected_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ErrorKind>("error");

    QTest::newRow("no j") << "3.25 + 1.5" << ErrorKind::InvalidArgument;
    QTest::newRow("empty") << "" << ErrorKind::InvalidArgument;
    QTest::newRow("j at position 1") << "j5" << ErrorKind::InvalidArgument;
    QTest::newRow("j at position 2") << "1j5" << ErrorKind::InvalidArgument;
    QTest::newRow("J at position 2") << "1J" << ErrorKind::InvalidArgument;
    QTest::newRow("32767 characters") << QString(32761, ' ') + "1 + j2" << ErrorKind::Overflow;
    QTest::newRow("length before j") << QString(32767, 'x') << ErrorKind::Overflow;
    QTest::newRow("real part beyond range") << "1e999 + j1" << ErrorKind::Overflow;
    QTest::newRow("imaginary part beyond range") << "1 + j1e999" << ErrorKind::Overflow;
}

void TestEngineeringText::pairRejected()
{
    QFETCH(QString, text);
    QFETCH(ErrorKind, error);

    tb::ComplexTexts texts{"old real", "old imaginary"};
    QCOMPARE(errorOf([&] { texts = tb::engineeringTextPair(text); }), error);
    QCOMPARE(texts.real, QStringLiteral("old real"));
    QCOMPARE(texts.imaginary, QStringLiteral("old imaginary"));
}

// Every text over the table's whole span has the fixed layout and reads back to
// the input within half a unit of its last mantissa digit.
void TestEngineeringText::sweepReadsBack()
{
    static const QRegularExpression layout(
        QStringLiteral(R"(^([ -])(\d\.\d{3}|\d\d\.\d\d|\d{3}\.\d|1000)(e([+-]\d+) *| {5})$)"));
    constexpr int steps = 27 * 250;
    for (int i = 0; i <= steps; ++i) {
        const double magnitude = std::pow(10.0, -15.0 + 27.0 * i / steps);
        for (double value : {magnitude, -magnitude}) {
            const QString text = tb::engineeringText(value);
            const auto match = layout.match(text);
            QVERIFY2(match.hasMatch(), qPrintable(QString::number(value) + " -> " + text));
            const QString mantissa = match.captured(2);
            QCOMPARE(text.size(), mantissa == QLatin1String("1000") ? 10 : 11);
            QCOMPARE(match.captured(1) == QLatin1String("-"), value < 0);

            const int exponent = match.captured(4).isEmpty() ? 0 : match.captured(4).toInt();
            QCOMPARE(exponent % 3, 0);
            const int dot = mantissa.indexOf('.');
            const int decimals = dot < 0 ? 0 : int(mantissa.size()) - dot - 1;
            const double halfUnit = 0.5 * std::pow(10.0, -decimals);
            const double scaled = magnitude / std::pow(10.0, exponent);
            TB_COMPARE_NEAR(mantissa.toDouble(), scaled, halfUnit * (1 + 1e-9));
        }
    }
}

QTEST_GUILESS_MAIN(TestEngineeringText)
#include "tst_engineering_text.moc"
