#include "importing/record_fields.h"
#include "importing/sheet_import.h"
#include "importing/sheet_values.h"
#include "spreadsheets/spreadsheet_file.h"
#include "store/connection.h"
#include "support/test_database.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using importing::RecordField;
using importing::RowVerdict;
using sheet::Value;

Q_DECLARE_METATYPE(std::optional<RecordField>)
Q_DECLARE_METATYPE(sheet::Value)
Q_DECLARE_METATYPE(importing::RowVerdict)

namespace {

const QDate kToday(2026, 12, 8);
const QString kHeader =
    QStringLiteral("denominazione;FT;data;imponibile;aliquota;ritenuta;altro;pag;datap;"
                   "versamento;ravv;versato;interessi;sanzione;tributo");
// A good record of 2021: paid, remitted, withheld 20% of 1.000,00.
const QString kGoodRow = QStringLiteral(
    "ALFA SRL;1;15/03/2021;1.000,00;20;200,00;0;S;20/03/2021;16/04/2021;N;200,00;0;0;1040");

sheet::Table tableOf(const QStringList& lines) {
    sheet::Table table;
    int number = 0;
    for (const QString& line : lines) {
        ++number;
        if (line.isEmpty())
            continue;
        sheet::Row row{number, {}};
        for (const QString& field : line.split(u';'))
            row.cells.append(Value::ofText(field));
        table.rows.append(row);
    }
    return table;
}

// The good row with field `index` of the header replaced by `value`.
QString goodRowWith(int index, const QString& value) {
    QStringList fields = kGoodRow.split(u';');
    fields[index] = value;
    return fields.join(u';');
}

importing::PlanOptions options(qint64 userId, bool createSubjects = false) {
    return {QString::number(userId), QStringLiteral("2021"), createSubjects, kToday, {}};
}

importing::ImportPlan plan(const QStringList& lines, const importing::PlanOptions& opts) {
    const sheet::Table table = tableOf(lines);
    const Result<importing::ImportPlan> planned =
        importing::planImport(table, importing::layoutOf(table), opts);
    if (!planned.ok())
        qFatal("plan failed: %s", qPrintable(planned.error()));
    return planned.value;
}

int count(const QString& table) {
    Result<QSqlQuery> q = store::run(QStringLiteral("SELECT count(*) FROM ") + table);
    return q.ok() && q.value.next() ? q.value.value(0).toInt() : -1;
}

} // namespace

class SheetImportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void captions_data();
    void captions();
    void headerBelowTheExportTitle();
    void amounts_data();
    void amounts();
    void dates_data();
    void dates();
    void flags_data();
    void flags();
    void rowChecks_data();
    void rowChecks();
    void duplicates_data();
    void duplicates();
    void newSubjectsOnRequest();
    void exportedTextWithTotals();
    void stoppedImportWritesNothing();
};

void SheetImportTest::captions_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<std::optional<RecordField>>("field");
    const std::optional<RecordField> none;
    const auto row = [](const char* caption, std::optional<RecordField> field) {
        QTest::newRow(caption) << QString::fromUtf8(caption) << field;
    };
    // The ledger grid's export: the column names of Ritenute.
    row("denominazione", RecordField::Name);
    row("FT", RecordField::InvoiceNumber);
    row("data", RecordField::InvoiceDate);
    row("datap", RecordField::PaymentDate);
    row("pag", RecordField::Paid);
    row("ravv", RecordField::LateRegularisation);
    row("versato", RecordField::Remitted);
    row("scadenza", RecordField::DueDate);
    row("ID", none);
    row("ID_A", none);
    row("anno", none);
    row("utente", none);
    // The printed lists' exports.
    row("Soggetto", RecordField::Name);
    row("N.Ft", RecordField::InvoiceNumber);
    row("Pagata", RecordField::PaymentDate);
    row("%", RecordField::Rate);
    row("Ritenute", RecordField::Withheld);
    row("Versamento", RecordField::RemittanceDate);
    row("Saldo", none);
    // The labels of the dialog and common synonyms, in any case and spacing.
    row("N. fattura", RecordField::InvoiceNumber);
    row("Numero Fattura", RecordField::InvoiceNumber);
    row("DATA PAGAMENTO", RecordField::PaymentDate);
    row("Data versamento", RecordField::RemittanceDate);
    row("Codice tributo", RecordField::TaxCode);
    row("Totale versato", RecordField::Remitted);
    row("Imponibile (€)", RecordField::Taxable);
    row("Ragione sociale", RecordField::Name);
    row("Compenso", RecordField::Taxable);
    row("  sanzioni ", RecordField::Penalty);
    row("Pagata (S/N)", RecordField::Paid);
    // Not fields of a record.
    row("Città", none);
    row("codice", none);
    row("", none);
}

