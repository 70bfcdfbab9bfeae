#include "printing/report_document.h"
#include "printing/report_preview.h"
#include "printing/report_table.h"
#include "reports/report_catalogue.h"
#include "shell/scripted_message_boxes.h"
#include "support/spreadsheet_files.h"
#include "support/test_database.h"
#include "tax/due_date.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

using table_export::CellKind;

namespace {

const QStringList kRecordCaptions = {"Soggetto",   "Data",    "N.Ft",     "Pagata",
                                     "Scadenza",   "Periodo", "Tributo",  "Versamento",
                                     "Imponibile", "%",       "Ritenute", "Ravv"};
const QStringList kRemittanceCaptions = {"Interessi", "Sanzione", "Versato"};

} // namespace

class ReportTableTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void columns_data();
    void columns();
    void rowsAsPrinted_data();
    void rowsAsPrinted();
    void previewExports();

private:
    std::unique_ptr<TestDatabase> db_;
    qint64 user_ = 0;
};

void ReportTableTest::init() {
    db_ = std::make_unique<TestDatabase>();
    QVERIFY2(db_->ok(), qPrintable(db_->error()));
    user_ = TestDatabase::addSubject("ROSSI MARIO", true);
    TestDatabase::exec(
        "INSERT INTO Ritenute (denominazione, data, imponibile, aliquota, ritenuta, pag, periodo, "
        "versato, anno, utente, scadenza) "
        "VALUES ('ALFA', '2024-01-10', 100000, 2000, 20000, 'N', '3', 0, '2024', ?, '2024-06-16')",
        {QString::number(user_)});
    // Paid, never remitted and long past its due date: on the late list.
    TestDatabase::exec("INSERT INTO Ritenute (denominazione, FT, data, datap, imponibile, "
                       "aliquota, ritenuta, pag, periodo, tributo, anno, utente, scadenza) "
                       "VALUES ('BETA', '7', '2024-02-01', '2024-02-10', 50000, 2000, 10000, "
                       "'S', '2', '1040', '2024', ?, '2024-03-16')",
                       {QString::number(user_)});
}

void ReportTableTest::cleanup() {
    db_.reset();
}

void ReportTableTest::columns_data() {
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("totalled");
    QTest::addColumn<QStringList>("selection");
    const QStringList elenco = kRecordCaptions + QStringList{"Saldo"} + kRemittanceCaptions;
    const QStringList totals = {"Imponibile", "Ritenute", "Saldo",
                                "Interessi",  "Sanzione", "Versato"};
    const QStringList userYear = {"Utente: ROSSI MARIO", "Anno: 2024"};
    QTest::newRow("ElencoR") << "ElencoR"
                             << "Elenco Ritenute" << elenco << totals << userYear;
    QTest::newRow("RitenuteNV prints no balance")
        << "RitenuteNV"
        << "Elenco Ritenute Non Versate" << (kRecordCaptions + kRemittanceCaptions)
        << QStringList{"Imponibile", "Ritenute", "Interessi", "Sanzione", "Versato"} << userYear;
    QTest::newRow("RitenuteS") << "RitenuteS"
                               << "Elenco Ritenute in Scadenza" << elenco << totals
                               << (userYear + QStringList{"Scadenze dal mese: 5"});
    QTest::newRow("RicercaP") << "RicercaP"
                              << "Elenco Ritenute" << elenco << totals
                              << (userYear + QStringList{"Periodo: 3"});
    QTest::newRow("RicercaS") << "RicercaS"
                              << "Elenco Ritenute per Soggetti" << elenco << totals
                              << (userYear + QStringList{"Soggetto: AL%"});
    QTest::newRow("StampaS, the whole ledger")
        << "StampaS"
        << "Elenco Generale Utenti ----- Ritenute Sospese"
        << (kRecordCaptions + QStringList{"Utente", "Denominazione utente"} + kRemittanceCaptions)
        << QStringList{"Imponibile", "Ritenute", "Interessi", "Sanzione", "Versato"}
        << QStringList{};
    const QString today = tax::dayText(QDate::currentDate());
    QTest::newRow("RitenuteScadute")
        << "RitenuteScadute" << ("Ritenute scadute al " + today)
        << QStringList{"Soggetto", "N.Ft",     "Pagata",    "Tributo", "Ritenuta", "Scad. legale",
                       "Giorni",   "Sanzione", "Interessi", "Totale",  "Nota"}
        << QStringList{"Ritenuta", "Sanzione", "Interessi", "Totale"}
        << (userYear + QStringList{"Alla data: " + today});
    QTest::newRow("StampaScadute, every user")
        << "StampaScadute" << ("Ritenute scadute al " + today)
        << QStringList{"Soggetto", "N.Ft",     "Pagata",    "Tributo", "Ritenuta", "Scad. legale",
                       "Giorni",   "Sanzione", "Interessi", "Totale",  "Utente",   "Nota"}
        << QStringList{"Ritenuta", "Sanzione", "Interessi", "Totale"}
        << QStringList{"Alla data: " + today};
    QTest::newRow("Anagrafe") << "Anagrafe"
                              << "Anagrafica"
                              << QStringList{"Denominazione", "Indirizzo",    "Città",
                                             "C.A.P.",        "PR",           "Codice Fiscale",
                                             "Partita IVA",   "Data Nascita", "Luogo Nascita",
                                             "PR Nascita",    "Utente",       "Note"}
                              << QStringList{} << QStringList{};
}

