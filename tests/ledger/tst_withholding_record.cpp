#include "ledger/withholding_record.h"

#include <QTest>

Q_DECLARE_METATYPE(Written<qint64>)
Q_DECLARE_METATYPE(Written<Nullable<QString>>)
Q_DECLARE_METATYPE(Written<Nullable<qint64>>)
Q_DECLARE_METATYPE(std::optional<QString>)

using ledger::recordFromEntry;

namespace {

Written<qint64> cents(qint64 value) {
    return value;
}
Written<qint64> kept() {
    return std::nullopt;
}

} // namespace

class WithholdingRecordTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void amounts_data();
    void amounts();
    void dates_data();
    void dates();
    void subjectKey_data();
    void subjectKey();
    void total_data();
    void total();
    void flags_data();
    void flags();
    void textsAndStamp();
};

void WithholdingRecordTest::amounts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<Written<qint64>>("column");
    QTest::newRow("formatted") << "1.234,56" << cents(123456);
    QTest::newRow("unformatted") << "1234,5" << cents(123450);
    QTest::newRow("negative") << "-3" << cents(-300);
    QTest::newRow("half a cent") << "0,005" << cents(1);
    QTest::newRow("zero") << "0,00" << cents(0);
    QTest::newRow("empty writes zero") << "" << cents(0);
    QTest::newRow("spaces write zero") << "   " << cents(0);
    QTest::newRow("unreadable is not written") << "1,2,3" << kept();
    QTest::newRow("lone minus is not written") << "-" << kept();
    QTest::newRow("overflow is not written") << "99999999999999999999" << kept();
}

void WithholdingRecordTest::amounts() {
    QFETCH(QString, text);
    QFETCH(Written<qint64>, column);
    using Field = QString WithholdingEntry::*;
    using Target = Written<qint64> WithholdingRecord::*;
    const std::pair<Field, Target> pairs[] = {
        {&WithholdingEntry::taxable, &WithholdingRecord::taxable},
        {&WithholdingEntry::withheld, &WithholdingRecord::withheld},
        {&WithholdingEntry::other, &WithholdingRecord::other},
        {&WithholdingEntry::remitted, &WithholdingRecord::remitted},
        {&WithholdingEntry::interest, &WithholdingRecord::interest},
        {&WithholdingEntry::penalty, &WithholdingRecord::penalty},
        {&WithholdingEntry::rate, &WithholdingRecord::rate},
    };
    for (const auto& [field, target] : pairs) {
        WithholdingEntry entry;
        entry.*field = text;
        QCOMPARE(recordFromEntry(entry).*target, column);
    }
}

void WithholdingRecordTest::dates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<Written<Nullable<QString>>>("column");
    using W = Written<Nullable<QString>>;
    QTest::newRow("date") << "05/03/2011" << W(Nullable<QString>("2011-03-05"));
    QTest::newRow("short day and month") << "5/3/2011" << W(Nullable<QString>("2011-03-05"));
    QTest::newRow("empty writes NULL") << "" << W(Nullable<QString>());
    QTest::newRow("spaces write NULL") << "  " << W(Nullable<QString>());
    QTest::newRow("invalid is not written") << "31/02/2011" << W();
    QTest::newRow("garbage is not written") << "domani" << W();
}

void WithholdingRecordTest::dates() {
    QFETCH(QString, text);
    QFETCH(Written<Nullable<QString>>, column);
    using Field = QString WithholdingEntry::*;
    using Target = Written<Nullable<QString>> WithholdingRecord::*;
    const std::pair<Field, Target> pairs[] = {
        {&WithholdingEntry::invoiceDate, &WithholdingRecord::invoiceDate},
        {&WithholdingEntry::paymentDate, &WithholdingRecord::paymentDate},
        {&WithholdingEntry::remittanceDate, &WithholdingRecord::remittanceDate},
        {&WithholdingEntry::dueDate, &WithholdingRecord::dueDate},
    };
    for (const auto& [field, target] : pairs) {
        WithholdingEntry entry;
        entry.*field = text;
        QCOMPARE(recordFromEntry(entry).*target, column);
    }
}

