#include "shell/file_folders.h"
#include "spreadsheets/csv_writer.h"
#include "spreadsheets/table_export.h"
#include "spreadsheets/xlsx_writer.h"
#include "support/spreadsheet_files.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(ErrorKind)

using namespace table_export;

namespace {

// Rows from memory; optionally fails after a number of rows.
class ListRows : public RowSource {
public:
    explicit ListRows(QList<QVariantList> rows, int failAfter = -1)
        : rows_(std::move(rows)), failAfter_(failAfter) {}
    qint64 size() const override { return rows_.size(); }
    bool next(QVariantList& values) override {
        if (failAfter_ >= 0 && next_ == failAfter_) {
            error_ = QStringLiteral("disco staccato");
            return false;
        }
        if (next_ >= rows_.size())
            return false;
        values = rows_.at(next_++);
        return true;
    }
    QString error() const override { return error_; }

private:
    QList<QVariantList> rows_;
    int failAfter_;
    int next_ = 0;
    QString error_;
};

TableShape ledgerSpec() {
    return {QStringLiteral("Elenco Ritenute Versate"),
            {{QStringLiteral("Utente"), QStringLiteral("ROSSI MARIO")},
             {QStringLiteral("Anno"), QStringLiteral("2024")}},
            {{QStringLiteral("Soggetto"), CellKind::Text},
             {QStringLiteral("Data"), CellKind::Date},
             {QStringLiteral("Imponibile"), CellKind::Money, true},
             {QStringLiteral("%"), CellKind::Rate},
             {QStringLiteral("Ravv"), CellKind::Flag}}};
}

QList<QVariantList> ledgerRows() {
    return {
        {QStringLiteral("BIANCHI SRL"), QStringLiteral("2024-01-31"), 100000, 2000, "N"},
        {QStringLiteral("L'ARCA DELLA CITTÀ DI NOÈ"), QStringLiteral("2024-12-01"), 50, 450, "S"},
        {QStringLiteral("VERDI"), QVariant(), -2000, 2000, "N"}};
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

FileFormat formatNamed(const QString& name) {
    return name == u"xlsx" ? FileFormat::Xlsx : FileFormat::Csv;
}

} // namespace

class TableExportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void foldersPerKind();
    void xlsxCells_data();
    void xlsxCells();
    void xlsxSheet();
    void xlsxWithoutRows();
    void sheetName_data();
    void sheetName();
    void csvFields_data();
    void csvFields();
    void csvRoundTrip();
    void failureLeavesNoFile_data();
    void failureLeavesNoFile();
    void stopLeavesEarlierFile_data();
    void stopLeavesEarlierFile();
};

void TableExportTest::xlsxCells_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("numberFormat");
    QTest::addColumn<bool>("wrapped");
    const auto row = [](const char* tag, CellKind kind, QVariant stored, QString type,
                        QString value, QString format, bool wrapped = false) {
        QTest::newRow(tag) << int(kind) << stored << type << value << format << wrapped;
    };
    const QString money = QStringLiteral("#,##0.00");
    const QString date = QStringLiteral("dd/mm/yyyy");
    const QString general = QStringLiteral("General");
    const QString text = QStringLiteral("inlineStr");
    row("money", CellKind::Money, 123450, "", "1234.5", money);
    row("money as text of cents", CellKind::Money, "7", "", "0.07", money);
    row("negative money", CellKind::Money, -5, "", "-0.05", money);
    row("money column holding text", CellKind::Money, "abc", text, "abc", general);
    row("rate", CellKind::Rate, 2000, "", "20", general);
    row("fractional rate", CellKind::Rate, 450, "", "4.5", general);
    row("date", CellKind::Date, "2024-03-15", "", "45366", date);
    row("first day of Excel's calendar", CellKind::Date, "1900-03-01", "", "61", date);
    row("date before March 1900", CellKind::Date, "1899-05-01", text, "01/05/1899", general);
    row("malformed date", CellKind::Date, "31/02/2024", text, "31/02/2024", general);
    row("flag", CellKind::Flag, "S", text, "S", general);
    row("flag from a boolean", CellKind::Flag, true, text, "S", general);
    row("text like a formula stays text", CellKind::Text, "=SUM(A1)", text, "=SUM(A1)", general);
    row("text with accents", CellKind::Text, "CITTÀ", text, "CITTÀ", general);
    // Shown on its lines, not run together nor spilling over the row above.
    row("text on two lines", CellKind::Text, "VIA ROMA\nINT. 2", text, "VIA ROMA\nINT. 2", general,
        true);
}

