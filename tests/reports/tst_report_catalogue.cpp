#include "ledger/ledger_grid_query.h"
#include "printing/keyed_row_source.h"
#include "printing/report_format.h"
#include "printing/report_renderer.h"
#include "registry/anagrafe_report.h"
#include "reports/elenco_ritenute.h"
#include "reports/report_catalogue.h"
#include "reports/report_options.h"
#include "store/connection.h"
#include "store/name_order.h"
#include "support/test_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using report::RenderedReport;

namespace {

const QDate kPrintDate(2024, 6, 30);
// The day the late-withholding lists are drawn up at.
const QDate kLateAt(2025, 2, 28);

// The ledger the tests read. Invoice numbers name the records in the expectations.
struct Fixture {
    qint64 rossi = 0;
    qint64 bianchi = 0;

    static void add(qint64 user, const QString& year, const QString& name, const QString& ft,
                    const QString& date, qint64 taxable, qint64 rate, qint64 withheld,
                    const QString& paid, const QVariant& paidOn, const QVariant& period,
                    const QVariant& remittedOn, const QString& late, qint64 remitted,
                    qint64 interest, qint64 penalty, const QVariant& due) {
        TestDatabase::exec(
            "INSERT INTO Ritenute (ID_A, denominazione, ordine, FT, data, imponibile, aliquota, "
            "ritenuta, altro, totale, pag, datap, periodo, versamento, ravv, versato, "
            "interessi, sanzione, tributo, anno, utente, scadenza) "
            "VALUES (1, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, '1040', ?, ?, ?)",
            {name, store::nameKey(name), ft, date, taxable, rate, withheld, taxable - withheld,
             paid, paidOn, period, remittedOn, late, remitted, interest, penalty, year,
             QString::number(user), due});
    }

    Fixture() {
        const QVariant none;
        rossi = TestDatabase::addSubject(QStringLiteral("ROSSI MARIO"), true);
        bianchi = TestDatabase::addSubject(QStringLiteral("BIANCHI ANNA"), true);
        TestDatabase::exec("UPDATE Soggetti SET indirizzo = 'VIA ROMA 1', citta = 'MILANO', "
                           "cap = '20100', pr = 'MI', datanascita = '1970-04-03', "
                           "luogo = 'PAVIA', prnascita = 'PV', partita = '01234567890', "
                           "note = 'nota' WHERE ID = ?",
                           {rossi});
        TestDatabase::addSubject(QStringLiteral("D'ANGELO SRL"));
        TestDatabase::addSubject(QStringLiteral("ALFA SPA"));
        const QString y = QStringLiteral("2024");
        // paid, remitted on time
        add(rossi, y, "ZETA SNC", "1", "2024-01-10", 100000, 2000, 20000, "S", "2024-02-05", "2",
            "2024-03-16", "N", 20000, 0, 0, "2024-03-16");
        // unpaid, nothing due yet
        add(rossi, y, "ALFA SPA", "2", "2024-02-01", 50000, 2000, 10000, "N", none, none, none, "N",
            0, 0, 0, none);
        // paid, not remitted
        add(rossi, y, "D'ANGELO SRL", "3", "2024-05-20", 123456, 2000, 24691, "S", "2024-06-10",
            "6", none, "N", 0, 0, 0, "2024-07-16");
        // paid, remitted late with interest and penalty
        add(rossi, y, "ALFA SPA", "4", "2024-01-15", 30000, 400, 1200, "S", "2024-11-30", "11",
            "2025-01-20", "S", 1300, 50, 50, "2024-12-16");
        // paid in December, due in January of the next year
        add(rossi, y, "D'ANGELO SRL", "5", "2024-12-20", 10000, 2000, 2000, "S", "2024-12-28", "12",
            none, "N", 0, 0, 0, "2025-01-16");
        // a paid flag that is neither "S" nor "N"
        add(rossi, y, "BETA", "6", "2024-03-01", 20000, 2000, 4000, "s", none, none, none, "N", 0,
            0, 0, none);
        // another year, another user, a user that is no subject
        add(rossi, "2023", "ZETA SNC", "OLD", "2023-04-01", 10000, 2000, 2000, "S", "2023-04-10",
            "4", none, "N", 0, 0, 0, "2023-05-16");
        add(bianchi, y, "ALFA SPA", "B1", "2024-07-01", 40000, 2000, 8000, "S", "2024-07-10", "7",
            none, "N", 0, 0, 0, "2024-08-16");
        add(999, y, "ORFANO", "X1", "2024-08-01", 10000, 2000, 2000, "S", "2024-08-05", "8", none,
            "N", 0, 0, 0, "2024-09-16");
    }

