#include "store/schema.h"

#include "store/change_record.h"
#include "store/dialect.h"
#include "store/name_order.h"
#include "store/transaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <span>
#include <vector>

namespace store::schema {
namespace {

// Amount columns hold integer cents; dates a date (NULL when absent); flags "S"/"N".
// The types are resolved per engine by dialect::definition().
const char* const kCreateTables[] = {
    R"(CREATE TABLE Soggetti (
        ID {key},
        denominazione {text},
        indirizzo {text},
        citta {text},
        cap {text},
        pr {text},
        datanascita {date},
        luogo {text},
        prnascita {text},
        codice {text},
        partita {text},
        utente {text} NOT NULL DEFAULT 'N',
        note {text}))",
    R"(CREATE TABLE Ritenute (
        ID {key},
        ID_A {integer},
        denominazione {text},
        FT {text},
        data {date},
        imponibile {integer} NOT NULL DEFAULT 0,
        aliquota {integer} NOT NULL DEFAULT 0,
        ritenuta {integer} NOT NULL DEFAULT 0,
        altro {integer} NOT NULL DEFAULT 0,
        totale {integer} NOT NULL DEFAULT 0,
        pag {text} NOT NULL DEFAULT 'N',
        datap {date},
        periodo {text},
        versamento {date},
        ravv {text} NOT NULL DEFAULT 'N',
        versato {integer} NOT NULL DEFAULT 0,
        interessi {integer} NOT NULL DEFAULT 0,
        sanzione {integer} NOT NULL DEFAULT 0,
        tributo {text},
        anno {text},
        utente {text},
        scadenza {date}))",
    // The lookup tables carry a key column of their own before the column the
    // entry lists use, so that the table editor can write a row back by its key.
    R"(CREATE TABLE Anno (
        ID {key},
        Anno {text} NOT NULL UNIQUE CHECK (length(Anno) = 4 AND {digits:Anno})))",
    R"(CREATE TABLE periodo (
        ID {key},
        periodo {text} NOT NULL UNIQUE CHECK (periodo <> '')))",
    R"(CREATE TABLE Tributo (
        ID {key},
        codice {text} NOT NULL UNIQUE CHECK (trim(codice) <> ''),
        Causale {text}))",
    R"(CREATE TABLE Percentuale (
        ID {key},
        Percentuale {integer} NOT NULL UNIQUE))",
    // The ledger grid: one user's year in name and date order.
    "CREATE INDEX Ritenute_utente_anno ON Ritenute (utente, anno, denominazione, data{then key})",
    "CREATE INDEX Ritenute_scadenza ON Ritenute (scadenza)",
    "CREATE INDEX Soggetti_denominazione ON Soggetti (denominazione{then key})",
    "CREATE INDEX Soggetti_utente ON Soggetti (utente, denominazione{then key})",
};

struct TaxCode {
    const char* code;
    const char* description;
};

const TaxCode kTaxCodes[] = {
    {"1001", "Ritenute su retribuzioni, pensioni, trasferte, mensilità aggiuntive e relativo "
             "conguaglio"},
    {"1019", "Ritenute del 4% operate dal condominio quale sostituto d'imposta a titolo di "
             "acconto dell'IRPEF dovuta dal percipiente"},
    {"1020", "Ritenute del 4% operate dal condominio quale sostituto d'imposta a titolo di "
             "acconto dell'IRES dovuta dal percipiente"},
    {"1040", "Ritenute su redditi di lavoro autonomo: compensi per l'esercizio di arti e "
             "professioni"},
};

Status execAll(QSqlDatabase db, const QString& sql, const QList<QVariantList>& rows = {{}}) {
    QSqlQuery query(db);
    // A statement without values runs as it is: PostgreSQL prepares no table definition.
    if (rows.size() == 1 && rows.front().isEmpty())
        return query.exec(sql) ? Status::success() : Status::failure(query.lastError().text());
    if (!query.prepare(sql))
        return Status::failure(query.lastError().text());
    for (const QVariantList& row : rows) {
        for (int i = 0; i < row.size(); ++i)
            query.bindValue(i, row.at(i));
        if (!query.exec())
            return Status::failure(query.lastError().text());
    }
    return Status::success();
}