void SheetImportTest::captions() {
    QFETCH(QString, caption);
    QFETCH(std::optional<RecordField>, field);
    QCOMPARE(importing::fieldOfCaption(caption), field);
}

void SheetImportTest::headerBelowTheExportTitle() {
    // Title, selection lines, an empty line, then the captions; a column named twice
    // fills its field from the first.
    const sheet::Table table = tableOf({"Ritenute", "Utente;ROSSI MARIO", "Anno;2021", "",
                                        "ID;denominazione;data;Data;Città", "1;ALFA;x;y;z"});
    const importing::SheetLayout layout = importing::layoutOf(table);
    QCOMPARE(layout.headerRow, 3);
    QCOMPARE(layout.captions,
             (QStringList{"ID", "denominazione", "data", "Data", QStringLiteral("Città")}));
    QCOMPARE(layout.fields,
             (importing::ColumnFields{std::nullopt, RecordField::Name, RecordField::InvoiceDate,
                                      std::nullopt, std::nullopt}));
    QCOMPARE(importing::layoutOf(tableOf({"Ritenute", "uno;due"})).headerRow, -1);
}

void SheetImportTest::amounts_data() {
    QTest::addColumn<Value>("cell");
    QTest::addColumn<qint64>("cents"); // -1: does not read
    const auto text = [](const char* name, const char* t, qint64 cents) {
        QTest::newRow(name) << Value::ofText(QString::fromUtf8(t)) << cents;
    };
    text("Italian", "1.234,56", 123456);
    text("Italian without grouping", "1234,56", 123456);
    text("plain decimal point", "1234.56", 123456);
    text("English grouping", "1,234.56", 123456);
    text("Italian thousands alone", "1.234", 123400);
    text("Italian millions", "1.234.567,8", 123456780);
    text("plain, three decimals", "1234.567", 123457);
    text("whole", "12", 1200);
    text("negative", "-3,5", -350);
    text("euro sign", "€ 10,00", 1000);
    text("half a cent away from zero", "0,005", 1);
    text("words", "abc", -1);
    text("two commas", "1,2,3", -1);
    text("grouping after the point", "1.234,5.6", -1);
    QTest::newRow("number") << Value::ofNumber("1234.56") << qint64(123456);
    QTest::newRow("number, binary sum") << Value::ofNumber("0.30000000000000004") << qint64(30);
    QTest::newRow("number, half a cent") << Value::ofNumber("0.125") << qint64(13);
    QTest::newRow("number, negative half") << Value::ofNumber("-0.125") << qint64(-13);
    QTest::newRow("number beyond the range")
        << Value::ofNumber("100000000000000000000000") << qint64(-1);
    QTest::newRow("date") << Value::ofDate(QDate(2021, 1, 1)) << qint64(-1);
    QTest::newRow("boolean") << Value::ofBoolean(true) << qint64(-1);
}

void SheetImportTest::amounts() {
    QFETCH(Value, cell);
    QFETCH(qint64, cents);
    const std::optional<Amount> amount = importing::amountOfCell(cell);
    QCOMPARE(amount ? amount->cents() : -1, cents);
}