    ReportRequest request(const QString& name) const {
        ReportRequest r;
        r.name = name;
        r.userId = QString::number(rossi);
        r.year = QStringLiteral("2024");
        return r;
    }
};

// A column of the rows a report prints, walked two rows at a time so that every list
// crosses windows.
QStringList column(report::RowSource& rows, const QString& name) {
    QStringList values;
    report::RowCursor cursor(rows, 2, {rows.columnIndex(name)});
    while (cursor.next())
        values.append(cursor.value(0).toString());
    if (!cursor.status().ok())
        values.append(QStringLiteral("error: ") + cursor.status().error());
    return values;
}

RenderedReport rendered(const PreparedReport& prepared) {
    report::RenderOptions options;
    options.printDate = kPrintDate;
    return report::render(prepared.layout, prepared.rows, options);
}

// Found from the source folder the test environment names: __FILE__ may be relative to
// the build folder when the compiler cache rewrites paths.
QString referencePath(const QString& name) {
    const QString source = qEnvironmentVariable("VELARCO_SOURCE_DIR");
    const QDir folder = source.isEmpty() ? QFileInfo(QStringLiteral(__FILE__)).dir()
                                         : QDir(source + QStringLiteral("/tests/reports"));
    return folder.filePath(QStringLiteral("reference/") + name + QStringLiteral(".txt"));
}

QString runTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class ReportCatalogueTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void selection_data();
    void selection();
    void namesInItalianOrder();
    void headers_data();
    void headers();
    void noData_data();
    void noData();
    void balance();
    void generalListsNameTheUser();
    void subjectRegistry();
    void emptyRegistryStillPrints();
    void databaseErrorIsNotEmptiness();
    void rowsReadInWindows();
    void columnsReadApart_data();
    void columnsReadApart();
    void amountsAsTheGridShowsThem_data();
    void amountsAsTheGridShowsThem();
    void fractionOfACentInTotals();
    void reference_data();
    void reference();
    void pdfExport();
    void exportFailures();
    void options_data();
    void options();
};

void ReportCatalogueTest::selection_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("period");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QStringList>("invoices"); // FT of the rows, in report order

    const QString none;
    // Records of one name by date, then order of entry: the ledger grid's order.
    QTest::newRow("ElencoR name order")
        << "ElencoR" << 0 << none << none << QStringList{"4", "2", "6", "3", "5", "1"};
    QTest::newRow("FattureNP only N") << "FattureNP" << 0 << none << none << QStringList{"2"};
    QTest::newRow("FattureP only S")
        << "FattureP" << 0 << none << none << QStringList{"4", "3", "5", "1"};
    QTest::newRow("RitenuteNV no remittance date")
        << "RitenuteNV" << 0 << none << none << QStringList{"2", "6", "3", "5"};
    QTest::newRow("RitenuteV remittance date")
        << "RitenuteV" << 0 << none << none << QStringList{"4", "1"};
    QTest::newRow("StampaG nothing remitted, all users and years")
        << "StampaG" << 0 << none << none << QStringList{"2", "3", "5", "6", "OLD", "B1"};
    QTest::newRow("StampaS latest due first")
        << "StampaS" << 0 << none << none << QStringList{"5", "B1", "3", "OLD"};
    QTest::newRow("due from January: every due date")
        << "RitenuteS" << 1 << none << none << QStringList{"4", "3", "5", "1"};
    QTest::newRow("due from February")
        << "RitenuteS" << 2 << none << none << QStringList{"4", "3", "1"};
    QTest::newRow("due from July") << "RitenuteS" << 7 << none << none << QStringList{"4", "3"};
    QTest::newRow("due in December") << "RitenuteS" << 12 << none << none << QStringList{"4"};
    QTest::newRow("period 6") << "RicercaP" << 0 << "6" << none << QStringList{"3"};
    QTest::newRow("period 12") << "RicercaP" << 0 << "12" << none << QStringList{"5"};
    QTest::newRow("subject with apostrophe")
        << "RicercaS" << 0 << none << "D'ANGELO SRL" << QStringList{"3", "5"};
    QTest::newRow("subject ignores case")
        << "RicercaS" << 0 << none << "d'angelo srl" << QStringList{"3", "5"};
    QTest::newRow("subject pattern") << "RicercaS" << 0 << none << "ALFA%" << QStringList{"4", "2"};
    QTest::newRow("subject one-letter wildcard")
        << "RicercaS" << 0 << none << "_ETA" << QStringList{"6"};
    QTest::newRow("command names ignore case")
        << "fatturep" << 0 << none << none << QStringList{"4", "3", "5", "1"};
}

void ReportCatalogueTest::selection() {
    QFETCH(QString, name);
    QFETCH(int, month);
    QFETCH(QString, period);
    QFETCH(QString, subject);
    QFETCH(QStringList, invoices);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    ReportRequest request = fixture.request(name);
    request.month = month;
    request.period = period;
    request.subject = subject;
    const Result<PreparedReport> prepared = prepareReport(request);
    QVERIFY2(prepared.ok(), qPrintable(prepared.error()));
    QCOMPARE(prepared.value.outcome, ReportOutcome::Ready);
    QCOMPARE(column(*prepared.value.rows, QStringLiteral("FT")), invoices);
    // Every row reaches the pages, in the same order.
    const RenderedReport pages = rendered(prepared.value);
    QStringList printed;
    for (const report::RenderedPage& page : pages.pages) {
        for (const report::TextRun& t : page.texts) {
            // The invoice number: centred under "N.Ft" (the penalty below it is not).
            if (t.box.left() == prepared.value.layout.page.marginLeft + 5669 &&
                t.box.width() == 1125 && t.alignment.testFlag(Qt::AlignHCenter))
                printed.append(t.text);
        }
    }
    QCOMPARE(printed, invoices);
}