void TableExportTest::xlsxCells() {
    QFETCH(int, kind);
    QFETCH(QVariant, stored);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cells.xlsx"));
    TableShape shape{QStringLiteral("Celle"), {}, {{QStringLiteral("Valore"), CellKind(kind)}}};
    ListRows rows({{stored}});
    const ExportResult written = exportTable(FileFormat::Xlsx, path, shape, rows);
    QVERIFY2(written.ok(), qPrintable(written.status.error()));
    const XlsxContents xlsx = readXlsx(path);
    QVERIFY2(xlsx.error.isEmpty(), qPrintable(xlsx.error));
    // Title on row 1, a blank row 2, the header on row 3, the value on row 4.
    QCOMPARE(xlsx.cells.value(QStringLiteral("A3")).value, QStringLiteral("Valore"));
    QVERIFY(xlsx.cells.contains(QStringLiteral("A4")));
    const SheetCell cell = xlsx.cells.value(QStringLiteral("A4"));
    QTEST(cell.type, "type");
    QFETCH(QString, value);
    if (cell.type.isEmpty()) // a number: the same double, however many digits spell it
        QCOMPARE(cell.value.toDouble(), value.toDouble());
    else
        QCOMPARE(cell.value, value);
    QTEST(cell.numberFormat, "numberFormat");
    QTEST(cell.wrapped, "wrapped");
    // A row of two lines is twice the default 15 points high, so that both show.
    QCOMPARE(xlsx.rowHeights.value(4, 15.0), cell.wrapped ? 30.0 : 15.0);
}

void TableExportTest::xlsxSheet() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("elenco.xlsx"));
    ListRows rows(ledgerRows() + QList<QVariantList>{
                                     {QVariant(), QVariant(), QVariant(), QVariant(), QVariant()}});
    const ExportResult written = exportTable(FileFormat::Xlsx, path, ledgerSpec(), rows);
    QVERIFY2(written.ok(), qPrintable(written.status.error()));
    QCOMPARE(written.rows, 4);
    const XlsxContents x = readXlsx(path);
    QVERIFY2(x.error.isEmpty(), qPrintable(x.error));
    QCOMPARE(x.sheetName, QStringLiteral("Elenco Ritenute Versate"));
    QCOMPARE(x.cells.value("A1").value, QStringLiteral("Elenco Ritenute Versate"));
    QCOMPARE(x.cells.value("A2").value, QStringLiteral("Utente"));
    QCOMPARE(x.cells.value("B2").value, QStringLiteral("ROSSI MARIO"));
    QCOMPARE(x.cells.value("B3").value, QStringLiteral("2024"));
    QVERIFY(!x.cells.contains("A4"));
    const QStringList header = {"Soggetto", "Data", "Imponibile", "%", "Ravv"};
    for (int c = 0; c < header.size(); ++c)
        QCOMPARE(x.cells.value(QChar(u'A' + c) + QStringLiteral("5")).value, header.at(c));
    QCOMPARE(x.frozenTopLeft, QStringLiteral("A6"));
    QCOMPARE(x.autoFilter, QStringLiteral("A5:E9"));
    QCOMPARE(x.cells.value("A7").value, QStringLiteral("L'ARCA DELLA CITTÀ DI NOÈ"));
    // An empty row is empty cells, not zeros or blank strings.
    for (const char* ref : {"A9", "B9", "C9", "D9", "E9", "B8"})
        QVERIFY2(!x.cells.contains(ref), ref);
    // The total is a formula over the rows above and carries its value for viewers that
    // do not calculate; the other columns have no total.
    QCOMPARE(x.cells.value("A10").value, QStringLiteral("Totale"));
    QCOMPARE(x.cells.value("C10").formula, QStringLiteral("SUM(C6:C9)"));
    QCOMPARE(x.cells.value("C10").value, QStringLiteral("980.5"));
    QCOMPARE(x.cells.value("C10").numberFormat, QStringLiteral("#,##0.00"));
    QVERIFY(!x.cells.contains("D10"));
    // Widths follow the longest text of a column; a short column keeps a usable width.
    QVERIFY2(x.columnWidths.value(0) >= 25, qPrintable(QString::number(x.columnWidths.value(0))));
    QVERIFY(x.columnWidths.value(0) < 40);
    QVERIFY(x.columnWidths.value(3) >= 3 && x.columnWidths.value(3) < 10);
    // The selection lines above the header do not widen the table's columns.
    QVERIFY2(x.columnWidths.value(1) < 12, qPrintable(QString::number(x.columnWidths.value(1))));
    QCOMPARE(x.properties.value("title"), QStringLiteral("Elenco Ritenute Versate"));
    QCOMPARE(x.properties.value("subject"), QStringLiteral("Utente: ROSSI MARIO, Anno: 2024"));
    QCOMPARE(x.properties.value("description"), QStringLiteral("Velarco " VELARCO_VERSION));
    QCOMPARE(x.properties.value("Programma"), QStringLiteral("Velarco"));
    QCOMPARE(x.properties.value("Versione"), QStringLiteral(VELARCO_VERSION));
}