void SheetImportTest::dates_data() {
    QTest::addColumn<Value>("cell");
    QTest::addColumn<QDate>("date"); // invalid: does not read
    const QDate march15(2021, 3, 15);
    const auto text = [](const char* t, QDate date) {
        QTest::newRow(t) << Value::ofText(QString::fromLatin1(t)) << date;
    };
    text("15/03/2021", march15);
    text("15/3/2021", march15);
    text("15-03-2021", march15);
    text("15.03.2021", march15);
    text("2021-03-15", march15);
    text("2021-03-15 00:00:00", march15);
    text("2021-03-15T10:30", march15);
    text("15/03/21", march15);
    text("15/03/26", QDate(2026, 3, 15));
    text("15/03/27", QDate(1927, 3, 15));
    text("31/02/2021", QDate());
    text("15/03/1899", QDate());
    text("03/15/2021", QDate());
    text("15 marzo 2021", QDate());
    QTest::newRow("date cell") << Value::ofDate(march15) << march15;
    QTest::newRow("serial number") << Value::ofNumber("44270") << march15;
    QTest::newRow("serial with time") << Value::ofNumber("44270.5") << march15;
    QTest::newRow("boolean") << Value::ofBoolean(false) << QDate();
}

void SheetImportTest::dates() {
    QFETCH(Value, cell);
    QFETCH(QDate, date);
    QCOMPARE(importing::dateOfCell(cell, kToday).value_or(QDate()), date);
}

void SheetImportTest::flags_data() {
    QTest::addColumn<Value>("cell");
    QTest::addColumn<int>("flag"); // 1, 0, or -1: does not read
    for (const char* yes : {"S", "s", "Sì", "SI", "X", "Vero", "TRUE", "1"})
        QTest::newRow(yes) << Value::ofText(QString::fromUtf8(yes)) << 1;
    for (const char* no : {"N", "no", "Falso", "false", "0"})
        QTest::newRow(no) << Value::ofText(QString::fromUtf8(no)) << 0;
    QTest::newRow("forse") << Value::ofText("forse") << -1;
    QTest::newRow("boolean true") << Value::ofBoolean(true) << 1;
    QTest::newRow("number 0") << Value::ofNumber("0") << 0;
    QTest::newRow("number 2") << Value::ofNumber("2") << -1;
}

void SheetImportTest::flags() {
    QFETCH(Value, cell);
    QFETCH(int, flag);
    const std::optional<bool> read = importing::flagOfCell(cell);
    QCOMPARE(read ? int(*read) : -1, flag);
}