// Accented capitals beside their base letter, in the ledger lists and in the registry.
void ReportCatalogueTest::namesInItalianOrder() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    const QStringList written = {"ZETA SRL", "ÈRRE SNC", "ERRE SNC",
                                 "ÈRRE SAS", "ERRE SAS", "ÀNCORA SRL"};
    const QStringList ordered = {"ÀNCORA SRL", "ERRE SAS", "ÈRRE SAS",
                                 "ERRE SNC",   "ÈRRE SNC", "ZETA SRL"};
    qint64 user = 0;
    for (const QString& name : written) {
        const qint64 id = TestDatabase::addSubject(name, user == 0);
        user = user == 0 ? id : user;
        Fixture::add(user, "2024", name, name, "2024-01-10", 10000, 2000, 2000, "N", {}, {}, {},
                     "N", 0, 0, 0, {});
    }
    ReportRequest request;
    request.userId = QString::number(user);
    request.year = QStringLiteral("2024");
    for (const char* report : {"ElencoR", "FattureNP", "Anagrafe"}) {
        request.name = QString::fromLatin1(report);
        const Result<PreparedReport> prepared = prepareReport(request);
        QVERIFY2(prepared.ok(), qPrintable(prepared.error()));
        QCOMPARE(column(*prepared.value.rows, QStringLiteral("denominazione")), ordered);
    }
}

void ReportCatalogueTest::headers_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("userAndYear");
    QTest::addColumn<bool>("balanceShown");

    QTest::newRow("ElencoR") << "ElencoR"
                             << "Elenco Ritenute " << true << true;
    QTest::newRow("FattureNP") << "FattureNP"
                               << "Elenco Fatture Non Pagate" << true << true;
    QTest::newRow("FattureP") << "FattureP"
                              << "Elenco Fatture Pagate" << true << true;
    QTest::newRow("RitenuteNV") << "RitenuteNV"
                                << "Elenco Ritenute Non Versate" << true << false;
    QTest::newRow("RitenuteV") << "RitenuteV"
                               << "Elenco Ritenute Versate" << true << true;
    QTest::newRow("StampaG") << "StampaG"
                             << "Elenco Generale Utenti ----- Ritenute Sospese" << false << false;
    QTest::newRow("StampaS") << "StampaS"
                             << "Elenco Generale Utenti ----- Ritenute Sospese" << false << false;
    QTest::newRow("RitenuteS") << "RitenuteS"
                               << "Elenco Ritenute in Scadenza " << true << true;
    QTest::newRow("RicercaP") << "RicercaP"
                              << "Elenco Ritenute " << true << true;
    QTest::newRow("RicercaS") << "RicercaS"
                              << "Elenco Ritenute per Soggetti " << true << true;
}

void ReportCatalogueTest::headers() {
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(bool, userAndYear);
    QFETCH(bool, balanceShown);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    ReportRequest request = fixture.request(name);
    request.month = 1;
    request.period = QStringLiteral("6");
    request.subject = QStringLiteral("D'ANGELO SRL");
    const Result<PreparedReport> prepared = prepareReport(request);
    QVERIFY2(prepared.ok(), qPrintable(prepared.error()));
    const PreparedReport& p = prepared.value;
    QCOMPARE(p.layout.name,
             userAndYear ? QStringLiteral("ElencoRitenute") : QStringLiteral("ElencoRitenuteG"));
    QCOMPARE(p.layout.caption, title.trimmed());
    const RenderedReport pages = rendered(p);
    const QStringList first = report::pageTexts(pages.pages.first());
    QVERIFY2(first.contains(title), qPrintable(first.join('|')));
    QCOMPARE(first.first(), QStringLiteral("30/06/2024"));
    if (userAndYear) {
        QVERIFY(first.contains(QStringLiteral("ROSSI MARIO")));
        QVERIFY(first.contains(QStringLiteral("2024")));
    }

    QCOMPARE(first.contains(QStringLiteral("Utente :")), userAndYear);
    for (const char* caption : {"Soggetto", "Data", "N.Ft", "Pagata", "scadenza", "Periodo",
                                "Tributo", "Versamento", "Imponibile", "%", "Ritenute", "Ravv"})
        QVERIFY2(first.contains(QLatin1String(caption)), caption);
    // The balance of each record: shown, hidden (RitenuteNV), or absent (general lists);
    // its caption and its total stay wherever the layout has them.
    const report::ReportItem* balance = p.layout.findItem(elenco_ritenute::kBalance);
    QCOMPARE(balance != nullptr, userAndYear);
    if (balance)
        QCOMPARE(balance->visible, balanceShown);
    const QStringList last = report::pageTexts(pages.pages.last());
    QCOMPARE(last.contains(QStringLiteral("Saldo")), userAndYear);
    QCOMPARE(last.filter(QStringLiteral("Pagina 1  di 1")).size(), 1);
    // A later run starts from the layout's defaults again.
    QCOMPARE(ElencoRitenute().findItem(elenco_ritenute::kTitle)->text,
             QStringLiteral("Elenco Ritenute "));
}