// Runs each layout statement in turn, written for the connection's engine; the first that
// fails stops the others.
Status defineAll(QSqlDatabase db, std::span<const char* const> statements) {
    for (const char* sql : statements) {
        if (Status s = execAll(db, dialect::definition(engineOf(db), QString::fromUtf8(sql)));
            !s.ok())
            return s;
    }
    return Status::success();
}

Status createVersion1(QSqlDatabase db, const QDate& today) {
    if (Status s = defineAll(db, kCreateTables); !s.ok())
        return s;
    QList<QVariantList> years;
    for (int y = today.year() - 5; y <= today.year() + 1; ++y)
        years.append({QString::number(y)});
    QList<QVariantList> periods;
    for (int p = 1; p <= 12; ++p)
        periods.append({QString::number(p)});
    QList<QVariantList> codes;
    for (const TaxCode& t : kTaxCodes)
        codes.append({QString::fromUtf8(t.code), QString::fromUtf8(t.description)});
    const QList<QVariantList> rates = {{400}, {2000}};

    const std::pair<const char*, const QList<QVariantList>*> seeds[] = {
        {"INSERT INTO Anno (Anno) VALUES (?)", &years},
        {"INSERT INTO periodo (periodo) VALUES (?)", &periods},
        {"INSERT INTO Tributo (codice, Causale) VALUES (?, ?)", &codes},
        {"INSERT INTO Percentuale (Percentuale) VALUES (?)", &rates},
    };
    for (const auto& [sql, rows] : seeds) {
        if (Status s = execAll(db, QString::fromUtf8(sql), *rows); !s.ok())
            return s;
    }
    return Status::success();
}

// Fills the missing name keys of `table`: each distinct name's key is computed once,
// then written to every row of that name in one statement. A partial index finds the
// rows without a key, so that a file where every row has one costs one empty look-up.
Status fillMissingNameKeys(QSqlDatabase db, const QString& table) {
    const QString missing = QStringLiteral("ordine IS NULL AND denominazione IS NOT NULL");
    QSqlQuery names(db);
    if (!names.exec(
            QStringLiteral("SELECT DISTINCT denominazione FROM %1 WHERE %2").arg(table, missing)))
        return Status::failure(names.lastError().text());
    QList<QVariantList> keys;
    while (names.next()) {
        const QString name = names.value(0).toString();
        keys.append({name, nameKey(name)});
    }
    names.finish();
    if (keys.isEmpty())
        return Status::success();
    const QString statements[] = {
        QStringLiteral("CREATE TEMP TABLE name_keys (name TEXT PRIMARY KEY, name_key TEXT)"),
        QStringLiteral("INSERT INTO name_keys VALUES (?, ?)"),
        QStringLiteral("UPDATE %1 SET ordine = (SELECT name_key FROM name_keys "
                       "WHERE name_keys.name = %1.denominazione) WHERE %2")
            .arg(table, missing),
        QStringLiteral("DROP TABLE name_keys"),
    };
    for (const QString& sql : statements) {
        const bool insert = sql.startsWith(QLatin1String("INSERT"));
        if (Status s = insert ? execAll(db, sql, keys) : execAll(db, sql); !s.ok())
            return s;
    }
    return Status::success();
}

Status fillMissingNameKeys(QSqlDatabase db) {
    for (const QString& table : {QStringLiteral("Soggetti"), QStringLiteral("Ritenute")}) {
        if (Status s = fillMissingNameKeys(db, table); !s.ok())
            return s;
    }
    return Status::success();
}