void ReportTableTest::columns() {
    QFETCH(QString, report);
    ReportRequest request{report, QString::number(user_), {}, "2024", 5, "3", "AL%"};
    const Result<PreparedReport> prepared = prepareReport(request);
    QVERIFY2(prepared.ok(), qPrintable(prepared.error()));
    QCOMPARE(int(prepared.value.outcome), int(ReportOutcome::Ready));
    const table_export::TableShape shape = report::tableSpecOf(prepared.value.layout);
    QTEST(shape.title, "title");
    QStringList captions;
    QStringList totalled;
    for (const table_export::Column& column : shape.columns) {
        captions.append(column.caption);
        if (column.totalled)
            totalled.append(column.caption);
        // Every amount is a number, every date a date; the rest is text.
        const CellKind expected = QStringList{"Imponibile", "Ritenute", "Ritenuta", "Saldo",
                                              "Interessi",  "Sanzione", "Versato",  "Totale"}
                                          .contains(column.caption)
                                      ? CellKind::Money
                                  : column.caption == u"%" ? CellKind::Rate
                                  : QStringList{"Data",         "Pagata",     "Scadenza",
                                                "Scad. legale", "Versamento", "Data Nascita"}
                                          .contains(column.caption)
                                      ? CellKind::Date
                                      : CellKind::Text;
        QVERIFY2(column.kind == expected, qPrintable(column.caption));
    }
    QTEST(captions, "captions");
    QTEST(totalled, "totalled");
    QStringList selection;
    for (const auto& [label, value] : shape.selection)
        selection.append(label + ": " + value);
    QTEST(selection, "selection");
    QCOMPARE(report::tableColumnNames(prepared.value.layout).size(), shape.columns.size());
}

void ReportTableTest::rowsAsPrinted_data() {
    QTest::addColumn<QString>("report");
    QTest::addColumn<bool>("excel");
    for (const char* report : {"ElencoR", "StampaS", "Anagrafe"}) {
        QTest::addRow("%s to Excel", report) << report << true;
        QTest::addRow("%s to CSV", report) << report << false;
    }
}