void ReportCatalogueTest::noData_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("user");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("period");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<int>("outcome");

    const int noData = int(ReportOutcome::NoData), noDate = int(ReportOutcome::NoDate),
              ready = int(ReportOutcome::Ready);
    const QString none;
    for (const char* name :
         {"FattureNP", "FattureP", "RitenuteNV", "RitenuteV", "RitenuteS", "RicercaP", "RicercaS"})
        QTest::newRow(name) << name << "empty" << 1 << "6"
                            << "D'ANGELO SRL" << noData;
    QTest::newRow("ElencoR previews an empty list") << "ElencoR"
                                                    << "empty" << 0 << none << none << ready;
    QTest::newRow("no date entered") << "RitenuteS"
                                     << "rossi" << 0 << none << none << noDate;
    QTest::newRow("month out of range") << "RitenuteS"
                                        << "rossi" << 13 << none << none << noDate;
    QTest::newRow("no period chosen") << "RicercaP"
                                      << "rossi" << 0 << none << none << noData;
    QTest::newRow("period not used") << "RicercaP"
                                     << "rossi" << 0 << "1" << none << noData;
    QTest::newRow("subject without wildcard is whole name")
        << "RicercaS"
        << "rossi" << 0 << none << "ALFA" << noData;
}

void ReportCatalogueTest::noData() {
    QFETCH(QString, name);
    QFETCH(QString, user);
    QFETCH(int, month);
    QFETCH(QString, period);
    QFETCH(QString, subject);
    QFETCH(int, outcome);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    const qint64 empty = TestDatabase::addSubject(QStringLiteral("VERDI"), true);
    ReportRequest request = fixture.request(name);
    if (user == QLatin1String("empty"))
        request.userId = QString::number(empty);
    request.month = month;
    request.period = period;
    request.subject = subject;
    const Result<PreparedReport> prepared = prepareReport(request);
    QVERIFY2(prepared.ok(), qPrintable(prepared.error()));
    const PreparedReport& p = prepared.value;
    QCOMPARE(int(p.outcome), outcome);
    switch (ReportOutcome(outcome)) {
    case ReportOutcome::NoData:
        QCOMPARE(p.messageText, QStringLiteral(" Attenzione non ci sono dati  ! "));
        QCOMPARE(p.messageTitle, QStringLiteral(" Velarco- ERRORE "));
        break;
    case ReportOutcome::NoDate:
        QCOMPARE(p.messageText, QStringLiteral(" Attenzione , deve essere inserita una Data  ! "));
        QCOMPARE(p.messageTitle, QStringLiteral(" Velarco- ERRORE BLOCCANTE"));
        break;
    case ReportOutcome::Ready: {
        // The empty list still prints its headers, zero totals and the page number.
        const RenderedReport pages = rendered(p);
        QCOMPARE(pages.pageCount(), 1);
        const QStringList texts = report::pageTexts(pages.pages.first());
        QVERIFY(texts.contains(QStringLiteral("VERDI")));
        QCOMPARE(texts.filter(QStringLiteral("0,00")).size(), 6);
        QVERIFY(texts.contains(QStringLiteral("Pagina 1  di 1")));
        break;
    }
    }
}

void ReportCatalogueTest::balance() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    const Result<PreparedReport> prepared = prepareReport(fixture.request("ElencoR"));
    QVERIFY(prepared.ok());
    report::RowSource& data = *prepared.value.rows;
    // versato - (ritenuta + interessi + sanzione), in cents, per row in report order.
    QCOMPARE(column(data, QStringLiteral("saldo")),
             (QStringList{"0", "-10000", "-4000", "-24691", "-2000", "0"}));
    const QStringList last = report::pageTexts(rendered(prepared.value).pages.last());
    // Footer totals: count, taxable, withheld, remitted, interest, penalty, balance.
    for (const char* total : {"6", "3.334,56", "618,91", "213,00", "0,50", "-406,91"})
        QVERIFY2(last.contains(QLatin1String(total)), qPrintable(total + last.join('|')));
    QVERIFY(last.contains(QStringLiteral("-246,91"))); // record 3's own balance

    // RitenuteNV hides each record's balance but keeps its caption and the total.
    const Result<PreparedReport> nv = prepareReport(fixture.request("RitenuteNV"));
    QVERIFY(nv.ok());
    const RenderedReport pages = rendered(nv.value);
    const QStringList texts = report::pageTexts(pages.pages.last());
    QVERIFY(!texts.contains(QStringLiteral("-246,91")));
    QCOMPARE(texts.filter(QStringLiteral("Saldo")).size(), 4 + 1);
    QVERIFY(texts.contains(QStringLiteral("-406,91")));
}