void TableExportTest::xlsxWithoutRows() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.xlsx"));
    ListRows rows({});
    const ExportResult written = exportTable(FileFormat::Xlsx, path, ledgerSpec(), rows);
    QVERIFY2(written.ok(), qPrintable(written.status.error()));
    const XlsxContents x = readXlsx(path);
    QVERIFY2(x.error.isEmpty(), qPrintable(x.error));
    // The header on row 5 and nothing below it: a total there would be a sum taking in
    // its own cell.
    QCOMPARE(x.cells.value("C5").value, QStringLiteral("Imponibile"));
    QVERIFY(!x.cells.contains("A6"));
    QVERIFY(!x.cells.contains("C6"));
    QCOMPARE(x.autoFilter, QStringLiteral("A5:E5"));
}

void TableExportTest::sheetName_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "Anagrafe"
                           << "Anagrafe";
    QTest::newRow("blanks around") << " Elenco Ritenute in Scadenza "
                                   << "Elenco Ritenute in Scadenza";
    QTest::newRow("longer than 31") << "Elenco Generale Utenti ----- Ritenute Sospese"
                                    << "Elenco Generale Utenti ----- Ri";
    QTest::newRow("cut before a blank") << "Elenco Ritenute per Soggetti - Roma"
                                        << "Elenco Ritenute per Soggetti -";
    QTest::newRow("refused characters") << "A/B\\C?D*E[F]G:H"
                                        << "A B C D E F G H";
    QTest::newRow("apostrophes at the ends") << "'Fatture'"
                                             << "Fatture";
    QTest::newRow("apostrophe inside") << "Fatture dell'anno"
                                       << "Fatture dell'anno";
    QTest::newRow("nothing left") << "???"
                                  << "Foglio1";
}

void TableExportTest::sheetName() {
    QFETCH(QString, title);
    QTEST(XlsxWriter::sheetName(title), "name");
}

