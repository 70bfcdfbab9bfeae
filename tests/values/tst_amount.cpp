#include "values/amount.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<qint64>)

namespace {

constexpr qint64 kMax = Amount::kMaxCents;

std::optional<qint64> centsOf(const std::optional<Amount>& amount) {
    return amount ? std::optional<qint64>(amount->cents()) : std::nullopt;
}

std::optional<qint64> none() {
    return std::nullopt;
}

} // namespace

class AmountTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void format_data();
    void format();
    void formatReadsBack_data();
    void formatReadsBack();
    void plainText_data();
    void plainText();
    void addSubtract_data();
    void addSubtract();
    void times_data();
    void times();
    void percent_data();
    void percent();
};

void AmountTest::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<qint64>>("cents");

    QTest::newRow("grouped, one decimal") << "1.234,5" << std::optional<qint64>(123450);
    QTest::newRow("plain, two decimals") << "1234,50" << std::optional<qint64>(123450);
    QTest::newRow("negative integer") << "-3" << std::optional<qint64>(-300);
    QTest::newRow("half a cent rounds up") << "0,005" << std::optional<qint64>(1);
    QTest::newRow("just under half a cent") << "0,0049999" << std::optional<qint64>(0);
    QTest::newRow("negative half rounds away") << "-0,005" << std::optional<qint64>(-1);
    QTest::newRow("third decimal 4 rounds down") << "246,914" << std::optional<qint64>(24691);
    QTest::newRow("third decimal 5 rounds up") << "246,915" << std::optional<qint64>(24692);
    QTest::newRow("carry into the units") << "9,995" << std::optional<qint64>(1000);
    QTest::newRow("carry through groups") << "999.999,999" << std::optional<qint64>(100000000);
    QTest::newRow("formatted thousand") << "1.000,00" << std::optional<qint64>(100000);
    QTest::newRow("two groups") << "1.000.000" << std::optional<qint64>(100000000);
    QTest::newRow("grouped integer") << "1.234" << std::optional<qint64>(123400);
    QTest::newRow("zero") << "0" << std::optional<qint64>(0);
    QTest::newRow("minus zero") << "-0,00" << std::optional<qint64>(0);
    QTest::newRow("tiny negative rounds to zero") << "-0,004" << std::optional<qint64>(0);
    QTest::newRow("leading zeros") << "007,1" << std::optional<qint64>(710);
    QTest::newRow("comma first") << ",5" << std::optional<qint64>(50);
    QTest::newRow("negative comma first") << "-,05" << std::optional<qint64>(-5);
    QTest::newRow("comma last") << "12," << std::optional<qint64>(1200);
    QTest::newRow("blanks around") << "  12,3 " << std::optional<qint64>(1230);
    QTest::newRow("largest") << "92.233.720.368.547.758,07" << std::optional<qint64>(kMax);
    QTest::newRow("most negative") << "-92233720368547758,07" << std::optional<qint64>(-kMax);
    QTest::newRow("leading zeros do not overflow")
        << "000000000000000000000000000001" << std::optional<qint64>(100);

    QTest::newRow("two commas") << "1,2,3" << none();
    QTest::newRow("lone minus") << "-" << none();
    QTest::newRow("minus in the middle") << "1-2" << none();
    QTest::newRow("trailing minus") << "12-" << none();
    QTest::newRow("double minus") << "--3" << none();
    QTest::newRow("minus then blank") << "- 3" << none();
    QTest::newRow("plus sign") << "+3" << none();
    QTest::newRow("empty") << "" << none();
    QTest::newRow("blanks only") << "   " << none();
    QTest::newRow("letters") << "abc" << none();
    QTest::newRow("digits and letter") << "12a" << none();
    QTest::newRow("lone comma") << "," << none();
    QTest::newRow("minus comma") << "-," << none();
    QTest::newRow("inner blank") << "1 234" << none();
    QTest::newRow("dot as decimal") << "12.34" << none();
    QTest::newRow("dot as decimal with thousands") << "1234.5" << none();
    QTest::newRow("group too long before stop") << "1234.567" << none();
    QTest::newRow("group too short") << "1.23,00" << none();
    QTest::newRow("group too long after stop") << "1.2345" << none();
    QTest::newRow("leading stop") << ".123" << none();
    QTest::newRow("trailing stop") << "123." << none();
    QTest::newRow("double stop") << "1..234" << none();
    QTest::newRow("stop in decimals") << "1,234.5" << none();
    QTest::newRow("stop after comma") << "1,.5" << none();
    QTest::newRow("non-ASCII digit") << QStringLiteral("١٢") << none();
    QTest::newRow("just above largest") << "92233720368547758,08" << none();
    QTest::newRow("rounding past largest") << "92233720368547758,075" << none();
    QTest::newRow("just below most negative") << "-92233720368547758,08" << none();
    QTest::newRow("huge") << "99999999999999999999999999999999999999999" << none();
}