void SheetImportTest::rowChecks_data() {
    QTest::addColumn<QString>("row");
    QTest::addColumn<RowVerdict>("verdict");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("good") << kGoodRow << RowVerdict::Ready << QStringList();
    QTest::newRow("withheld not the rate's")
        << goodRowWith(5, "199,99") << RowVerdict::Stopped
        << QStringList{"Errore: calcolo importo Ritenuta sbagliato  !"};
    QTest::newRow("remitted does not add up")
        << goodRowWith(11, "210,00") << RowVerdict::Stopped
        << QStringList{"Errore:nella quadratuta tra il campo Versato e il campo Ritenuta+ "
                       "campo Interessi + campo Sanzione !"};
    QTest::newRow("late regularisation without interest")
        << goodRowWith(12, "").replace(";N;200,00", ";S;200,00") << RowVerdict::Stopped
        << QStringList{"Compilare  il campo :  Interessi   !"};
    QTest::newRow("no payee") << goodRowWith(0, "") << RowVerdict::Stopped
                              << QStringList{"Inserire il campo Denominazione!"};
    QTest::newRow("no invoice date") << goodRowWith(2, "") << RowVerdict::Stopped
                                     << QStringList{"Inserire il campo Data Fattura"};
    QTest::newRow("no tax code") << goodRowWith(14, "") << RowVerdict::Stopped
                                 << QStringList{"Inserire il campo Codice Tributo!"};
    QTest::newRow("paid, not remitted")
        << goodRowWith(9, "").replace(";200,00;0;0;", ";;0;0;") << RowVerdict::Warned
        << QStringList{" Incongruenza - Pagamento fattura e Versamento Ritenuta !"};
    QTest::newRow("not paid, remitted written as 0")
        << goodRowWith(7, "N").replace(";20/03/2021;16/04/2021;N;200,00;", ";;;N;0,00;")
        << RowVerdict::Ready << QStringList();
    QTest::newRow("remitted 0 on a remittance date")
        << goodRowWith(11, "0") << RowVerdict::Stopped
        << QStringList{"Errore:nella quadratuta tra il campo Versato e il campo Ritenuta+ "
                       "campo Interessi + campo Sanzione !"};
    QTest::newRow("invoice of another year")
        << goodRowWith(2, "15/12/2020") << RowVerdict::Warned
        << QStringList{"Attenzione Anno fattura diverso da quello dell' anno  inserimento "
                       "della registrazione !"};
    QTest::newRow("unreadable cells, each named")
        << goodRowWith(3, "mille").replace("20/03/2021", "32/03/2021") << RowVerdict::Stopped
        << QStringList{QStringLiteral("Colonna «imponibile»: «mille» non è un importo"),
                       QStringLiteral("Colonna «datap»: «32/03/2021» non è una data")};
    QTest::newRow("payee not in the registry")
        << goodRowWith(0, "GAMMA SNC") << RowVerdict::Stopped
        << QStringList{QStringLiteral("«GAMMA SNC» non è in anagrafica: scegliere di inserire "
                                      "i soggetti nuovi per importarla")};
}

void SheetImportTest::rowChecks() {
    QFETCH(QString, row);
    QFETCH(RowVerdict, verdict);
    QFETCH(QStringList, messages);
    TestDatabase db;
    const qint64 user = TestDatabase::addSubject("ROSSI MARIO", true);
    TestDatabase::addSubject("alfa srl");
    const importing::ImportPlan planned = plan({kHeader, row}, options(user));
    QCOMPARE(planned.rows.size(), 1);
    QStringList found;
    for (const SaveFinding& finding : planned.rows.at(0).findings)
        found.append(finding.message);
    QCOMPARE(found, messages);
    QCOMPARE(planned.rows.at(0).verdict, verdict);
}

void SheetImportTest::duplicates_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<RowVerdict>>("verdicts");
    using enum RowVerdict;
    // The ledger holds ALFA SRL's invoice 1 of 15/03/2021 in the user's 2021.
    QTest::newRow("the ledger's record") << QStringList{kGoodRow} << QList{Duplicate};
    QTest::newRow("payee in other letter case")
        << QStringList{goodRowWith(0, "Alfa Srl")} << QList{Duplicate};
    QTest::newRow("number with blanks") << QStringList{goodRowWith(1, " 1 ")} << QList{Duplicate};
    QTest::newRow("same date written otherwise")
        << QStringList{goodRowWith(2, "2021-03-15")} << QList{Duplicate};
    QTest::newRow("another number") << QStringList{goodRowWith(1, "2")} << QList{Ready};
    QTest::newRow("another date") << QStringList{goodRowWith(2, "16/03/2021")} << QList{Ready};
    QTest::newRow("twice in the file")
        << QStringList{goodRowWith(1, "2"), goodRowWith(1, "3"), goodRowWith(1, "2")}
        << QList{Ready, Ready, Duplicate};
    QTest::newRow("a stopped row claims nothing")
        << QStringList{goodRowWith(1, "2").replace("1.000,00", "mille"), goodRowWith(1, "2")}
        << QList{Stopped, Ready};
}