void ReportCatalogueTest::generalListsNameTheUser() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    const Result<PreparedReport> prepared = prepareReport(fixture.request("StampaG"));
    QVERIFY(prepared.ok());
    report::RowSource& data = *prepared.value.rows;
    QCOMPARE(column(data, QStringLiteral("Soggetti_Denominazione")),
             (QStringList{"ROSSI MARIO", "ROSSI MARIO", "ROSSI MARIO", "ROSSI MARIO", "ROSSI MARIO",
                          "BIANCHI ANNA"}));
    // The record's own subject name stays under its own column name.
    QCOMPARE(column(data, QStringLiteral("denominazione")).last(), QStringLiteral("ALFA SPA"));
    const QStringList texts = report::pageTexts(rendered(prepared.value).pages.first());
    QVERIFY(texts.contains(QString::number(fixture.bianchi)));
    QVERIFY(texts.contains(QStringLiteral("BIANCHI ANNA")));
    QVERIFY(!texts.contains(QStringLiteral("Saldo")));
}

void ReportCatalogueTest::subjectRegistry() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    ReportRequest request;
    request.name = QStringLiteral("Elenco");
    const Result<PreparedReport> prepared = prepareReport(request);
    QVERIFY2(prepared.ok(), qPrintable(prepared.error()));
    QCOMPARE(prepared.value.layout.name, QStringLiteral("Anagrafe"));
    QCOMPARE(prepared.value.layout.caption, QStringLiteral("Anagrafica"));
    QCOMPARE(column(*prepared.value.rows, QStringLiteral("denominazione")),
             (QStringList{"ALFA SPA", "BIANCHI ANNA", "D'ANGELO SRL", "ROSSI MARIO"}));
    const RenderedReport pages = rendered(prepared.value);
    QCOMPARE(pages.pageCount(), 1);
    QVERIFY(pages.landscape);
    const QStringList texts = report::pageTexts(pages.pages.first());
    for (const char* text :
         {"Elenco Anagrafica", "30/06/2024", "Codice Ficale", "Città", "VIA ROMA 1", "03/04/1970",
          "PAVIA", "PV", "01234567890", "nota", "Pagina 1 di 1"})
        QVERIFY2(texts.contains(QString::fromUtf8(text)), text);
    // Users and others alike, with their flag; the ID does not print over the name.
    QCOMPARE(texts.count(QStringLiteral("S")), 2);
    QCOMPARE(texts.count(QStringLiteral("N")), 2);
    QVERIFY(!texts.contains(QString::number(fixture.rossi)));
    QCOMPARE(texts.count(QStringLiteral("Data Nascita")), 4);
}

void ReportCatalogueTest::emptyRegistryStillPrints() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    ReportRequest request;
    request.name = QStringLiteral("Anagrafe");
    const Result<PreparedReport> prepared = prepareReport(request);
    QVERIFY2(prepared.ok(), qPrintable(prepared.error()));
    QCOMPARE(prepared.value.outcome, ReportOutcome::Ready);
    const QStringList texts = report::pageTexts(rendered(prepared.value).pages.first());
    QVERIFY(texts.contains(QStringLiteral("Elenco Anagrafica")));
    QVERIFY(texts.contains(QStringLiteral("Partita IVA")));
    QVERIFY(texts.contains(QStringLiteral("Pagina 1 di 1")));
    QVERIFY(!texts.contains(QStringLiteral("Data Nascita")));
}

void ReportCatalogueTest::databaseErrorIsNotEmptiness() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    TestDatabase::exec(QStringLiteral("DROP TABLE Ritenute"));
    for (const char* name : {"ElencoR", "FattureP", "StampaG", "RicercaS"}) {
        ReportRequest request = fixture.request(name);
        request.subject = QStringLiteral("%");
        const Result<PreparedReport> prepared = prepareReport(request);
        QVERIFY2(!prepared.ok(), name);
        QVERIFY2(prepared.error().contains(QStringLiteral("Ritenute")),
                 qPrintable(prepared.error()));
    }
}

// A list longer than one read: the rows come in the order of the query, and a record
// deleted after the list was prepared reads as empty, never as another record.
void ReportCatalogueTest::rowsReadInWindows() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    for (int i = 0; i < 600; ++i)
        Fixture::add(fixture.rossi, QStringLiteral("2024"),
                     QStringLiteral("NOME %1").arg((i * 7919) % 600, 3, 10, QLatin1Char('0')),
                     QStringLiteral("W%1").arg(i), "2024-01-10", 100, 2000, 20, "N", {}, {}, {},
                     "N", 0, 0, 0, {});
    Result<PreparedReport> prepared = prepareReport(fixture.request("ElencoR"));
    QVERIFY2(prepared.ok(), qPrintable(prepared.error()));
    Result<QSqlQuery> expected =
        store::run(QStringLiteral("SELECT FT FROM Ritenute WHERE anno = '2024' AND utente = ? "
                                  "ORDER BY denominazione, data, ID"),
                   {fixture.rossi});
    QStringList invoices;
    while (expected.value.next())
        invoices.append(expected.value.value(0).toString());
    QCOMPARE(invoices.size(), 606);
    report::RowSource& rows = *prepared.value.rows;
    QCOMPARE(rows.rowCount(), qint64(606));
    QCOMPARE(column(rows, QStringLiteral("FT")), invoices);

    TestDatabase::exec("DELETE FROM Ritenute WHERE FT = ?", {invoices.at(300)});
    invoices[300].clear();
    report::RowCursor cursor(rows, 500, {rows.columnIndex(QStringLiteral("FT"))});
    QStringList after;
    while (cursor.next())
        after.append(cursor.value(0).toString());
    QCOMPARE(after, invoices);
}

