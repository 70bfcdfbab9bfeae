#include "spreadsheets/spreadsheet_file.h"
#include "spreadsheets/xlsx_parts.h"
#include "spreadsheets/xlsx_reader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <xlsxwriter.h>

using sheet::Value;

namespace {

QString writeText(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A workbook as another program writes it: a title row, an empty row, then typed cells.
// `streamed` writes strings inline, otherwise they are shared.
QString writeWorkbook(const QTemporaryDir& dir, bool streamed) {
    const QString path = dir.filePath(streamed ? "inline.xlsx" : "shared.xlsx");
    lxw_workbook_options options{};
    options.constant_memory = streamed ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet* first = workbook_add_worksheet(book, "Registro");
    workbook_add_worksheet(book, "Altro foglio");
    lxw_format* italianDate = workbook_add_format(book);
    format_set_num_format(italianDate, "dd/mm/yyyy");
    lxw_format* builtinDate = workbook_add_format(book);
    format_set_num_format_index(builtinDate, 14);
    lxw_format* money = workbook_add_format(book);
    format_set_num_format(money, "#,##0.00 [$€-410]");
    worksheet_write_string(first, 0, 0, "Registro ritenute", nullptr);
    worksheet_write_string(first, 2, 0, "ÈRRE & C. \"srl\"", nullptr);
    worksheet_write_number(first, 2, 1, 1234.56, money);
    worksheet_write_number(first, 2, 2, 44270, italianDate);
    worksheet_write_boolean(first, 2, 3, 1, nullptr);
    worksheet_write_number(first, 2, 4, 0.1 + 0.2, nullptr);
    worksheet_write_formula_num(first, 2, 5, "=1+1", nullptr, 2);
    lxw_datetime day = {2021, 12, 31, 10, 30, 0};
    worksheet_write_datetime(first, 2, 6, &day, builtinDate);
    worksheet_write_string(first, 2, 7, "'=SOMMA(A1)", nullptr);
    worksheet_write_number(first, 2, 27, -7, nullptr);
    if (workbook_close(book) != LXW_NO_ERROR)
        qFatal("workbook not written");
    return path;
}

} // namespace

class SpreadsheetFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void workbookCells_data();
    void workbookCells();
    void shortestDecimalOfEveryCent();
    void serialDates_data();
    void serialDates();
    void dateFormats_data();
    void dateFormats();
    void separator_data();
    void separator();
    void textFile();
    void unreadableFiles_data();
    void unreadableFiles();
};

void SpreadsheetFileTest::workbookCells_data() {
    QTest::addColumn<bool>("streamed");
    QTest::newRow("shared strings") << false;
    QTest::newRow("inline strings") << true;
}

void SpreadsheetFileTest::workbookCells() {
    QFETCH(bool, streamed);
    QTemporaryDir dir;
    const sheet::Table table = sheet::readSpreadsheet(writeWorkbook(dir, streamed));
    QCOMPARE(table.error, QString());
    QCOMPARE(table.rows.size(), 2);
    QCOMPARE(table.rows.at(0).number, 1);
    QCOMPARE(table.rows.at(0).cells, QList<Value>{Value::ofText("Registro ritenute")});
    const sheet::Row& row = table.rows.at(1);
    QCOMPARE(row.number, 3);
    QCOMPARE(row.cells.size(), 28);
    QCOMPARE(row.cells.at(0), Value::ofText(QStringLiteral("ÈRRE & C. \"srl\"")));
    QCOMPARE(row.cells.at(1), Value::ofNumber("1234.56"));
    QCOMPARE(row.cells.at(2), Value::ofDate(QDate(2021, 3, 15)));
    QCOMPARE(row.cells.at(3), Value::ofBoolean(true));
    // The library stores 16 significant digits ("0.3"); the number read is still the
    // shortest text of the double read, never a binary expansion of it.
    QCOMPARE(row.cells.at(4), Value::ofNumber("0.3"));
    QCOMPARE(row.cells.at(5), Value::ofNumber("2"));
    QCOMPARE(row.cells.at(6), Value::ofDate(QDate(2021, 12, 31)));
    // A workbook keeps its text as typed: only a text file carries a guard to take off.
    QCOMPARE(row.cells.at(7), Value::ofText("'=SOMMA(A1)"));
    QVERIFY(row.cells.at(8).isEmpty());
    QCOMPARE(row.cells.at(27), Value::ofNumber("-7"));
}

void SpreadsheetFileTest::shortestDecimalOfEveryCent() {
    // Money written as euros (cents / 100) reads back as the same decimal text, so the
    // cents come back exactly; sampled across every magnitude up to ten billion euros.
    for (qint64 cents = 0; cents < 1'000'000'000'000LL; cents = cents * 3 + 7) {
        for (const qint64 value : {cents, -cents}) {
            const qint64 magnitude = value < 0 ? -value : value;
            QString expected = QString::number(magnitude / 100);
            if (magnitude % 100 != 0) {
                expected += u'.' + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QChar(u'0'));
                while (expected.endsWith(u'0'))
                    expected.chop(1);
            }
            if (value < 0)
                expected.prepend(u'-');
            QCOMPARE(sheet::shortestDecimal(double(value) / 100.0), expected);
        }
    }
    QCOMPARE(sheet::shortestDecimal(1e20), QStringLiteral("100000000000000000000"));
    QCOMPARE(sheet::shortestDecimal(-0.0), QStringLiteral("0"));
}

