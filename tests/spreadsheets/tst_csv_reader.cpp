#include "spreadsheets/csv_reader.h"

#include <QTest>

// Fields as an export tool quotes them: separators, quotes and line breaks inside quotes.
class CsvReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void records_data();
    void records();
    void openQuote();
};

void CsvReaderTest::records_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QStringList>("fields"); // every record's fields joined by "|"
    QTest::addColumn<QList<int>>("lines");
    QTest::newRow("plain") << "a,b\n1,2\n3,4\n"
                           << QChar(u',') << QStringList{"1|2", "3|4"} << QList<int>{2, 3};
    QTest::newRow("quoted separator") << "a,b\n\"x, y\",2\n"
                                      << QChar(u',') << QStringList{"x, y|2"} << QList<int>{2};
    QTest::newRow("doubled quote") << "a\n\"VIA \"\"ROMA\"\"\"\n"
                                   << QChar(u',') << QStringList{"VIA \"ROMA\""} << QList<int>{2};
    QTest::newRow("line break in quotes") << "a,b\n\"one\ntwo\",2\n3,4" << QChar(u',')
                                          << QStringList{"one\ntwo|2", "3|4"} << QList<int>{2, 4};
    QTest::newRow("carriage returns and blank lines")
        << "a;b\r\n\r\n1;2\r\n"
        << QChar(u';') << QStringList{"1|2"} << QList<int>{3};
    QTest::newRow("empty fields") << "a,b,c\n,,\n"
                                  << QChar(u',') << QStringList{"||"} << QList<int>{2};
    QTest::newRow("other separator kept") << "a;b\n1,5;2\n"
                                          << QChar(u';') << QStringList{"1,5|2"} << QList<int>{2};
}

void CsvReaderTest::records() {
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(QStringList, fields);
    QFETCH(QList<int>, lines);
    const CsvTable table = readCsv(text, separator);
    QCOMPARE(table.error, QString());
    QCOMPARE(table.header.size(), text.section(u'\n', 0, 0).count(separator) + 1);
    QStringList read;
    QList<int> readLines;
    for (const CsvRecord& record : table.records) {
        read.append(record.fields.join(u'|'));
        readLines.append(record.line);
    }
    QCOMPARE(read, fields);
    QCOMPARE(readLines, lines);
}

void CsvReaderTest::openQuote() {
    const CsvTable table = readCsv(QStringLiteral("a,b\n1,2\n\"open,3\n4,5\n"), u',');
    QVERIFY2(table.error.contains(QStringLiteral("riga 3")), qPrintable(table.error));
}

QTEST_GUILESS_MAIN(CsvReaderTest)
#include "tst_csv_reader.moc"