// Version 2: names in Italian order. A sort key beside each name, filled for the rows
// there are, and the name indexes rebuilt on key, name (and ID, which every index ends
// with), so that lists in that order read an index without sorting; rows another tool
// writes later without a key get theirs at the next opening.
Status addNameKeys(QSqlDatabase db, const QDate&) {
    const char* const before[] = {
        "ALTER TABLE Soggetti ADD COLUMN ordine {text}",
        "ALTER TABLE Ritenute ADD COLUMN ordine {text}",
        "DROP INDEX Ritenute_utente_anno",
        "DROP INDEX Soggetti_denominazione",
        "DROP INDEX Soggetti_utente",
    };
    if (Status s = defineAll(db, before); !s.ok())
        return s;
    if (Status s = fillMissingNameKeys(db); !s.ok())
        return s;
    const char* const after[] = {
        "CREATE INDEX Ritenute_utente_anno ON Ritenute (utente, anno, ordine, denominazione, "
        "data{then key})",
        "CREATE INDEX Soggetti_denominazione ON Soggetti (ordine, denominazione{then key})",
        "CREATE INDEX Soggetti_utente ON Soggetti (utente, ordine, denominazione{then key})",
        "CREATE INDEX Ritenute_senza_ordine ON Ritenute (denominazione) WHERE ordine IS NULL",
        "CREATE INDEX Soggetti_senza_ordine ON Soggetti (denominazione) WHERE ordine IS NULL",
    };
    return defineAll(db, after);
}

// Each subject carries the causale of its yearly certificate and the code of the sums
// paid to it that are not subject to withholding; existing subjects get the defaults.
Status addCertificateFields(QSqlDatabase db, const QDate&) {
    const char* const columns[] = {
        "ALTER TABLE Soggetti ADD COLUMN causale {text} NOT NULL DEFAULT 'A'",
        "ALTER TABLE Soggetti ADD COLUMN codicealtro {text} NOT NULL DEFAULT '22'",
    };
    return defineAll(db, columns);
}

// Version 4: the tax calendar's tables: the legal interest rate of each year (hundredths of a
// percent, like Percentuale), the extraordinary deferrals of due dates, and
// the office's options (absent means off).
Status addTaxCalendarTables(QSqlDatabase db, const QDate&) {
    const char* const create[] = {
        R"(CREATE TABLE TassoLegale (
            ID {key},
            anno {text} NOT NULL UNIQUE CHECK (length(anno) = 4 AND {digits:anno}),
            tasso {integer} CHECK (tasso IS NULL OR tasso >= 0)))",
        R"(CREATE TABLE Proroghe (
            ID {key},
            originale {date} NOT NULL UNIQUE,
            nuova {date},
            nota {text}))",
        R"(CREATE TABLE Opzioni (
            chiave {text} PRIMARY KEY,
            valore {text}))",
    };
    if (Status s = defineAll(db, create); !s.ok())
        return s;
    QList<QVariantList> rates;
    for (const auto& [year, rate] : seededLegalRates())
        rates.append({QString::number(year), rate});
    return execAll(db, QStringLiteral("INSERT INTO TassoLegale (anno, tasso) VALUES (?, ?)"),
                   rates);
}

// Version 5: the row version of the records and the subjects (see store/row_version.h).
Status addRowVersions(QSqlDatabase db, const QDate&) {
    for (const char* table : {"Ritenute", "Soggetti"}) {
        const QString sql = dialect::definition(
            engineOf(db), QStringLiteral("ALTER TABLE %1 ADD COLUMN versione {integer} NOT NULL "
                                         "DEFAULT 0")
                              .arg(QLatin1String(table)));
        if (Status s = execAll(db, sql); !s.ok())
            return s;
    }
    return Status::success();
}

// Version 6: indexes for the joins and orders of the general lists. The records name their
// user by its key written as text: an index on the subjects' key as text finds the user of
// each record, where the join otherwise read every subject for each record. The due-date
// index in the order of the list by due date (latest first, then order of entry), so that
// the list reads it without sorting.
Status addJoinIndexes(QSqlDatabase db, const QDate&) {
    const char* const statements[] = {
        "CREATE INDEX Soggetti_chiave_testo ON Soggetti ({key as text})",
        "DROP INDEX Ritenute_scadenza",
        "CREATE INDEX Ritenute_scadenza ON Ritenute (scadenza DESC{then key})",
    };
    return defineAll(db, statements);
}

