#include "platform/report/report_table.h"
#include "reports/report_catalogue.h"
#include "support/test_database.h"

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
        const CellKind expected =
            QStringList{"Imponibile", "Ritenute", "Saldo", "Interessi", "Sanzione", "Versato"}
                    .contains(column.caption)
                ? CellKind::Money
            : column.caption == u"%" ? CellKind::Rate
            : QStringList{"Data", "Pagata", "Scadenza", "Versamento", "Data Nascita"}.contains(
                  column.caption)
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

QTEST_GUILESS_MAIN(ReportTableTest)
#include "tst_report_table.moc"
