#include "importing/table_import.h"

#include "importing/legacy_rows.h"
#include "ledger/withholding_store.h"
#include "registry/subject_store.h"
#include "store/change_record.h"
#include "store/connection.h"
#include "store/dialect.h"
#include "store/transaction.h"
#include "values/amount.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSqlQuery>
#include <QVariant>
#include <array>

namespace importing {
namespace {

const QStringList kSubjectColumns = {
    QStringLiteral("ID"),          QStringLiteral("denominazione"), QStringLiteral("indirizzo"),
    QStringLiteral("citta"),       QStringLiteral("cap"),           QStringLiteral("pr"),
    QStringLiteral("datanascita"), QStringLiteral("luogo"),         QStringLiteral("prnascita"),
    QStringLiteral("codice"),      QStringLiteral("partita"),       QStringLiteral("utente"),
    QStringLiteral("note")};

const QStringList kWithholdingColumns = {
    QStringLiteral("ID"),       QStringLiteral("ID_A"),       QStringLiteral("denominazione"),
    QStringLiteral("FT"),       QStringLiteral("data"),       QStringLiteral("imponibile"),
    QStringLiteral("aliquota"), QStringLiteral("ritenuta"),   QStringLiteral("altro"),
    QStringLiteral("totale"),   QStringLiteral("pag"),        QStringLiteral("datap"),
    QStringLiteral("periodo"),  QStringLiteral("versamento"), QStringLiteral("ravv"),
    QStringLiteral("versato"),  QStringLiteral("interessi"),  QStringLiteral("sanzione"),
    QStringLiteral("tributo"),  QStringLiteral("anno"),       QStringLiteral("utente"),
    QStringLiteral("scadenza")};

// The money columns of Ritenute whose sums are checked.
constexpr std::array kMoneyColumns = {"imponibile", "ritenuta",  "altro",   "totale",
                                      "versato",    "interessi", "sanzione"};

struct Lookup {
    LookupTable kind;
    const char* table;
    QStringList columns; // the first is the value a row is found by
};

const Lookup kLookups[] = {
    {LookupTable::Years, "Anno", {QStringLiteral("Anno")}},
    {LookupTable::Periods, "periodo", {QStringLiteral("periodo")}},
    {LookupTable::TaxCodes, "Tributo", {QStringLiteral("codice"), QStringLiteral("Causale")}},
    {LookupTable::Rates, "Percentuale", {QStringLiteral("Percentuale")}},
};

struct SourceFile {
    QString table;
    CsvTable csv;
};

Result<SourceFile> readSource(const QDir& folder, const QString& table, const QStringList& known) {
    Result<SourceFile> result;
    result.value.table = table;
    const QString wanted = table + QStringLiteral(".csv");
    QString found;
    for (const QString& name : folder.entryList(QDir::Files)) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            found = name;
    }
    if (found.isEmpty()) {
        result.status = Status::failure(
            QStringLiteral("manca il file %1 nella cartella %2").arg(wanted, folder.path()));
        return result;
    }
    QFile file(folder.filePath(found));
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = Status::failure(
            QStringLiteral("il file %1 non si legge: %2").arg(file.fileName(), file.errorString()));
        return result;
    }
    result.value.csv = readCsv(QString::fromUtf8(file.readAll()), u',');
    const CsvTable& csv = result.value.csv;
    QString problem = csv.error;
    if (problem.isEmpty() && csv.header.isEmpty())
        problem = QStringLiteral("manca la riga d'intestazione");
    if (problem.isEmpty() && !HeaderColumns(csv.header).has(qPrintable(known.first())))
        problem = QStringLiteral("manca la colonna %1").arg(known.first());
    if (!problem.isEmpty())
        result.status = Status::failure(QStringLiteral("%1: %2").arg(found, problem));
    return result;
}

TableOutcome outcomeFor(const SourceFile& source, const QStringList& known) {
    TableOutcome outcome;
    outcome.table = source.table;
    outcome.read = int(source.csv.records.size());
    for (const QString& column : source.csv.header) {
        if (!known.contains(column.trimmed(), Qt::CaseInsensitive))
            outcome.ignoredColumns.append(column);
    }
    return outcome;
}

Result<qint64> scalar(const QString& sql, const QVariantList& values = {}) {
    Result<QSqlQuery> query = store::run(sql, values);
    if (!query.ok())
        return {query.status, 0};
    return {Status::success(), query.value.next() ? query.value.value(0).toLongLong() : 0};
}

Result<qint64> rowCount(const char* table) {
    return scalar(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table)));
}

