// Text to amount, amount to text, the two-digit rendering and the checked
// addition: the conversions every window relies on.
#include "Amount.h"

#include <QTest>

using namespace kakeibo;

class TestAmount : public QObject {
    Q_OBJECT

private slots:
    void convertibleTextsGiveTheirAmount_data();
    void convertibleTextsGiveTheirAmount();
    void otherTextsFail_data();
    void otherTextsFail();
    void renderingRoundTrips_data();
    void renderingRoundTrips();
    void twoDigitsPadsBelowTen_data();
    void twoDigitsPadsBelowTen();
    void additionReportsOverflow_data();
    void additionReportsOverflow();
};

void TestAmount::convertibleTextsGiveTheirAmount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("amount");
    QTest::newRow("digits") << "300" << 300;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("minus zero") << "-0" << 0;
    QTest::newRow("negative") << "-500" << -500;
    QTest::newRow("plus") << "+5" << 5;
    QTest::newRow("largest") << "2147483647" << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << int(-2147483648LL);
    QTest::newRow("full-width digits") << "１２３" << 123;
    QTest::newRow("mixed widths") << "1２3" << 123;
    QTest::newRow("every full-width digit") << "１０２３４５６７８９" << 1023456789;
    QTest::newRow("full-width nine alone") << "９" << 9;
    QTest::newRow("full-width plus") << "＋５" << 5;
    QTest::newRow("full-width minus") << "－５" << -5;
    QTest::newRow("minus sign") << "−５" << -5;
    QTest::newRow("spaces around") << "  12 " << 12;
    QTest::newRow("ideographic spaces") << "\u3000５\u3000" << 5;
    QTest::newRow("grouped") << "1,234,567" << 1234567;
    QTest::newRow("full-width commas") << "１，２３４" << 1234;
    QTest::newRow("grouped largest") << "2,147,483,647" << 2147483647;
    QTest::newRow("short first group") << "12,000" << 12000;
    QTest::newRow("long text of zeros") << QString(5000, QLatin1Char('0')) + "1" << 1;
}

void TestAmount::convertibleTextsGiveTheirAmount()
{
    QFETCH(QString, text);
    QFETCH(int, amount);
    const auto result = Amount::fromText(text);
    QVERIFY2(result.ok(), qPrintable(text));
    QCOMPARE(result.value(), amount);
}

void TestAmount::otherTextsFail_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    const int conversion = int(Error::Kind::Conversion);
    const int overflow = int(Error::Kind::Overflow);
    QTest::newRow("empty") << "" << conversion;
    QTest::newRow("spaces only") << "   " << conversion;
    QTest::newRow("minus alone") << "-" << conversion;
    QTest::newRow("letter after digits") << "12a" << conversion;
    QTest::newRow("fraction") << "1.5" << conversion;
    QTest::newRow("full-width fraction") << "１．５" << conversion;
    QTest::newRow("exponent") << "1e3" << conversion;
    QTest::newRow("hexadecimal") << "0x10" << conversion;
    QTest::newRow("two signs") << "--5" << conversion;
    QTest::newRow("space after sign") << "- 5" << conversion;
    QTest::newRow("space inside") << "1 000" << conversion;
    QTest::newRow("tab") << "\t5" << conversion;
    QTest::newRow("group of two") << "1,23" << conversion;
    QTest::newRow("group of four") << "1,2345" << conversion;
    QTest::newRow("first group of four") << "1234,567" << conversion;
    QTest::newRow("leading comma") << ",123" << conversion;
    QTest::newRow("trailing comma") << "123," << conversion;
    QTest::newRow("double comma") << "1,,234" << conversion;
    QTest::newRow("yen sign") << "¥100" << conversion;
    QTest::newRow("arabic-indic digit") << "\u0661" << conversion;
    QTest::newRow("one past largest") << "2147483648" << overflow;
    QTest::newRow("one below smallest") << "-2147483649" << overflow;
    QTest::newRow("eleven digits") << "21474836470" << overflow;
    QTest::newRow("very long number") << QString(400, QLatin1Char('9')) << overflow;
}

void TestAmount::otherTextsFail()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    const auto result = Amount::fromText(text);
    QVERIFY2(!result.ok(), qPrintable(text));
    QCOMPARE(int(result.error().kind), kind);
}

void TestAmount::renderingRoundTrips_data()
{
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0";
    QTest::newRow("positive") << qint64(300) << "300";
    QTest::newRow("negative") << qint64(-200) << "-200";
    QTest::newRow("largest") << qint64(2147483647) << "2147483647";
    QTest::newRow("smallest") << qint64(-2147483648LL) << "-2147483648";
}

void TestAmount::renderingRoundTrips()
{
    QFETCH(qint64, amount);
    QFETCH(QString, text);
    QCOMPARE(Amount::toText(amount), text);
    QCOMPARE(qint64(Amount::fromText(text).value()), amount);
}

void TestAmount::twoDigitsPadsBelowTen_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << "00";
    QTest::newRow("five") << 5 << "05";
    QTest::newRow("eighty-five") << 85 << "85";
    QTest::newRow("one hundred twenty") << 120 << "120";
}

void TestAmount::twoDigitsPadsBelowTen()
{
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(Amount::twoDigits(value), text);
}

void TestAmount::additionReportsOverflow_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("sum");
    const int max = 2147483647;
    const int min = int(-2147483648LL);
    QTest::newRow("small") << 300 << -200 << true << 100;
    QTest::newRow("to largest") << max - 1 << 1 << true << max;
    QTest::newRow("past largest") << max << 1 << false << 0;
    QTest::newRow("to smallest") << min + 1 << -1 << true << min;
    QTest::newRow("past smallest") << min << -1 << false << 0;
    QTest::newRow("extremes cancel") << max << min << true << -1;
}

void TestAmount::additionReportsOverflow()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(bool, fits);
    QFETCH(int, sum);
    const auto result = Amount::checkedAdd(a, b);
    QCOMPARE(result.has_value(), fits);
    if (fits)
        QCOMPARE(*result, sum);
}

QTEST_APPLESS_MAIN(TestAmount)
#include "tst_amount.moc"