void AmountTest::parse() {
    QFETCH(QString, text);
    QFETCH(std::optional<qint64>, cents);
    QCOMPARE(centsOf(Amount::parse(text)), cents);
}

void AmountTest::format_data() {
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("text");
    QTest::newRow("thousands") << qint64(123450) << "1.234,50";
    QTest::newRow("cents only") << qint64(4) << "0,04";
    QTest::newRow("zero") << qint64(0) << "0,00";
    QTest::newRow("negative") << qint64(-300) << "-3,00";
    QTest::newRow("negative cents") << qint64(-5) << "-0,05";
    QTest::newRow("three digits, no stop") << qint64(99999) << "999,99";
    QTest::newRow("four digits") << qint64(100000) << "1.000,00";
    QTest::newRow("six digits") << qint64(12345678) << "123.456,78";
    QTest::newRow("seven digits") << qint64(123456789) << "1.234.567,89";
    QTest::newRow("negative grouped") << qint64(-100000000) << "-1.000.000,00";
    QTest::newRow("largest") << kMax << "92.233.720.368.547.758,07";
    QTest::newRow("most negative") << -kMax << "-92.233.720.368.547.758,07";
}

void AmountTest::format() {
    QFETCH(qint64, cents);
    QFETCH(QString, text);
    QCOMPARE(Amount::fromCents(cents).format(), text);
    QCOMPARE(CtrNumD(Amount::fromCents(cents)), text);
}

void AmountTest::formatReadsBack_data() {
    QTest::addColumn<qint64>("cents");
    for (qint64 cents : {qint64(0), qint64(1), qint64(-1), qint64(99), qint64(100), qint64(99999),
                         qint64(100000), qint64(-123456789), kMax, -kMax})
        QTest::addRow("%lld", static_cast<long long>(cents)) << cents;
}

void AmountTest::formatReadsBack() {
    QFETCH(qint64, cents);
    const Amount amount = Amount::fromCents(cents);
    QCOMPARE(centsOf(Amount::parse(amount.format())), std::optional<qint64>(cents));
    QCOMPARE(centsOf(Amount::parse(amount.plainText())), std::optional<qint64>(cents));
}

void AmountTest::plainText_data() {
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("text");
    QTest::newRow("rate 4") << qint64(400) << "4";
    QTest::newRow("rate 20") << qint64(2000) << "20";
    QTest::newRow("one decimal") << qint64(450) << "4,5";
    QTest::newRow("two decimals") << qint64(425) << "4,25";
    QTest::newRow("leading zero decimal") << qint64(405) << "4,05";
    QTest::newRow("zero") << qint64(0) << "0";
    QTest::newRow("cents only") << qint64(5) << "0,05";
    QTest::newRow("negative") << qint64(-450) << "-4,5";
    QTest::newRow("no grouping") << qint64(123400) << "1234";
}

void AmountTest::plainText() {
    QFETCH(qint64, cents);
    QFETCH(QString, text);
    QCOMPARE(Amount::fromCents(cents).plainText(), text);
}

void AmountTest::addSubtract_data() {
    QTest::addColumn<qint64>("a");
    QTest::addColumn<qint64>("b");
    QTest::addColumn<std::optional<qint64>>("sum");
    QTest::addColumn<std::optional<qint64>>("difference");
    QTest::newRow("tenths add exactly")
        << qint64(10) << qint64(20) << std::optional<qint64>(30) << std::optional<qint64>(-10);
    QTest::newRow("signs") << qint64(-500) << qint64(200) << std::optional<qint64>(-300)
                           << std::optional<qint64>(-700);
    QTest::newRow("to the largest")
        << kMax - 1 << qint64(1) << std::optional<qint64>(kMax) << std::optional<qint64>(kMax - 2);
    QTest::newRow("past the largest")
        << kMax << qint64(1) << none() << std::optional<qint64>(kMax - 1);
    QTest::newRow("past the most negative")
        << -kMax << qint64(-1) << none() << std::optional<qint64>(-kMax + 1);
    QTest::newRow("difference past the largest")
        << kMax << qint64(-1) << std::optional<qint64>(kMax - 1) << none();
    QTest::newRow("extremes cancel") << kMax << -kMax << std::optional<qint64>(0) << none();
}