void ReportCatalogueTest::columnsReadApart_data() {
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QStringList>("picked");
    const QString balance =
        QStringLiteral("Ritenute.*, (Ritenute.versato - Ritenute.ritenuta) AS resto");
    QTest::newRow("a computed column and two of the table, in another order")
        << balance << QStringList{"resto", "FT", "ritenuta"};
    QTest::newRow("one column") << balance << QStringList{"datap"};
    QTest::newRow("a name the result holds twice: read with the whole row")
        << QStringLiteral("Ritenute.*, Ritenute.FT") << QStringList{"ritenuta", "FT"};
}

// The columns a report reads, alone and in its order, hold the values of the whole
// row's columns of those names, row by row across windows.
void ReportCatalogueTest::columnsReadApart() {
    QFETCH(QString, columns);
    QFETCH(QStringList, picked);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    const KeyedQuery query{QStringLiteral("Ritenute"),
                           QStringLiteral("ID"),
                           columns,
                           QStringLiteral("Ritenute.utente = ?"),
                           QStringLiteral("FT, ID"),
                           {QString::number(fixture.rossi)}};
    const auto rows = report::KeyedRowSource::open(query);
    QVERIFY2(rows.ok(), qPrintable(rows.error()));
    QList<int> positions;
    for (const QString& name : picked)
        positions.append(rows.value->columnIndex(name));
    QVERIFY(!positions.contains(-1));
    report::RowCursor whole(*rows.value, 2);
    report::RowCursor apart(*rows.value, 2, positions);
    int read = 0;
    while (whole.next()) {
        QVERIFY(apart.next());
        for (int c = 0; c < positions.size(); ++c)
            QCOMPARE(apart.value(c), whole.value(positions.at(c)));
        ++read;
    }
    QVERIFY(!apart.next());
    QVERIFY(apart.status().ok());
    QCOMPARE(read, 7);
}

void ReportCatalogueTest::amountsAsTheGridShowsThem_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("cents") << QVariant(qint64(123456));
    QTest::newRow("123,456 euros") << QVariant(12345.6);
    QTest::newRow("half a cent") << QVariant(12.5);
    QTest::newRow("negative half a cent") << QVariant(-12.5);
    QTest::newRow("a thousandth of a cent") << QVariant(0.001);
    QTest::newRow("whole real") << QVariant(2500.0);
    QTest::newRow("empty") << QVariant();
}

// A stored amount prints in the reports as the ledger grid shows it.
void ReportCatalogueTest::amountsAsTheGridShowsThem() {
    QFETCH(QVariant, stored);
    QCOMPARE(report::formatValue(stored, report::Format::Money),
             ledger::cellText(ledger::CellFormat::Money, stored));
}

// Amounts with a fraction of a cent, stored by an older program, print rounded and
// their totals are summed exactly, then rounded once.
void ReportCatalogueTest::fractionOfACentInTotals() {
    if (TestDatabase::onServer())
        QSKIP("a server's bigint amount columns hold no fraction of a cent");
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    TestDatabase::exec("UPDATE Ritenute SET imponibile = 12345.6, ritenuta = 0.5 WHERE FT = '2'");
    TestDatabase::exec("UPDATE Ritenute SET ritenuta = 0.5 WHERE FT = '6'");
    const Result<PreparedReport> prepared = prepareReport(fixture.request("ElencoR"));
    QVERIFY2(prepared.ok(), qPrintable(prepared.error()));
    const QStringList texts = report::pageTexts(rendered(prepared.value).pages.last());
    QVERIFY2(texts.contains(QStringLiteral("123,46")), qPrintable(texts.join('|')));
    // Taxable: 1.000,00 + 123,456 + 1.234,56 + 300,00 + 100,00 + 200,00.
    QVERIFY2(texts.contains(QStringLiteral("2.958,02")), qPrintable(texts.join('|')));
    // Withheld: 200,00 + 0,005 + 246,91 + 12,00 + 20,00 + 0,005, the halves added first.
    QVERIFY2(texts.contains(QStringLiteral("478,92")), qPrintable(texts.join('|')));
    // Each half cent, and each record's balance, printed as the grid shows it.
    QCOMPARE(texts.count(QStringLiteral("0,01")), 2);
    QCOMPARE(texts.count(QStringLiteral("-0,01")), 2);
}

