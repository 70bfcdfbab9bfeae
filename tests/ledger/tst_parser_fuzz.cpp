#include "ledger/withholding_rules.h"
#include "values/amount.h"
#include "values/date_text.h"
#include "widgets/date_box.h"

#include <QRandomGenerator>
#include <QTest>

// Random text through the readers of amounts and dates, run under the sanitizers: no
// input may crash them, and whatever they accept must survive being written back out.
namespace {

constexpr int kRandomAmountTexts = 40000;
constexpr int kRandomCents = 20000;
constexpr int kRandomDateTexts = 30000;
constexpr int kRandomDates = 15000;

QString randomText(QRandomGenerator& random, const QString& alphabet, int maxLength) {
    const int length = int(random.bounded(maxLength + 1));
    QString text;
    for (int i = 0; i < length; ++i) {
        // Now and then any character at all, surrogates and controls included.
        text += random.bounded(20) == 0 ? QChar(char16_t(random.bounded(0x10000)))
                                        : alphabet.at(int(random.bounded(int(alphabet.size()))));
    }
    return text;
}

qint64 randomCents(QRandomGenerator& random) {
    // Every magnitude alike, from single cents to the edge of the range.
    const int bits = 1 + int(random.bounded(64));
    qint64 cents = qint64(random.generate64() >> (64 - bits)) & Amount::kMaxCents;
    return random.bounded(2) ? -cents : cents;
}

// Mostly text shaped like a date (day, month and year of any size, either separator),
// some of it with one character changed, the rest random.
QString randomDateText(QRandomGenerator& random) {
    if (random.bounded(10) < 2)
        return randomText(random, QStringLiteral("0123456789//--"), 12);
    const auto number = [&random](int below, bool pad) {
        const QString n = QString::number(random.bounded(below));
        return pad ? n.rightJustified(2, u'0') : n;
    };
    const QString separator = random.bounded(5) == 0 ? QStringLiteral("-") : QStringLiteral("/");
    QString year;
    switch (random.bounded(4)) {
    case 0:
        year = QString::number(1880 + random.bounded(240));
        break;
    case 1:
        year = number(100, true);
        break;
    case 2:
        year = QStringLiteral("-") + QString::number(random.bounded(10000));
        break;
    default:
        year = QString::number(random.bounded(100000)).rightJustified(4, u'0');
        break;
    }
    QString text = number(34, random.bounded(2)) + separator + number(15, random.bounded(2)) +
                   separator + year;
    if (random.bounded(4) == 0)
        text[int(random.bounded(int(text.size())))] = QChar(char16_t(random.bounded(0x80)));
    return text;
}

} // namespace

class ParserFuzzTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void amounts();
    void dates();

private:
    quint32 seed_ = 0;
};

void ParserFuzzTest::initTestCase() {
    seed_ = QRandomGenerator::global()->generate();
    qInfo("seed %u", seed_);
}

void ParserFuzzTest::amounts() {
    QRandomGenerator random(seed_);
    const QString alphabet = QStringLiteral("0123456789012345678901234567890123456789.,.,-+ eE");
    int accepted = 0;
    for (int i = 0; i < kRandomAmountTexts; ++i) {
        const QString text = randomText(random, alphabet, 28);
        const std::optional<Amount> value = Amount::parse(text);
        if (!value)
            continue;
        ++accepted;
        QVERIFY2(value->cents() >= -Amount::kMaxCents, qPrintable(text));
        QVERIFY2(Amount::parse(value->format()) == value, qPrintable(text));
        QVERIFY2(Amount::parse(value->plainText()) == value, qPrintable(text));
        QVERIFY2(Amount::parse(QString(QStringLiteral("  ") + CtrNumD(*value) +
                                       QStringLiteral(" "))) == value,
                 qPrintable(text));
    }
    for (int i = 0; i < kRandomCents; ++i) {
        const Amount value = Amount::fromCents(randomCents(random));
        const QString shown = value.format();
        QVERIFY2(Amount::parse(shown) == value, qPrintable(shown));
        QVERIFY2(Amount::parse(value.plainText()) == value, qPrintable(value.plainText()));
        // The form shown never changes when it is read back and shown again.
        QCOMPARE(Amount::parse(shown)->format(), shown);
    }
    qInfo("%d random texts (%d read as amounts) and %d random amounts", kRandomAmountTexts,
          accepted, kRandomCents);
}

void ParserFuzzTest::dates() {
    QRandomGenerator random(seed_ ^ 0x5a5a5a5au);
    int accepted = 0;
    for (int i = 0; i < kRandomDateTexts; ++i) {
        const QString text = randomDateText(random);
        const QDate typed = DateBox::parse(text);
        QVERIFY2(!typed.isValid() || isTypedYear(typed.year()), qPrintable(text));
        const std::optional<QDate> read = ledger::readShortDate(text);
        if (!read)
            continue;
        ++accepted;
        // What the save reads, the date box reads alike, and it goes to the ledger and back.
        QVERIFY2(isTypedYear(read->year()), qPrintable(text));
        QCOMPARE(typed, *read);
        const QString shown = ledger::shortDateText(*read);
        QCOMPARE(ledger::readShortDate(shown), read);
        QCOMPARE(ledger::isoFromShortDate(text), std::optional(read->toString(Qt::ISODate)));
        QCOMPARE(shownDate(*ledger::isoFromShortDate(text)), shown);
    }
    const qint64 first = QDate(kFirstTypedYear, 1, 1).toJulianDay();
    const qint64 last = QDate(kLastTypedYear, 12, 31).toJulianDay();
    for (int i = 0; i < kRandomDates; ++i) {
        const QDate date =
            QDate::fromJulianDay(first + qint64(random.bounded(quint64(last - first + 1))));
        const QString shown = ledger::shortDateText(date);
        QCOMPARE(DateBox::parse(shown), date);
        QCOMPARE(ledger::readShortDate(shown), std::optional(date));
        QCOMPARE(shownDate(*ledger::isoFromShortDate(shown)), shown);
    }
    qInfo("%d random texts (%d read as dates) and %d random dates", kRandomDateTexts, accepted,
          kRandomDates);
}

QTEST_GUILESS_MAIN(ParserFuzzTest)
#include "tst_parser_fuzz.moc"