void ReportTableTest::rowsAsPrinted() {
    QFETCH(QString, report);
    QFETCH(bool, excel);
    // Names that sort differently from their entry, one with the characters a file
    // format could trip on.
    const QStringList names = {"ZETA", "=UNO;\"DUE\"", "ALFA", "ALFA", "CITTÀ\nNUOVA"};
    for (int i = 0; i < names.size(); ++i) {
        TestDatabase::exec("INSERT INTO Ritenute (denominazione, imponibile, ritenuta, anno, "
                           "utente, scadenza) VALUES (?, ?, ?, '2024', ?, ?)",
                           {names.at(i), (i + 1) * 1000, i * 7, QString::number(user_),
                            QString("2024-0%1-16").arg(i + 1)});
        TestDatabase::addSubject(names.at(i));
    }
    ReportRequest request{report, QString::number(user_), {}, "2024", 0, {}, {}};
    const Result<PreparedReport> prepared = prepareReport(request);
    QVERIFY2(prepared.ok(), qPrintable(prepared.error()));
    report::RowSource& rows = *prepared.value.rows;
    const QString nameColumn = report == u"Anagrafe" ? "Denominazione" : "denominazione";
    QStringList printed;
    report::RowCursor cursor(rows, report::RowCursor::kDefaultWindowRows,
                             {rows.columnIndex(nameColumn)});
    while (cursor.next())
        printed.append(cursor.value(0).toString());
    QVERIFY(cursor.status().ok());
    const int rowCount = int(printed.size());

    QTemporaryDir dir;
    const auto format = excel ? table_export::FileFormat::Xlsx : table_export::FileFormat::Csv;
    const QString path = dir.filePath("report." + table_export::suffixOf(format));
    const Status written = exportReportAsTable(request, format, path);
    QVERIFY2(written.ok(), qPrintable(written.error()));

    const table_export::TableShape shape = report::tableSpecOf(prepared.value.layout);
    const int headerRow = int(shape.selection.size()) + 3; // counted from 1
    QStringList exported;
    QString totalFormula;
    if (excel) {
        const XlsxContents x = readXlsx(path);
        QVERIFY2(x.error.isEmpty(), qPrintable(x.error));
        for (int row = headerRow + 1; row <= headerRow + rowCount; ++row)
            exported.append(x.cells.value("A" + QString::number(row)).value);
        totalFormula = x.cells.value("I" + QString::number(headerRow + rowCount + 1)).formula;
    } else {
        const CsvContents csv = readCsv(path);
        QVERIFY2(csv.error.isEmpty(), qPrintable(csv.error));
        for (const QStringList& record : csv.records.mid(headerRow, rowCount))
            exported.append(unguarded(record.value(0)));
    }
    QCOMPARE(exported, printed);
    if (excel && report != u"Anagrafe")
        QCOMPARE(totalFormula,
                 QStringLiteral("SUM(I%1:I%2)").arg(headerRow + 1).arg(headerRow + rowCount));
}

void ReportTableTest::previewExports() {
    ReportRequest request{"ElencoR", QString::number(user_), {}, "2024", 0, {}, {}};
    const Result<PreparedReport> prepared = prepareReport(request);
    QVERIFY2(prepared.ok(), qPrintable(prepared.error()));
    report::ReportPreview preview(
        std::make_shared<report::ReportDocument>(prepared.value.layout, prepared.value.rows));
    auto* excel = preview.findChild<QAction*>("EsportaExcel");
    auto* csv = preview.findChild<QAction*>("EsportaCsv");
    QVERIFY(excel && csv && preview.findChild<QAction*>("EsportaPdf"));
    QCOMPARE(csv->text(), QStringLiteral("Esporta CSV..."));
    QVERIFY(!csv->isEnabled());
    preview.setTable(prepared.value.table);
    QVERIFY(excel->isEnabled() && csv->isEnabled());

    QTemporaryDir dir;
    ScriptedMessageBoxes boxes;
    preview.setMessageBoxes(&boxes);
    QString path = dir.filePath("elenco.csv");
    QString title;
    preview.setTablePathChooser([&](QWidget*, table_export::FileFormat, const QString& t) {
        title = t;
        return path;
    });
    csv->trigger();
    QCOMPARE(title, QStringLiteral("Elenco Ritenute"));
    QVERIFY2(boxes.shown().isEmpty(), qPrintable(boxes.texts().join('|')));
    const CsvContents written = readCsv(path);
    QCOMPARE(written.records.value(5).value(0), QStringLiteral("ALFA"));

    // A folder that cannot be written: the reason, and nothing after it.
    path = dir.filePath("manca/elenco.xlsx");
    excel->trigger();
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY2(boxes.last().text.contains("Esportazione Excel non riuscita") &&
                 boxes.last().text.contains("la cartella non esiste"),
             qPrintable(boxes.last().text));
}

QTEST_MAIN(ReportTableTest)
#include "tst_report_table.moc"