void AmountTest::addSubtract() {
    QFETCH(qint64, a);
    QFETCH(qint64, b);
    QFETCH(std::optional<qint64>, sum);
    QFETCH(std::optional<qint64>, difference);
    QCOMPARE(centsOf(Amount::fromCents(a).plus(Amount::fromCents(b))), sum);
    QCOMPARE(centsOf(Amount::fromCents(a).minus(Amount::fromCents(b))), difference);
}

void AmountTest::times_data() {
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<qint64>("factor");
    QTest::addColumn<std::optional<qint64>>("product");
    QTest::newRow("1.000,00 x 0,04") << qint64(100000) << qint64(4) << std::optional<qint64>(4000);
    QTest::newRow("1.000,00 x 0,20")
        << qint64(100000) << qint64(20) << std::optional<qint64>(20000);
    QTest::newRow("123,45 x 0,20 = 24,69")
        << qint64(12345) << qint64(20) << std::optional<qint64>(2469);
    QTest::newRow("1.234,56 x 0,20 = 246,912")
        << qint64(123456) << qint64(20) << std::optional<qint64>(24691);
    QTest::newRow("0,13 x 0,04 = 0,0052") << qint64(13) << qint64(4) << std::optional<qint64>(1);
    QTest::newRow("0,12 x 0,04 = 0,0048") << qint64(12) << qint64(4) << std::optional<qint64>(0);
    QTest::newRow("exact half up") << qint64(125) << qint64(4) << std::optional<qint64>(5);
    QTest::newRow("exact half of a negative")
        << qint64(-125) << qint64(4) << std::optional<qint64>(-5);
    QTest::newRow("negative factor")
        << qint64(12345) << qint64(-20) << std::optional<qint64>(-2469);
    QTest::newRow("largest by one") << kMax << qint64(100) << std::optional<qint64>(kMax);
    QTest::newRow("largest by a fifth")
        << kMax << qint64(20) << std::optional<qint64>(1844674407370955161);
    QTest::newRow("too large") << kMax << qint64(101) << none();
    QTest::newRow("both huge") << kMax << kMax << none();
}

void AmountTest::times() {
    QFETCH(qint64, amount);
    QFETCH(qint64, factor);
    QFETCH(std::optional<qint64>, product);
    QCOMPARE(centsOf(Amount::fromCents(amount).times(Amount::fromCents(factor))), product);
}

void AmountTest::percent_data() {
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<qint64>("rate");
    QTest::addColumn<std::optional<qint64>>("share");
    QTest::newRow("20% of 1.234,56")
        << qint64(123456) << qint64(2000) << std::optional<qint64>(24691);
    QTest::newRow("4% of 1.000,00") << qint64(100000) << qint64(400) << std::optional<qint64>(4000);
    QTest::newRow("4,5% of 100,10 = 4,5045")
        << qint64(10010) << qint64(450) << std::optional<qint64>(450);
    QTest::newRow("20% of 0,025 half") << qint64(25) << qint64(2000) << std::optional<qint64>(5);
    QTest::newRow("23% of 0,50 = 0,115") << qint64(50) << qint64(2300) << std::optional<qint64>(12);
    QTest::newRow("negative half") << qint64(-50) << qint64(2300) << std::optional<qint64>(-12);
    QTest::newRow("zero rate") << qint64(123456) << qint64(0) << std::optional<qint64>(0);
    QTest::newRow("100% of the largest") << kMax << qint64(10000) << std::optional<qint64>(kMax);
    QTest::newRow("over 100% of the largest") << kMax << qint64(10001) << none();
}

void AmountTest::percent() {
    QFETCH(qint64, amount);
    QFETCH(qint64, rate);
    QFETCH(std::optional<qint64>, share);
    QCOMPARE(centsOf(Amount::fromCents(amount).percent(Amount::fromCents(rate))), share);
}

QTEST_APPLESS_MAIN(AmountTest)
#include "tst_amount.moc"