void WithholdingRecordTest::subjectKey_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<Written<Nullable<qint64>>>("column");
    using W = Written<Nullable<qint64>>;
    QTest::newRow("key") << "12" << W(Nullable<qint64>(12));
    QTest::newRow("key with spaces") << " 12 " << W(Nullable<qint64>(12));
    QTest::newRow("no subject writes NULL") << "" << W(Nullable<qint64>());
    QTest::newRow("not a key is not written") << "ROSSI" << W();
}

void WithholdingRecordTest::subjectKey() {
    QFETCH(QString, text);
    QFETCH(Written<Nullable<qint64>>, column);
    WithholdingEntry entry;
    entry.subjectId = text;
    QCOMPARE(recordFromEntry(entry).subjectId, column);
}

void WithholdingRecordTest::total_data() {
    QTest::addColumn<QString>("taxable");
    QTest::addColumn<QString>("withheld");
    QTest::addColumn<QString>("other");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<std::optional<QString>>("shown");
    QTest::addColumn<Written<qint64>>("column");
    const std::optional<QString> none;
    QTest::newRow("replaces a typed total")
        << "1.000,00"
        << "200,00"
        << "0"
        << "5,00" << std::optional<QString>("1.200,00") << cents(120000);
    QTest::newRow("replaces a zero total")
        << "1.000,00"
        << "200,00"
        << "10,5"
        << "0,00" << std::optional<QString>("1.210,50") << cents(121050);
    QTest::newRow("exact tenths") << "0,10"
                                  << "0,20"
                                  << "0"
                                  << "" << std::optional<QString>("0,30") << cents(30);
    QTest::newRow("other blank keeps the typed total") << "1.000,00"
                                                       << "200,00"
                                                       << ""
                                                       << "1.200,00" << none << cents(120000);
    QTest::newRow("other unreadable keeps the typed total") << "1.000,00"
                                                            << "200,00"
                                                            << "1,2,3"
                                                            << "7,00" << none << cents(700);
    QTest::newRow("nothing to add, total blank") << ""
                                                 << ""
                                                 << ""
                                                 << "" << none << cents(0);
    QTest::newRow("nothing to add, total unreadable") << "1.000,00"
                                                      << ""
                                                      << "0"
                                                      << "1-2" << none << kept();
}

void WithholdingRecordTest::total() {
    QFETCH(QString, taxable);
    QFETCH(QString, withheld);
    QFETCH(QString, other);
    QFETCH(QString, typed);
    QFETCH(std::optional<QString>, shown);
    QFETCH(Written<qint64>, column);
    WithholdingEntry entry;
    entry.taxable = taxable;
    entry.withheld = withheld;
    entry.other = other;
    entry.total = typed;
    QCOMPARE(ledger::recomputedTotal(entry), shown);
    QCOMPARE(recordFromEntry(entry).total, column);
}

void WithholdingRecordTest::flags_data() {
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("flag");
    QTest::newRow("ticked") << true << "S";
    QTest::newRow("not ticked") << false << "N";
}

void WithholdingRecordTest::flags() {
    QFETCH(bool, ticked);
    QFETCH(QString, flag);
    WithholdingEntry entry;
    entry.paid = ticked;
    entry.lateRegularisation = ticked;
    const WithholdingRecord record = recordFromEntry(entry);
    QCOMPARE(record.paid, Written<QString>(flag));
    QCOMPARE(record.lateRegularisation, Written<QString>(flag));
}

void WithholdingRecordTest::textsAndStamp() {
    WithholdingEntry entry;
    entry.subjectName = "D'ANNUNZIO GABRIELE";
    entry.invoiceNumber = " 12/A ";
    entry.period = "";
    entry.taxCode = "1040";
    entry.year = "2011";
    entry.user = "3";
    entry.rate = "20";
    const WithholdingRecord record = recordFromEntry(entry);
    QCOMPARE(record.name, Written<QString>("D'ANNUNZIO GABRIELE"));
    QCOMPARE(record.invoiceNumber, Written<QString>(" 12/A "));
    QCOMPARE(record.period, Written<QString>(""));
    QCOMPARE(record.taxCode, Written<QString>("1040"));
    QCOMPARE(record.year, Written<QString>("2011"));
    QCOMPARE(record.user, Written<QString>("3"));
    QCOMPARE(record.rate, cents(2000));
}

QTEST_APPLESS_MAIN(WithholdingRecordTest)
#include "tst_withholding_record.moc"