Status requireEmptyLedger() {
    const Result<qint64> subjects = rowCount("Soggetti");
    const Result<qint64> records = rowCount("Ritenute");
    if (!subjects.ok() || !records.ok())
        return subjects.ok() ? records.status : subjects.status;
    if (subjects.value == 0 && records.value == 0)
        return Status::success();
    return Status::failure(QStringLiteral("l'archivio non è vuoto: contiene %1 soggetti e %2 "
                                          "registrazioni; si importa solo in un archivio nuovo")
                               .arg(subjects.value)
                               .arg(records.value));
}

// Refuses a key the file already used, naming the line where it was.
bool takeKey(QHash<qint64, int>& keys, qint64 id, int line, TableOutcome& outcome) {
    if (const auto seen = keys.constFind(id); seen != keys.constEnd()) {
        outcome.refused.append(
            {line, QStringLiteral("ID %1 già usato alla riga %2").arg(id).arg(*seen)});
        return false;
    }
    keys.insert(id, line);
    return true;
}

Status writeLookup(const Lookup& lookup, const SourceFile& source, TablesOutcome& result) {
    TableOutcome outcome = outcomeFor(source, lookup.columns);
    const Result<qint64> before = rowCount(lookup.table);
    if (!before.ok())
        return before.status;
    const HeaderColumns columns(source.csv.header);
    const QString table = QLatin1String(lookup.table);
    for (const CsvRecord& record : source.csv.records) {
        const Converted<QVariantList> row = lookupFromRow(lookup.kind, columns, record);
        if (const Refusal* refusal = std::get_if<Refusal>(&row)) {
            outcome.refused.append({record.line, refusal->reason});
            continue;
        }
        const QVariantList& values = std::get<QVariantList>(row);
        const Result<qint64> present = scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = ?")
                                                  .arg(table, lookup.columns.first()),
                                              {values.first()});
        if (!present.ok())
            return present.status;
        if (present.value > 0) {
            ++outcome.alreadyPresent;
            continue;
        }
        const QString marks = QStringLiteral("?, ").repeated(values.size() - 1) + u'?';
        const Result<QSqlQuery> inserted =
            store::run(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(table, lookup.columns.mid(0, values.size()).join(u','), marks),
                       values);
        if (!inserted.ok())
            return inserted.status;
        ++outcome.written;
    }
    const Result<qint64> after = rowCount(lookup.table);
    if (!after.ok())
        return after.status;
    result.checks.append({QStringLiteral("%1: righe aggiunte").arg(table), false, outcome.written,
                          after.value - before.value});
    result.tables.append(outcome);
    return Status::success();
}

Status writeSubjects(const SourceFile& source, const QDate& today, TablesOutcome& result) {
    TableOutcome outcome = outcomeFor(source, kSubjectColumns);
    const HeaderColumns columns(source.csv.header);
    QHash<qint64, int> keys;
    for (const CsvRecord& record : source.csv.records) {
        const Converted<SubjectRow> row = subjectFromRow(columns, record, today);
        if (const Refusal* refusal = std::get_if<Refusal>(&row)) {
            outcome.refused.append({record.line, refusal->reason});
            continue;
        }
        const SubjectRow& subject = std::get<SubjectRow>(row);
        if (!takeKey(keys, subject.id, record.line, outcome))
            continue;
        if (Status s = registry::insertSubjectKeepingKey(subject.id, subject.subject); !s.ok())
            return s;
        ++outcome.written;
    }
    if (Status s =
            store::dialect::continueKeysAfter(store::connection(), QStringLiteral("Soggetti"));
        !s.ok())
        return s;
    const Result<qint64> stored = rowCount("Soggetti");
    if (!stored.ok())
        return stored.status;
    result.checks.append({QStringLiteral("Soggetti: righe"), false, outcome.written, stored.value});
    result.tables.append(outcome);
    return Status::success();
}

qint64 moneyOf(const WithholdingRecord& r, int column) {
    const Written<qint64>* const amounts[] = {&r.taxable,  &r.withheld, &r.other,  &r.total,
                                              &r.remitted, &r.interest, &r.penalty};
    return amounts[column]->value_or(0);
}