// Version 7: the deadline of the withholding agents' return by the year of the violation,
// which bounds the late-payment bands beyond 90 days; `confermata` 'N' marks a date no
// source settles. A row the office adds counts as checked.
Status addReturnDeadlines(QSqlDatabase db, const QDate&) {
    const QString create = dialect::definition(engineOf(db), QStringLiteral(R"(
        CREATE TABLE ScadenzaDichiarazione (
            ID {key},
            violazione {text} NOT NULL UNIQUE
                CHECK (length(violazione) = 4 AND {digits:violazione}),
            scadenza {date},
            confermata {text} NOT NULL DEFAULT 'S' CHECK (confermata IN ('S', 'N')),
            nota {text}))"));
    if (Status s = execAll(db, create); !s.ok())
        return s;
    QList<QVariantList> rows;
    for (const SeededReturnDeadline& d : seededReturnDeadlines())
        rows.append({QString::number(d.violationYear), d.deadline.toString(Qt::ISODate),
                     d.confirmed ? QStringLiteral("S") : QStringLiteral("N"),
                     QString::fromUtf8(d.note)});
    return execAll(db,
                   QStringLiteral("INSERT INTO ScadenzaDichiarazione (violazione, scadenza, "
                                  "confermata, nota) VALUES (?, ?, ?, ?)"),
                   rows);
}

// Version 8: the general extraordinary deferrals; a row the office entered for the same
// original date stays as it is.
Status seedKnownDeferrals(QSqlDatabase db, const QDate&) {
    QList<QVariantList> rows;
    for (const SeededDeferral& d : seededDeferrals())
        rows.append({d.original.toString(Qt::ISODate), d.moved.toString(Qt::ISODate),
                     QString::fromUtf8(d.note)});
    return execAll(db,
                   QStringLiteral("INSERT INTO Proroghe (originale, nuova, nota) VALUES (?, ?, ?) "
                                  "ON CONFLICT (originale) DO NOTHING"),
                   rows);
}

// Version 9: the longest invoice numbers of a user's year, which size the ledger grid's number
// column, read from the top of an index instead of from every record of the year.
Status addInvoiceNumberLengthIndex(QSqlDatabase db, const QDate&) {
    return execAll(db,
                   dialect::definition(engineOf(db),
                                       QStringLiteral("CREATE INDEX Ritenute_FT_lunghezza ON "
                                                      "Ritenute (utente, anno, length(FT), FT)")));
}

// Version 10: the record of changes (see store/change_record.h): who wrote which row, when,
// from which computer and with which values before and after; it only grows. On a server
// the triggers that write it are the layout's; a file's are each connection's.
Status addChangeRecord(QSqlDatabase db, const QDate&) {
    const Engine engine = engineOf(db);
    QStringList statements = {
        R"(CREATE TABLE Modifiche (
            ID {key},
            utc {text} NOT NULL,
            locale {text} NOT NULL,
            operatore {text} NOT NULL,
            computer {text},
            azione {text} NOT NULL,
            tabella {text},
            chiave {integer},
            utente {text},
            prima {text},
            dopo {text}))",
        "CREATE INDEX Modifiche_utc ON Modifiche (utc{then key})",
        "CREATE INDEX Modifiche_riga ON Modifiche (tabella, chiave{then key})",
    };
    statements += dialect::appendOnlyTriggers(engine);
    statements += dialect::ledgerRecordingTriggers(engine);
    for (const QString& sql : statements) {
        if (Status s = execAll(db, dialect::definition(engine, sql)); !s.ok())
            return s;
    }
    return Status::success();
}

// Version 11: the due-date index holds only the records not remitted, all that the list by
// due date reads, with their user, by which the list joins its users: its list of keys comes
// from the index alone, where it looked up every record of the ledger for its remittance date
// and user (through the whole file, in a ledger whose record of changes lies between its
// records).
Status addUnremittedDueDateIndex(QSqlDatabase db, const QDate&) {
    const char* const statements[] = {
        "DROP INDEX Ritenute_scadenza",
        "CREATE INDEX Ritenute_scadenza ON Ritenute (scadenza DESC, ID, utente) "
        "WHERE versamento IS NULL",
    };
    return defineAll(db, statements);
}