void SheetImportTest::duplicates() {
    QFETCH(QStringList, rows);
    QFETCH(QList<RowVerdict>, verdicts);
    TestDatabase db;
    const qint64 user = TestDatabase::addSubject("ROSSI MARIO", true);
    const qint64 other = TestDatabase::addSubject("VERDI ANNA", true);
    TestDatabase::addSubject("ALFA SRL");
    const QString insert = QStringLiteral(
        "INSERT INTO Ritenute (denominazione, FT, data, anno, utente) VALUES (?, ?, ?, ?, ?)");
    TestDatabase::exec(insert, {"ALFA SRL", "1", "2021-03-15", "2021", QString::number(user)});
    // The same invoice in another user's ledger and in another year is no duplicate.
    TestDatabase::exec(insert, {"ALFA SRL", "2", "2021-03-15", "2021", QString::number(other)});
    TestDatabase::exec(insert, {"ALFA SRL", "3", "2021-03-15", "2020", QString::number(user)});
    rows.prepend(kHeader);
    const importing::ImportPlan planned = plan(rows, options(user));
    QList<RowVerdict> found;
    for (const importing::PlannedRow& row : planned.rows)
        found.append(row.verdict);
    QCOMPARE(found, verdicts);
    if (verdicts.back() == RowVerdict::Duplicate && rows.size() > 2)
        QCOMPARE(planned.rows.back().findings.at(0).message,
                 QStringLiteral("Uguale alla riga 2 del file"));
}

void SheetImportTest::newSubjectsOnRequest() {
    TestDatabase db;
    const qint64 user = TestDatabase::addSubject("ROSSI MARIO", true);
    const QString header = kHeader + ";cf;piva";
    const auto row = [](const char* name, const char* number, const char* codes) -> QString {
        return goodRowWith(0, name).replace(";1;", QStringLiteral(";%1;").arg(number)) + codes;
    };
    // GAMMA's codes from its first row, for all its rows; DELTA's from the operator.
    const QStringList rows = {header,
                              row("GAMMA SNC", "1", ";;"),
                              row("gamma snc", "2", "; gmmsnc80a01h501z ;"),
                              row("DELTA", "3", ";;"),
                              row("EPSILON", "4", ";PSLN;12A45"),
                              row("GAMMA SNC", "5", ";ALTRO;"),
                              row("ZETA", "6", ";ZT;0123")};
    importing::PlanOptions opts = options(user, true);
    importing::ImportPlan planned = plan(rows, opts);
    QCOMPARE(planned.payeesWithoutTaxCode, QStringList{"DELTA"});
    QStringList verdicts;
    for (const importing::PlannedRow& r : planned.rows)
        verdicts.append(r.verdict == RowVerdict::Warned ? "W" : r.messages().first());
    QCOMPARE(verdicts,
             (QStringList{"W", "W",
                          "«DELTA»: manca il codice fiscale, da scrivere tra i soggetti "
                          "nuovi",
                          "«EPSILON»: partita IVA «12A45» non valida: solo cifre",
                          "«GAMMA SNC»: codice fiscale ALTRO diverso da GMMSNC80A01H501Z di "
                          "un'altra riga",
                          "W"}));
    opts.typedCodes.insert("delta", {"dlt", "01234567890"});
    planned = plan(rows, opts);
    QCOMPARE(planned.importable(), 4);
    QCOMPARE(planned.newSubjects(), (QStringList{"GAMMA SNC", "DELTA", "ZETA"}));
    QCOMPARE(count("Soggetti"), 1); // planning writes nothing
    const importing::ImportOutcome outcome = importing::runImport(planned);
    QVERIFY2(outcome.status.ok(), qPrintable(outcome.status.error()));
    QCOMPARE(outcome.records, 4);
    QCOMPARE(outcome.subjects, 3);
    QCOMPARE(TestDatabase::changesRecorded("importazione", "Ritenute"), qint64(4));
    QCOMPARE(TestDatabase::changesRecorded("importazione", "Soggetti"), qint64(3));
    // Each record points to the subject created for its payee, with its codes.
    Result<QSqlQuery> q = store::run(
        "SELECT r.denominazione, s.denominazione, s.utente, s.codice, s.partita FROM Ritenute r "
        "JOIN Soggetti s ON s.ID = r.ID_A ORDER BY r.ID");
    QStringList pairs;
    while (q.value.next())
        pairs.append(q.value.value(0).toString() + "->" + q.value.value(1).toString() + "/" +
                     q.value.value(2).toString() + "/" + q.value.value(3).toString() + "/" +
                     q.value.value(4).toString());
    QCOMPARE(pairs, (QStringList{"GAMMA SNC->GAMMA SNC/N/GMMSNC80A01H501Z/",
                                 "gamma snc->GAMMA SNC/N/GMMSNC80A01H501Z/",
                                 "DELTA->DELTA/N/DLT/01234567890", "ZETA->ZETA/N/ZT/0123"}));
}