void ReportCatalogueTest::reference_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("period");
    QTest::addColumn<QString>("subject");
    const QString none;
    for (const char* name : {"ElencoR", "FattureNP", "FattureP", "RitenuteNV", "RitenuteV",
                             "StampaG", "StampaS", "Elenco"})
        QTest::newRow(name) << name << 0 << none << none;
    QTest::newRow("RitenuteS") << "RitenuteS" << 2 << none << none;
    QTest::newRow("RicercaP") << "RicercaP" << 0 << "6" << none;
    QTest::newRow("RicercaS") << "RicercaS" << 0 << none << "D'ANGELO SRL";
    QTest::newRow("RitenuteScadute") << "RitenuteScadute" << 0 << none << none;
    QTest::newRow("StampaScadute") << "StampaScadute" << 0 << none << none;
}

// Each catalogue report rendered from the fixture, line by line, so that any change to
// a layout, a selection or a format shows up as a diff. Set VELARCO_UPDATE_REFERENCE=1 to
// write the files afresh after a deliberate change.
void ReportCatalogueTest::reference() {
    QFETCH(QString, name);
    QFETCH(int, month);
    QFETCH(QString, period);
    QFETCH(QString, subject);
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    ReportRequest request = fixture.request(name);
    request.month = month;
    request.period = period;
    request.subject = subject;
    request.at = kLateAt;
    const Result<PreparedReport> prepared = prepareReport(request);
    QVERIFY2(prepared.ok(), qPrintable(prepared.error()));

    const QString dump = report::textDump(rendered(prepared.value));
    const QString path = referencePath(name);
    if (qEnvironmentVariableIntValue("VELARCO_UPDATE_REFERENCE") == 1) {
        QFile out(path);
        QVERIFY2(out.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
        out.write(dump.toUtf8());
        return;
    }
    QFile in(path);
    QVERIFY2(in.open(QIODevice::ReadOnly),
             qPrintable(path + QStringLiteral(" missing; run with VELARCO_UPDATE_REFERENCE=1")));
    const QStringList expected = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    const QStringList actual = dump.split(QLatin1Char('\n'));
    for (int i = 0; i < std::min(expected.size(), actual.size()); ++i)
        QCOMPARE(actual.at(i), expected.at(i));
    QCOMPARE(actual.size(), expected.size());
}

void ReportCatalogueTest::pdfExport() {
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdfinfo.isEmpty() || pdftotext.isEmpty())
        QSKIP("poppler-utils not installed");
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fatture pagate.pdf"));
    const Status s = exportReport(fixture.request("FattureP"), path, kPrintDate);
    QVERIFY2(s.ok(), qPrintable(s.error()));

    const QString info = runTool(pdfinfo, {path});
    QVERIFY2(info.contains(QRegularExpression(
                 QStringLiteral("Page size:\\s+(841\\.89|842) x 595(\\.\\d+)? pts \\(A4\\)"))),
             qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("Elenco Fatture Pagate")), qPrintable(info));

    const QString text = runTool(pdftotext, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    for (const char* expected : {"Elenco Fatture Pagate", "ROSSI MARIO", "D'ANGELO SRL", "1.234,56",
                                 "16/12/2024", "Pagina 1 di 1", "30/06/2024"}) {
        QString wanted = QString::fromUtf8(expected);
        QVERIFY2(text.simplified().contains(wanted.simplified()),
                 qPrintable(wanted + QStringLiteral(" not in:\n") + text));
    }
}

void ReportCatalogueTest::exportFailures() {
    TestDatabase db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    Fixture fixture;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vuoto.pdf"));
    ReportRequest request = fixture.request("RicercaP");
    request.period = QStringLiteral("1");
    Status s = exportReport(request, path);
    QVERIFY(!s.ok());
    QCOMPARE(s.kind(), ErrorKind::NothingToPrint);
    QVERIFY(!QFile::exists(path));

    request.name = QStringLiteral("Sconosciuta");
    QVERIFY(!exportReport(request, path).ok());

    s = exportReport(fixture.request("ElencoR"), dir.filePath(QStringLiteral("no/dir/x.pdf")));
    QVERIFY(!s.ok());
    QVERIFY(!s.error().isEmpty());
}

using OptionValues = QHash<QString, QString>;