// Step N brings a database of version N-1 to version N.
using Step = std::function<Status(QSqlDatabase, const QDate&)>;
const std::vector<Step>& steps() {
    static const std::vector<Step> all = {createVersion1,
                                          addNameKeys,
                                          addCertificateFields,
                                          addTaxCalendarTables,
                                          addRowVersions,
                                          addJoinIndexes,
                                          addReturnDeadlines,
                                          seedKnownDeferrals,
                                          addInvoiceNumberLengthIndex,
                                          addChangeRecord,
                                          addUnremittedDueDateIndex};
    return all;
}

} // namespace

const QList<std::pair<int, qint64>>& seededLegalRates() {
    // Set each December by ministerial decree for the following year.
    static const QList<std::pair<int, qint64>> rates = {
        {2014, 100}, {2015, 50},  {2016, 20},  {2017, 10},  {2018, 30},  {2019, 80},  {2020, 5},
        {2021, 1},   {2022, 125}, {2023, 500}, {2024, 250}, {2025, 200}, {2026, 160},
    };
    return rates;
}

QStringList seededTaxCodes() {
    QStringList codes;
    for (const TaxCode& t : kTaxCodes)
        codes.append(QString::fromUtf8(t.code));
    return codes;
}

const QList<SeededReturnDeadline>& seededReturnDeadlines() {
    // The 770 of the year after the violation: 31 October unless extended.
    static const QList<SeededReturnDeadline> deadlines = {
        {2014, QDate(2015, 9, 21), true, "770/2015, prorogato dal DPCM 28/07/2015"},
        {2015, QDate(2016, 9, 15), true, "770/2016, prorogato con DPCM"},
        {2016, QDate(2017, 10, 31), false, "770/2017: data non confermata"},
        {2017, QDate(2018, 10, 31), true, "770/2018"},
        {2018, QDate(2019, 10, 31), true, "770/2019"},
        {2019, QDate(2020, 12, 10), true, "770/2020, prorogato dall'art. 10 D.L. 137/2020"},
        {2020, QDate(2021, 11, 2), true, "770/2021: 31/10 domenica, 01/11 festivo"},
        {2021, QDate(2022, 10, 31), true, "770/2022"},
        {2022, QDate(2023, 10, 31), true, "770/2023"},
        {2023, QDate(2024, 10, 31), true, "770/2024"},
        {2024, QDate(2025, 10, 31), true, "770/2025"},
        {2025, QDate(2026, 11, 2), false, "770/2026: data non confermata, 31/10 è sabato"},
    };
    return deadlines;
}

const QList<SeededDeferral>& seededDeferrals() {
    static const QList<SeededDeferral> deferrals = {
        {QDate(2020, 3, 16), QDate(2020, 3, 20), "D.L. 18/2020 art. 60"},
    };
    return deferrals;
}

int versionOf(QSqlDatabase db) {
    const Result<int> stored = dialect::storedVersion(db);
    return stored.ok() ? stored.value : -1;
}

Status upgrade(QSqlDatabase db, const QDate& today) {
    static_assert(kCurrentVersion >= 1);
    const Result<int> stored = dialect::storedVersion(db);
    if (!stored.ok())
        return stored.status;
    int version = stored.value;
    // The program's upkeep of the ledger is not a change of its data.
    const RecordedAs maintenance(db, Azione::Manutenzione);
    if (!maintenance.begun().ok())
        return maintenance.begun();
    if (version > kCurrentVersion)
        return Status::failure(
            QStringLiteral(
                "il database è di una versione più recente (%1) di questo programma (%2)")
                .arg(version)
                .arg(kCurrentVersion));
    for (; version < kCurrentVersion; ++version) {
        Transaction tx(db);
        if (!tx.begun().ok())
            return tx.begun();
        if (Status s = steps().at(std::size_t(version))(db, today); !s.ok())
            return s;
        if (Status s = dialect::storeVersion(db, version + 1); !s.ok())
            return s;
        if (Status s = tx.commit(); !s.ok())
            return s;
    }
    Transaction tx(db);
    if (!tx.begun().ok())
        return tx.begun();
    if (Status s = fillMissingNameKeys(db); !s.ok())
        return s;
    return tx.commit();
}

} // namespace store::schema