void SheetImportTest::exportedTextWithTotals() {
    // A printed list exported as text: title and selection above, the totals below.
    QTemporaryDir dir;
    QFile file(dir.filePath("elenco.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBF"
               "Elenco Ritenute\r\nUtente;ROSSI MARIO\r\nAnno;2021\r\n\r\n"
               "Soggetto;Data;N.Ft;Pagata;Scadenza;Periodo;Tributo;Versamento;Imponibile;%;"
               "Ritenute;Ravv;Interessi;Sanzione;Versato\r\n"
               "'-ALFA SRL;15/03/2021;7;20/03/2021;16/04/2021;3;1040;16/04/2021;1000,00;20;"
               "200,00;N;0,00;0,00;200,00\r\n"
               "Totale;;;;;;;;1000,00;;200,00;;0,00;0,00;200,00\r\n");
    file.close();
    TestDatabase db;
    const qint64 user = TestDatabase::addSubject("ROSSI MARIO", true);
    TestDatabase::addSubject("-ALFA SRL");
    const sheet::Table table = sheet::readSpreadsheet(file.fileName());
    const Result<importing::ImportPlan> planned =
        importing::planImport(table, importing::layoutOf(table), options(user));
    QVERIFY(planned.ok());
    QCOMPARE(planned.value.totalsLine, 7);
    QCOMPARE(planned.value.rows.size(), 1);
    const importing::PlannedRow& row = planned.value.rows.at(0);
    QCOMPARE(row.verdict, RowVerdict::Ready);
    QCOMPARE(row.entry.subjectName, QStringLiteral("-ALFA SRL"));
    QVERIFY(row.entry.paid);
    QCOMPARE(row.entry.withheld, QStringLiteral("200,00"));
    QCOMPARE(row.entry.total, QStringLiteral("1.200,00"));
}

void SheetImportTest::stoppedImportWritesNothing() {
    TestDatabase db;
    const qint64 user = TestDatabase::addSubject("ROSSI MARIO", true);
    QStringList rows = {kHeader + ";cf"};
    for (int i = 1; i <= 20; ++i)
        rows.append(goodRowWith(1, QString::number(i))
                        .replace("ALFA SRL", "NUOVO " + QString::number(i % 3)) +
                    ";CF" + QString::number(i % 3));
    const importing::ImportPlan planned = plan(rows, options(user, true));
    QCOMPARE(planned.importable(), 20);
    int calls = 0;
    const importing::ImportOutcome stopped =
        importing::runImport(planned, [&calls](qint64 done, qint64 total) {
            [&] { QCOMPARE(total, 20); }();
            ++calls;
            return done < 10;
        });
    QVERIFY(stopped.cancelled);
    QCOMPARE(calls, 11);
    QCOMPARE(count("Ritenute"), 0);
    QCOMPARE(count("Soggetti"), 1);
    const importing::ImportOutcome done = importing::runImport(planned);
    QVERIFY(done.status.ok());
    QCOMPARE(done.records, 20);
    QCOMPARE(count("Ritenute"), 20);
    QCOMPARE(count("Soggetti"), 4);
}

QTEST_GUILESS_MAIN(SheetImportTest)
#include "tst_sheet_import.moc"