void ReportCatalogueTest::options_data() {
    QTest::addColumn<OptionValues>("values");
    QTest::addColumn<QString>("error"); // a part of the message, empty when sound
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("pdf");

    const QString none;
    // "report=ElencoR pdf=out.pdf": the values as the command line hands them over.
    auto values = [](const char* line) {
        OptionValues given;
        for (const QString& pair : QString::fromUtf8(line).split(QLatin1Char(' ')))
            given.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        return given;
    };
    QTest::newRow("full list") << values("report=ElencoR utente=3 anno=2024 pdf=out.pdf") << none
                               << "ElencoR" << 0 << none << "out.pdf";
    QTest::newRow("due month") << values("report=RitenuteS utente=3 anno=2024 mese=5 pdf=a.pdf")
                               << none << "RitenuteS" << 5 << none << "a.pdf";
    auto subject = values("report=RicercaS utente=3 anno=2024 pdf=s.pdf");
    subject.insert(QStringLiteral("soggetto"), QStringLiteral("D'ANGELO SRL"));
    QTest::newRow("subject keeps its text") << subject << none << "RicercaS" << 0 << "D'ANGELO SRL"
                                            << "s.pdf";
    QTest::newRow("general list needs no user")
        << values("report=StampaS pdf=g.pdf") << none << "StampaS" << 0 << none << "g.pdf";
    QTest::newRow("registry") << values("report=Anagrafe pdf=r.pdf") << none << "Anagrafe" << 0
                              << none << "r.pdf";
    QTest::newRow("unknown report") << values("report=Nulla pdf=x.pdf")
                                    << "Stampa sconosciuta: Nulla" << none << 0 << none << none;
    QTest::newRow("missing pdf") << values("report=StampaG") << "--pdf" << none << 0 << none
                                 << none;
    QTest::newRow("missing user") << values("report=FattureP anno=2024 pdf=x.pdf") << "--utente"
                                  << none << 0 << none << none;
    QTest::newRow("user not a number") << values("report=FattureP utente=ROSSI anno=2024 pdf=x.pdf")
                                       << "Utente non valido" << none << 0 << none << none;
    QTest::newRow("missing year") << values("report=FattureP utente=3 pdf=x.pdf") << "--anno"
                                  << none << 0 << none << none;
    QTest::newRow("bad year") << values("report=FattureP utente=3 anno=24 pdf=x.pdf")
                              << "Anno non valido" << none << 0 << none << none;
    QTest::newRow("search without its input")
        << values("report=RicercaP utente=3 anno=2024 pdf=x.pdf") << "--periodo" << none << 0
        << none << none;
    QTest::newRow("month out of range")
        << values("report=RitenuteS utente=3 anno=2024 mese=13 pdf=x.pdf") << "Mese non valido"
        << none << 0 << none << none;
    QTest::newRow("month not a number")
        << values("report=RitenuteS utente=3 anno=2024 mese=maggio pdf=x.pdf") << "Mese non valido"
        << none << 0 << none << none;
    QTest::newRow("certification, CSV only")
        << values("report=Attestazione utente=3 anno=2024 csv=a.csv") << none << "Attestazione" << 0
        << none << none;
    auto payees = values("report=Attestazione utente=3 anno=2024 pdf=a.pdf");
    payees.insert(QStringLiteral("soggetto"), QStringLiteral("ROSSI%"));
    QTest::newRow("certification of some payees")
        << payees << none << "Attestazione" << 0 << "ROSSI%"
        << "a.pdf";
    QTest::newRow("certification without a file")
        << values("report=Attestazione utente=3 anno=2024") << "--pdf, --xlsx o --csv" << none << 0
        << none << none;
    QTest::newRow("F24 plan") << values("report=F24 utente=3 anno=2025 mese=1 pdf=f.pdf") << none
                              << "F24" << 1 << none << "f.pdf";
    QTest::newRow("general F24 plan needs a year")
        << values("report=F24G mese=1 pdf=f.pdf") << "--anno" << none << 0 << none << none;
    QTest::newRow("general F24 plan takes no user")
        << values("report=F24G utente=3 anno=2025 mese=1 pdf=f.pdf") << "--utente non vale" << none
        << 0 << none << none;
    QTest::newRow("F24 plan without its month") << values("report=F24 utente=3 anno=2025 pdf=f.pdf")
                                                << "--mese" << none << 0 << none << none;
    QTest::newRow("table of a list, no PDF")
        << values("report=ElencoR utente=3 anno=2025 xlsx=e.xlsx csv=e.csv") << none << "ElencoR"
        << 0 << none << none;
    QTest::newRow("F24 plan as a table")
        << values("report=F24G anno=2025 mese=1 csv=f.csv") << none << "F24G" << 1 << none << none;
    QTest::newRow("input of another search")
        << values("report=FattureP utente=3 anno=2024 mese=5 pdf=x.pdf") << "--mese non vale"
        << none << 0 << none << none;
}

void ReportCatalogueTest::options() {
    QFETCH(OptionValues, values);
    QFETCH(QString, error);
    QFETCH(QString, name);
    QFETCH(int, month);
    QFETCH(QString, subject);
    QFETCH(QString, pdf);
    const ReportOptions o = readReportOptions(values);
    if (!error.isEmpty()) {
        QVERIFY2(o.error.contains(error), qPrintable(o.error));
        return;
    }
    QVERIFY2(o.error.isEmpty(), qPrintable(o.error));
    QCOMPARE(o.request.name, name);
    QCOMPARE(o.request.month, month);
    QCOMPARE(o.request.subject, subject);
    QCOMPARE(o.pdfPath, pdf);
}

QTEST_MAIN(ReportCatalogueTest)
#include "tst_report_catalogue.moc"