void SpreadsheetFileTest::serialDates_data() {
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("date1904");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("first day") << 1.0 << false << QDate(1900, 1, 1);
    QTest::newRow("before the missing day") << 59.0 << false << QDate(1900, 2, 28);
    QTest::newRow("29 February 1900 never was") << 60.0 << false << QDate();
    QTest::newRow("after it") << 61.0 << false << QDate(1900, 3, 1);
    QTest::newRow("a day of 2021") << 44270.0 << false << QDate(2021, 3, 15);
    QTest::newRow("time of day dropped") << 44270.75 << false << QDate(2021, 3, 15);
    QTest::newRow("day zero") << 0.0 << false << QDate();
    QTest::newRow("negative") << -3.0 << false << QDate();
    QTest::newRow("past 9999") << 2958466.0 << false << QDate();
    QTest::newRow("1904 system") << 0.0 << true << QDate(1904, 1, 1);
    QTest::newRow("1904 system, 2021") << 42808.0 << true << QDate(2021, 3, 15);
}

void SpreadsheetFileTest::serialDates() {
    QFETCH(double, serial);
    QFETCH(bool, date1904);
    QFETCH(QDate, expected);
    QCOMPARE(sheet::dateOfSerial(serial, date1904), expected);
}

void SpreadsheetFileTest::dateFormats_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("date");
    QTest::newRow("built-in 14") << 14 << "" << true;
    QTest::newRow("built-in 22") << 22 << "" << true;
    QTest::newRow("built-in 4") << 4 << "" << false;
    QTest::newRow("General") << 0 << "General" << false;
    QTest::newRow("custom day") << 164 << "dd/mm/yyyy" << true;
    QTest::newRow("custom money") << 165 << "#,##0.00" << false;
    QTest::newRow("colour is no date") << 166 << "[Red]0.00" << false;
    QTest::newRow("quoted letters") << 167 << "0\" dm\"" << false;
    QTest::newRow("escaped letter") << 168 << "0\\d" << false;
    QTest::newRow("locale then date") << 169 << "[$-410]d mmmm yyyy" << true;
    QTest::newRow("currency") << 170 << "#,##0.00 [$€-410]" << false;
}

void SpreadsheetFileTest::dateFormats() {
    QFETCH(int, id);
    QFETCH(QString, code);
    QFETCH(bool, date);
    QCOMPARE(sheet::xlsx::isDateFormat(id, code), date);
}

void SpreadsheetFileTest::separator_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::newRow("export for Italian spreadsheets")
        << "Ritenute\r\nUtente;ROSSI, MARIO\r\nAnno;2021\r\n\r\n"
           "denominazione;FT;data;imponibile;aliquota;ritenuta\r\n"
           "ALFA;1;15/03/2021;1000,00;20;200,00\r\nBETA;2;16/03/2021;500,50;20;100,10\r\n"
        << ";";
    QTest::newRow("database export")
        << "ID,denominazione,imponibile\n1,\"ROSSI; MARIO\",1000.00\n2,\"BETA\",5.5\n"
        << ",";
    QTest::newRow("one column") << "denominazione\nALFA\nBETA\n"
                                << ";";
    QTest::newRow("commas in names only")
        << "denominazione;FT\n\"ROSSI, MARIO\";1\n\"BIANCHI, LUCA\";2\n"
        << ";";
}

void SpreadsheetFileTest::separator() {
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QCOMPARE(QString(sheet::separatorOf(text)), separator);
}

void SpreadsheetFileTest::textFile() {
    QTemporaryDir dir;
    const QString path = writeText(dir, "registro.csv",
                                   "\xEF\xBB\xBF"
                                   "Ritenute\r\n\r\ndenominazione;FT;note\r\n"
                                   "'=ALFA;'-3;\"due\r\nrighe\"\r\n"
                                   "'O SOLE;''=x;'@\r\n");
    const sheet::Table table = sheet::readSpreadsheet(path);
    QCOMPARE(table.error, QString());
    QCOMPARE(table.rows.size(), 4);
    QCOMPARE(table.rows.at(0).cells, QList<Value>{Value::ofText("Ritenute")});
    QCOMPARE(table.rows.at(1).number, 3);
    QCOMPARE(table.rows.at(2).number, 4);
    QCOMPARE(table.rows.at(2).cells, (QList<Value>{Value::ofText("=ALFA"), Value::ofText("-3"),
                                                   Value::ofText("due\r\nrighe")}));
    QCOMPARE(table.rows.at(3).number, 6);
    QCOMPARE(table.rows.at(3).cells,
             (QList<Value>{Value::ofText("'O SOLE"), Value::ofText("''=x"), Value::ofText("@")}));

    // Not UTF-8: read as Latin-1.
    const sheet::Table latin = sheet::readSpreadsheet(writeText(dir, "l.csv", "CITT\xC0;X\n"));
    QCOMPARE(latin.rows.at(0).cells.at(0), Value::ofText(QStringLiteral("CITTÀ")));
}

void SpreadsheetFileTest::unreadableFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("damaged workbook") << QByteArray("PK\x03\x04 not really a zip")
                                      << "il file non è una cartella di lavoro Excel (.xlsx)";
    QTest::newRow("quote left open")
        << QByteArray("a;\"b\n") << "virgolette non chiuse nel campo che inizia alla riga 1";
}

void SpreadsheetFileTest::unreadableFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const sheet::Table table = sheet::readSpreadsheet(writeText(dir, "f", bytes));
    QCOMPARE(table.error, reason);
    QVERIFY(table.rows.isEmpty());
    QVERIFY(!sheet::readSpreadsheet(dir.filePath("missing.xlsx")).error.isEmpty());
}

QTEST_GUILESS_MAIN(SpreadsheetFileTest)
#include "tst_spreadsheet_file.moc"