Status writeWithholdings(const SourceFile& source, const QDate& today, TablesOutcome& result) {
    TableOutcome outcome = outcomeFor(source, kWithholdingColumns);
    const HeaderColumns columns(source.csv.header);
    QHash<qint64, int> keys;
    std::array<qint64, kMoneyColumns.size()> sums{};
    for (const CsvRecord& record : source.csv.records) {
        const Converted<WithholdingRecord> row = withholdingFromRow(columns, record, today);
        if (const Refusal* refusal = std::get_if<Refusal>(&row)) {
            outcome.refused.append({record.line, refusal->reason});
            continue;
        }
        const WithholdingRecord& withholding = std::get<WithholdingRecord>(row);
        if (!takeKey(keys, withholding.id, record.line, outcome))
            continue;
        bool inRange = true;
        for (size_t i = 0; i < sums.size(); ++i)
            inRange =
                inRange && !__builtin_add_overflow(sums[i], moneyOf(withholding, int(i)), &sums[i]);
        if (!inRange)
            return Status::failure(QStringLiteral("Ritenute: alla riga %1 le somme degli importi "
                                                  "escono dai limiti")
                                       .arg(record.line));
        if (Status s = ledger::insertWithholdingKeepingKey(withholding); !s.ok())
            return s;
        ++outcome.written;
    }
    if (Status s =
            store::dialect::continueKeysAfter(store::connection(), QStringLiteral("Ritenute"));
        !s.ok())
        return s;
    const Result<qint64> stored = rowCount("Ritenute");
    if (!stored.ok())
        return stored.status;
    result.checks.append({QStringLiteral("Ritenute: righe"), false, outcome.written, stored.value});
    for (size_t i = 0; i < kMoneyColumns.size(); ++i) {
        const QString column = QLatin1String(kMoneyColumns[i]);
        const Result<qint64> sum =
            scalar(QStringLiteral("SELECT coalesce(sum(%1), 0) FROM Ritenute").arg(column));
        if (!sum.ok())
            return sum.status;
        result.checks.append(
            {QStringLiteral("Ritenute: somma di %1").arg(column), true, sums[i], sum.value});
    }
    result.tables.append(outcome);
    return Status::success();
}

} // namespace

Result<TablesOutcome> importTables(const QString& folderPath, const QDate& today) {
    Result<TablesOutcome> result;
    const QDir folder(folderPath);
    if (!folder.exists()) {
        result.status =
            Status::failure(QStringLiteral("la cartella %1 non esiste").arg(folderPath));
        return result;
    }
    // Every file is read and its header checked before the ledger is touched.
    QList<SourceFile> lookups;
    for (const Lookup& lookup : kLookups) {
        Result<SourceFile> source = readSource(folder, QLatin1String(lookup.table), lookup.columns);
        if (!source.ok())
            return {source.status, {}};
        lookups.append(source.value);
    }
    Result<SourceFile> subjects = readSource(folder, QStringLiteral("Soggetti"), kSubjectColumns);
    if (!subjects.ok())
        return {subjects.status, {}};
    Result<SourceFile> records =
        readSource(folder, QStringLiteral("Ritenute"), kWithholdingColumns);
    if (!records.ok())
        return {records.status, {}};

    const store::RecordedAs recorded(store::connection(), store::Azione::Importazione);
    if (!recorded.begun().ok())
        return {recorded.begun(), {}};
    Transaction transaction(store::connection());
    if (!transaction.begun().ok())
        return {transaction.begun(), {}};
    if (Status s = requireEmptyLedger(); !s.ok())
        return {s, {}};
    for (int i = 0; i < lookups.size(); ++i) {
        if (Status s = writeLookup(kLookups[i], lookups.at(i), result.value); !s.ok())
            return {s, result.value};
    }
    if (Status s = writeSubjects(subjects.value, today, result.value); !s.ok())
        return {s, result.value};
    if (Status s = writeWithholdings(records.value, today, result.value); !s.ok())
        return {s, result.value};
    for (const Check& check : result.value.checks) {
        if (!check.ok()) {
            result.status = Status::failure(
                QStringLiteral("%1 diverso tra i file e l'archivio; nulla è stato scritto")
                    .arg(check.what));
            return result;
        }
    }
    result.status = transaction.commit();
    return result;
}

QStringList outcomeLines(const TablesOutcome& outcome) {
    QStringList lines;
    for (const TableOutcome& table : outcome.tables) {
        lines.append(QStringLiteral("%1: lette %2, scritte %3, già presenti %4, rifiutate %5")
                         .arg(table.table)
                         .arg(table.read)
                         .arg(table.written)
                         .arg(table.alreadyPresent)
                         .arg(table.refused.size()));
        for (const QString& column : table.ignoredColumns)
            lines.append(QStringLiteral("  colonna ignorata: %1").arg(column));
        for (const RefusedRow& row : table.refused)
            lines.append(QStringLiteral("  riga %1 rifiutata: %2").arg(row.line).arg(row.reason));
    }
    for (const Check& check : outcome.checks) {
        const auto shown = [&check](qint64 value) {
            return check.money ? CtrNumD(Amount::fromCents(value)) : QString::number(value);
        };
        lines.append(QStringLiteral("controllo %1: file %2, archivio %3 (%4)")
                         .arg(check.what, shown(check.inFiles), shown(check.inLedger),
                              check.ok() ? QStringLiteral("uguali") : QStringLiteral("DIVERSI")));
    }
    return lines;
}

} // namespace importing