void TableExportTest::csvFields_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("field");
    const auto row = [](const char* tag, CellKind kind, QVariant stored, QString field) {
        QTest::newRow(tag) << int(kind) << stored << field;
    };
    row("money", CellKind::Money, 123450, "1234,50");
    row("small money", CellKind::Money, 5, "0,05");
    row("negative money is a number, not a formula", CellKind::Money, -120000, "-1200,00");
    row("zero", CellKind::Money, 0, "0,00");
    row("rate", CellKind::Rate, 2000, "20");
    row("fractional rate", CellKind::Rate, 450, "4,5");
    row("date", CellKind::Date, "2024-03-05", "05/03/2024");
    row("no date", CellKind::Date, QVariant(), "");
    row("flag", CellKind::Flag, "N", "N");
    row("separator", CellKind::Text, "ROSSI; BIANCHI", "\"ROSSI; BIANCHI\"");
    row("quotes", CellKind::Text, "DITTA \"IL SOLE\"", "\"DITTA \"\"IL SOLE\"\"\"");
    row("line break", CellKind::Text, "VIA ROMA\nINT. 2", "\"VIA ROMA\nINT. 2\"");
    row("apostrophe", CellKind::Text, "L'AQUILA", "L'AQUILA");
    row("accents", CellKind::Text, "CITTÀ", "CITTÀ");
    row("equals", CellKind::Text, "=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\"");
    row("plus", CellKind::Text, "+39 06", "'+39 06");
    row("minus", CellKind::Text, "-1+1", "'-1+1");
    row("at", CellKind::Text, "@SUM(1)", "'@SUM(1)");
    row("tab", CellKind::Text, "\tx", "'\tx");
    row("carriage return", CellKind::Text, "\rx", "\"'\rx\"");
    row("formula sign inside", CellKind::Text, "A=B", "A=B");
    row("text in a money column keeps its guard", CellKind::Money, "-x", "'-x");
}

void TableExportTest::csvFields() {
    QFETCH(int, kind);
    QFETCH(QVariant, stored);
    QTEST(CsvWriter::field(cellOf(CellKind(kind), stored), CellKind(kind)), "field");
}

void TableExportTest::csvRoundTrip() {
    const QStringList names = {
        QStringLiteral("L'ARCA SNC"),
        QStringLiteral("CITTÀ È PIÙ"),
        QStringLiteral("ROSSI; BIANCHI"),
        QStringLiteral("DITTA \"IL SOLE\""),
        QStringLiteral("VIA ROMA\r\nINT 2"),
        QStringLiteral("=1+2"),
        QStringLiteral("-MENO"),
        QStringLiteral("'GIÀ CITATO"),
        QStringLiteral(""),
    };
    QList<QVariantList> rows;
    for (const QString& name : names)
        rows.append({name, QStringLiteral("2024-02-29"), 12345, 2000, "S"});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nomi.csv"));
    ListRows source(rows);
    const ExportResult written = exportTable(FileFormat::Csv, path, ledgerSpec(), source);
    QVERIFY2(written.ok(), qPrintable(written.status.error()));
    const CsvContents csv = readCsv(path);
    QVERIFY2(csv.error.isEmpty(), qPrintable(csv.error));
    QVERIFY(csv.byteOrderMark);
    QVERIFY(csv.crlfOnly);
    QCOMPARE(csv.records.size(), 5 + names.size() + 1);
    QCOMPARE(csv.records.at(0), QStringList{"Elenco Ritenute Versate"});
    QCOMPARE(csv.records.at(1), (QStringList{"Utente", "ROSSI MARIO"}));
    QCOMPARE(csv.records.at(3), QStringList{""});
    QCOMPARE(csv.records.at(4), (QStringList{"Soggetto", "Data", "Imponibile", "%", "Ravv"}));
    for (int i = 0; i < names.size(); ++i) {
        const QStringList& record = csv.records.at(5 + i);
        QCOMPARE(record.size(), 5);
        QCOMPARE(unguarded(record.at(0)), names.at(i));
        QCOMPARE(record.mid(1), (QStringList{"29/02/2024", "123,45", "20", "S"}));
    }
    QCOMPARE(csv.records.last(), (QStringList{"Totale", "", "1111,05", "", ""}));
}

void TableExportTest::failureLeavesNoFile_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<ErrorKind>("kind");
    for (const char* format : {"xlsx", "csv"}) {
        QTest::addRow("%s missing folder", format)
            << format << "missing folder" << ErrorKind::NotFound;
        QTest::addRow("%s a folder's name", format) << format << "folder name" << ErrorKind::Failed;
        QTest::addRow("%s disk full", format) << format << "file size limit" << ErrorKind::DiskFull;
        QTest::addRow("%s read failure", format) << format << "read failure" << ErrorKind::Failed;
    }
}

void TableExportTest::failureLeavesNoFile() {
    QFETCH(QString, format);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("out.") + format);
    QList<QVariantList> many;
    for (int i = 0; i < 20000; ++i)
        many.append({QStringLiteral("SOGGETTO NUMERO %1 CON UN NOME LUNGO").arg(i),
                     QStringLiteral("2024-05-06"), i, 2000, "N"});
    ListRows rows(many, failure == u"read failure" ? 300 : -1);
    if (failure == u"missing folder")
        path = dir.filePath(QStringLiteral("manca/out.") + format);
    if (failure == u"folder name")
        QVERIFY(QDir(dir.path()).mkdir(QFileInfo(path).fileName()));

    // A disk that fills up: the process may write no file larger than 64 KiB.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const bool limit = failure == u"file size limit";
    if (limit) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 64 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    const QStringList before = filesIn(dir.path());
    const ExportResult written = exportTable(formatNamed(format), path, ledgerSpec(), rows);
    if (limit)
        setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY(!written.ok());
    QVERIFY(!written.cancelled);
    QFETCH(ErrorKind, kind);
    QVERIFY2(written.status.is(kind), qPrintable(written.status.error()));
    QCOMPARE(filesIn(dir.path()), before);
}

void TableExportTest::stopLeavesEarlierFile_data() {
    QTest::addColumn<QString>("format");
    QTest::newRow("xlsx") << "xlsx";
    QTest::newRow("csv") << "csv";
}

void TableExportTest::stopLeavesEarlierFile() {
    QFETCH(QString, format);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("elenco.") + format);
    QFile earlier(path);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier export");
    earlier.close();
    QList<QVariantList> many(2000, {QStringLiteral("ROSSI"), QVariant(), 100, 2000, "N"});
    ListRows rows(many);
    qint64 lastDone = 0;
    const ExportResult stopped =
        exportTable(formatNamed(format), path, ledgerSpec(), rows, [&](qint64 done, qint64 total) {
            lastDone = done;
            return total == 2000 && done < 1000;
        });
    QVERIFY(stopped.cancelled);
    QVERIFY(lastDone >= 1000 && lastDone < 2000);
    QCOMPARE(filesIn(dir.path()), QStringList{QFileInfo(path).fileName()});
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("earlier export"));
    earlier.close();

    // Run to the end, the export replaces the earlier file whole.
    ListRows again(many);
    QVERIFY(exportTable(formatNamed(format), path, ledgerSpec(), again).ok());
    QCOMPARE(filesIn(dir.path()), QStringList{QFileInfo(path).fileName()});
    QVERIFY(QFileInfo(path).size() > 1000);
}

// The file dialogs start where the last file of the same kind went, the documents
// folder before it or once that folder is gone.
void TableExportTest::foldersPerKind() {
    using file_folders::Kind;
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("settings"));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(file_folders::startFolder(Kind::Pdf), documents);
    QVERIFY(QDir(dir.path()).mkdir("pdf"));
    file_folders::remember(Kind::Pdf, dir.filePath("pdf/elenco.pdf"));
    file_folders::remember(Kind::Csv, QString());
    QCOMPARE(file_folders::startPath(Kind::Pdf, "a.pdf"), dir.filePath("pdf/a.pdf"));
    QCOMPARE(file_folders::startFolder(Kind::Csv), documents);
    QVERIFY(QDir(dir.filePath("pdf")).removeRecursively());
    QCOMPARE(file_folders::startFolder(Kind::Pdf), documents);
}

QTEST_GUILESS_MAIN(TableExportTest)
#include "tst_table_export.moc"
