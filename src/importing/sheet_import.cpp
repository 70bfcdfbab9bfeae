#include "importing/sheet_import.h"

#include "importing/sheet_rows.h"
#include "importing/sheet_values.h"
#include "ledger/withholding_record.h"
#include "ledger/withholding_rules.h"
#include "ledger/withholding_store.h"
#include "registry/subject_store.h"
#include "shell/message_boxes.h"
#include "store/change_record.h"
#include "store/connection.h"
#include "store/queries.h"
#include "store/transaction.h"
#include "values/number_keys.h"

#include <QHash>
#include <QSqlQuery>
#include <QVariant>

namespace importing {
namespace {

const QString kWarningTitle = QStringLiteral("ERRORE - NON BLOCCANTE");

// Rows are the same record when user, year (unless any year counts), payee (letter case
// aside), invoice number and invoice date are.
QString duplicateKey(const QString& user, const QString& name, const QString& invoiceNumber,
                     const QString& isoDate) {
    return user + u'\x1f' + name.trimmed().toCaseFolded() + u'\x1f' + invoiceNumber.trimmed() +
           u'\x1f' + isoDate;
}

QString duplicateKey(const WithholdingEntry& e) {
    return duplicateKey(e.user, e.subjectName, e.invoiceNumber,
                        ledger::isoFromShortDate(e.invoiceDate).value_or(QString()));
}

// The keys of the records of the rows' users, of the plan's year or of every year,
// mapped to nothing (they are the ledger's).
Result<QHash<QString, int>> ledgerKeys(const QList<CandidateRow>& rows,
                                       const PlanOptions& options) {
    Result<QHash<QString, int>> result;
    QStringList users;
    for (const CandidateRow& row : rows) {
        if (!users.contains(row.entry.user))
            users.append(row.entry.user);
    }
    for (const QString& user : users) {
        Result<QSqlQuery> query =
            options.duplicatesInEveryYear
                ? store::run(QStringLiteral(
                                 "SELECT denominazione, FT, data FROM Ritenute WHERE utente = ?"),
                             {user})
                : store::run(QStringLiteral("SELECT denominazione, FT, data FROM Ritenute WHERE "
                                            "utente = ? AND anno = ?"),
                             {user, options.year});
        result.status = query.status;
        if (!query.ok())
            return result;
        while (query.value.next())
            result.value.insert(duplicateKey(user, query.value.value(0).toString(),
                                             query.value.value(1).toString(),
                                             query.value.value(2).toString()),
                                0);
    }
    return result;
}

bool isTotalsRow(const sheet::Row& row, const SheetLayout& layout) {
    const auto first = std::find_if(row.cells.begin(), row.cells.end(),
                                    [](const sheet::Value& cell) { return !cell.isEmpty(); });
    if (first == row.cells.end() || first->kind != sheet::Value::Kind::Text ||
        first->text.trimmed().compare(QStringLiteral("Totale"), Qt::CaseInsensitive) != 0)
        return false;
    for (int column = 0; column < layout.fields.size(); ++column) {
        const std::optional<RecordField> field = layout.fields.at(column);
        if ((field == RecordField::InvoiceDate || field == RecordField::InvoiceNumber) &&
            !row.cells.value(column).isEmpty())
            return false;
    }
    return true;
}

bool hasMappedValue(const sheet::Row& row, const ColumnFields& fields) {
    for (int column = 0; column < fields.size(); ++column) {
        if (fields.at(column) && !row.cells.value(column).isEmpty())
            return true;
    }
    return false;
}

QString foldedName(const QString& name) {
    return name.trimmed().toCaseFolded();
}

// The codes each payee has in the sheet, by folded name: the first codice fiscale and the
// first partita IVA written on any of its rows, as the subject panel would take them.
QHash<QString, PayeeCodes> sheetCodes(const sheet::Table& table, const SheetLayout& layout) {
    const auto columnOf = [&layout](RecordField field) {
        return int(layout.fields.indexOf(std::optional<RecordField>(field)));
    };
    const int name = columnOf(RecordField::Name);
    const int taxCode = columnOf(RecordField::PayeeTaxCode);
    const int vatNumber = columnOf(RecordField::PayeeVatNumber);
    QHash<QString, PayeeCodes> codes;
    if (name < 0)
        return codes;
    for (qsizetype i = layout.headerRow + 1; i < table.rows.size(); ++i) {
        const sheet::Row& row = table.rows.at(i);
        PayeeCodes& payee = codes[foldedName(textOfCell(row.cells.value(name)))];
        if (payee.taxCode.isEmpty() && taxCode >= 0)
            payee.taxCode = textOfCell(row.cells.value(taxCode)).trimmed().toUpper();
        if (payee.vatNumber.isEmpty() && vatNumber >= 0) {
            const sheet::Value cell = row.cells.value(vatNumber);
            payee.vatNumber = textOfCell(cell);
            // A number cell has lost the leading zeros of the eleven digits.
            if (cell.kind == sheet::Value::Kind::Number)
                payee.vatNumber = payee.vatNumber.rightJustified(11, u'0');
        }
    }
    return codes;
}

class Planner {
public:
    Planner(const PlanOptions& options, QHash<QString, int> seen,
            const QHash<QString, PayeeCodes>& sourceCodes)
        : options_(options), seen_(std::move(seen)), sourceCodes_(sourceCodes) {}

    const QStringList& payeesWithoutTaxCode() const { return asked_; }

    Result<PlannedRow> plan(const CandidateRow& row) {
        Result<PlannedRow> result;
        PlannedRow& planned = result.value;
        planned.line = row.line;
        planned.source = row.source;
        planned.entry = row.entry;
        planned.payee = row.payee;
        planned.details = row.details;
        if (!row.unreadable.isEmpty()) {
            planned.findings = row.unreadable;
            planned.verdict = RowVerdict::Stopped;
            return result;
        }
        bool unmatched = false;
        if (row.matchByCodes) {
            result.status = identifySubject(planned, unmatched);
            if (!result.ok())
                return result;
        }
        const QString key = duplicateKey(planned.entry);
        if (const auto found = seen_.constFind(key); found != seen_.cend()) {
            planned.findings.append(
                {*found == 0 ? QStringLiteral("Già presente nel registro: stesso soggetto, "
                                              "numero e data della fattura")
                             : QStringLiteral("Uguale alla riga %1 del file").arg(*found),
                 kWarningTitle, QString(), false});
            planned.verdict = RowVerdict::Duplicate;
            return result;
        }
        planned.findings = row.notes + ledger::checkBeforeSave(planned.entry, EntryMode::Insert);
        if (!planned.findings.isEmpty() && planned.findings.back().stops) {
            planned.verdict = RowVerdict::Stopped;
            return result;
        }
        if (planned.entry.subjectId.isEmpty())
            result.status = resolveSubject(planned, unmatched);
        if (planned.verdict != RowVerdict::Stopped) {
            planned.verdict = planned.findings.isEmpty() ? RowVerdict::Ready : RowVerdict::Warned;
            seen_.insert(key, planned.line);
        }
        return result;
    }

private:
    // The subject of the payee's codice fiscale, else of its partita IVA; `unmatched`
    // when the payee has a code and no subject has it (then the name does not count).
    Status identifySubject(PlannedRow& planned, bool& unmatched) {
        const std::pair<store::SubjectCode, QString> codes[] = {
            {store::SubjectCode::TaxCode, planned.payee.taxCode},
            {store::SubjectCode::VatNumber, planned.payee.vatNumber}};
        for (const auto& [kind, code] : codes) {
            if (code.trimmed().isEmpty())
                continue;
            unmatched = true;
            const QString cacheKey = QString::number(int(kind)) + code.trimmed().toUpper();
            auto found = byCode_.constFind(cacheKey);
            if (found == byCode_.cend()) {
                const Result<std::optional<store::SubjectRef>> subject =
                    store::subjectByCode(kind, code);
                if (!subject.ok())
                    return subject.status;
                found = byCode_.insert(cacheKey, subject.value);
            }
            if (*found) {
                planned.entry.subjectId = QString::number((*found)->id);
                planned.entry.subjectName = (*found)->name;
                unmatched = false;
                break;
            }
        }
        return Status::success();
    }

    // The subject of the payee's name, unless its codes matched none.
    Status resolveSubject(PlannedRow& planned, bool unmatched) {
        const QString name = planned.entry.subjectName.trimmed().toCaseFolded();
        auto found = subjects_.constFind(name);
        if (found == subjects_.cend()) {
            const Result<std::optional<qint64>> id =
                store::subjectIdByName(planned.entry.subjectName.trimmed());
            if (!id.ok())
                return id.status;
            found = subjects_.insert(name, id.value);
        }
        if (*found && !unmatched) {
            planned.entry.subjectId = QString::number(**found);
            return Status::success();
        }
        if (options_.createSubjects) {
            createSubject(planned);
        } else {
            planned.findings.append(
                {QStringLiteral("«%1» non è in anagrafica: scegliere di inserire i soggetti "
                                "nuovi per importarla")
                     .arg(planned.entry.subjectName.trimmed()),
                 blockingTitle(), QString(), true});
            planned.verdict = RowVerdict::Stopped;
        }
        return Status::success();
    }

    // A payee to create takes its codes from the sheet, or from the operator when the
    // sheet has no codice fiscale for it; they are checked as the subject panel checks
    // them, and a row they fail is left out with the reason.
    void createSubject(PlannedRow& planned) {
        const QString name = planned.entry.subjectName.trimmed();
        const QString folded = foldedName(name);
        PayeeCodes codes = sourceCodes_.value(folded);
        const PayeeCodes typed = options_.typedCodes.value(folded);
        if (codes.taxCode.isEmpty()) {
            if (!asked_.contains(name, Qt::CaseInsensitive))
                asked_.append(name);
            codes.taxCode = typed.taxCode.trimmed().toUpper();
        }
        if (codes.vatNumber.isEmpty())
            codes.vatNumber = typed.vatNumber.trimmed();
        const QString ownTaxCode = planned.payee.taxCode.trimmed().toUpper();
        QString reason;
        if (codes.taxCode.isEmpty())
            reason = QStringLiteral("«%1»: manca il codice fiscale, da scrivere tra i soggetti "
                                    "nuovi")
                         .arg(name);
        else if (!ownTaxCode.isEmpty() && ownTaxCode != codes.taxCode)
            reason = QStringLiteral("«%1»: codice fiscale %2 diverso da %3 di un'altra riga")
                         .arg(name, ownTaxCode, codes.taxCode);
        else if (filterNumberText(codes.vatNumber) != codes.vatNumber)
            reason = QStringLiteral("«%1»: partita IVA «%2» non valida: solo cifre")
                         .arg(name, codes.vatNumber);
        if (!reason.isEmpty()) {
            planned.findings.append({reason, blockingTitle(), QString(), true});
            planned.verdict = RowVerdict::Stopped;
            return;
        }
        planned.newSubject = true;
        planned.payee = codes;
        planned.findings.append({QStringLiteral("Soggetto nuovo: sarà inserito in anagrafica"),
                                 kWarningTitle, QString(), false});
    }

    const PlanOptions& options_;
    QHash<QString, int> seen_; // key -> line of the file, 0 for the ledger's own records
    const QHash<QString, PayeeCodes>& sourceCodes_;
    QStringList asked_;
    QHash<QString, std::optional<qint64>> subjects_;
    QHash<QString, std::optional<store::SubjectRef>> byCode_; // kind and code -> subject
};

} // namespace

SheetLayout layoutOf(const sheet::Table& table) {
    SheetLayout layout;
    layout.headerRow = findHeaderRow(table.rows);
    if (layout.headerRow < 0)
        return layout;
    const sheet::Row& header = table.rows.at(layout.headerRow);
    for (const sheet::Value& cell : header.cells)
        layout.captions.append(cell.kind == sheet::Value::Kind::Text ? cell.text.trimmed()
                                                                     : QString());
    layout.fields = matchCaptions(header);
    return layout;
}

QStringList PlannedRow::messages() const {
    QStringList stops;
    QStringList warnings;
    for (const SaveFinding& finding : findings)
        (finding.stops ? stops : warnings).append(finding.message.trimmed());
    return stops + warnings;
}

int ImportPlan::count(RowVerdict verdict) const {
    return int(std::count_if(rows.begin(), rows.end(),
                             [verdict](const PlannedRow& row) { return row.verdict == verdict; }));
}

QStringList ImportPlan::newSubjects() const {
    QStringList names;
    QStringList folded;
    for (const PlannedRow& row : rows) {
        const QString name = row.entry.subjectName.trimmed();
        if (row.newSubject && !folded.contains(name.toCaseFolded())) {
            names.append(name);
            folded.append(name.toCaseFolded());
        }
    }
    return names;
}

Result<ImportPlan> planRows(const QList<CandidateRow>& rows, const PlanOptions& options,
                            const QHash<QString, PayeeCodes>& codes) {
    Result<ImportPlan> result;
    Result<QHash<QString, int>> keys = ledgerKeys(rows, options);
    if (!keys.ok()) {
        result.status = keys.status;
        return result;
    }
    Planner planner(options, std::move(keys.value), codes);
    result.value.rows.reserve(rows.size());
    for (const CandidateRow& row : rows) {
        Result<PlannedRow> planned = planner.plan(row);
        if (!planned.ok()) {
            result.status = planned.status;
            return result;
        }
        result.value.rows.append(planned.value);
    }
    result.value.payeesWithoutTaxCode = planner.payeesWithoutTaxCode();
    return result;
}

Result<ImportPlan> planImport(const sheet::Table& table, const SheetLayout& layout,
                              const PlanOptions& options) {
    QList<CandidateRow> rows;
    int totalsLine = 0;
    for (qsizetype i = layout.headerRow + 1; i < table.rows.size(); ++i) {
        const sheet::Row& row = table.rows.at(i);
        if (!hasMappedValue(row, layout.fields))
            continue;
        if (i == table.rows.size() - 1 && isTotalsRow(row, layout)) {
            totalsLine = row.number;
            continue;
        }
        SheetEntry read = entryOfRow(row, layout.fields, layout.captions, options.userId,
                                     options.year, options.today);
        CandidateRow candidate;
        candidate.line = row.number;
        candidate.entry = std::move(read.entry);
        candidate.payee = std::move(read.payee);
        candidate.unreadable = std::move(read.unreadable);
        rows.append(std::move(candidate));
    }
    Result<ImportPlan> result = planRows(rows, options, sheetCodes(table, layout));
    result.value.totalsLine = totalsLine;
    return result;
}

ImportOutcome runImport(const ImportPlan& plan, const ImportProgress& progress) {
    ImportOutcome outcome;
    const store::RecordedAs recorded(store::connection(), store::Azione::Importazione);
    if (!recorded.begun().ok()) {
        outcome.status = recorded.begun();
        return outcome;
    }
    Transaction transaction(store::connection());
    if (!transaction.begun().ok()) {
        outcome.status = transaction.begun();
        return outcome;
    }
    QHash<QString, qint64> created;
    for (const PlannedRow& row : plan.rows) {
        const QString name = row.entry.subjectName.trimmed();
        if (!row.newSubject || created.contains(foldedName(name)))
            continue;
        registry::Subject subject = row.details;
        subject.name = name;
        subject.taxCode = row.payee.taxCode;
        subject.vatNumber = row.payee.vatNumber;
        const Result<qint64> id = registry::appendSubject(subject);
        if (!id.ok()) {
            outcome.status = id.status;
            return outcome;
        }
        created.insert(foldedName(name), id.value);
    }
    const qint64 total = plan.importable();
    for (const PlannedRow& row : plan.rows) {
        if (row.verdict != RowVerdict::Ready && row.verdict != RowVerdict::Warned)
            continue;
        if (progress && !progress(outcome.records, total)) {
            outcome.cancelled = true;
            outcome.records = 0;
            return outcome;
        }
        WithholdingEntry entry = row.entry;
        if (row.newSubject)
            entry.subjectId =
                QString::number(created.value(entry.subjectName.trimmed().toCaseFolded()));
        if (const Status written = ledger::appendWithholding(ledger::recordFromEntry(entry));
            !written.ok()) {
            outcome.status =
                Status::failure(QStringLiteral("riga %1: %2").arg(row.line).arg(written.error()));
            outcome.records = 0;
            return outcome;
        }
        ++outcome.records;
    }
    if (progress && !progress(outcome.records, total)) {
        outcome.cancelled = true;
        outcome.records = 0;
        return outcome;
    }
    outcome.status = transaction.commit();
    if (!outcome.status.ok())
        outcome.records = 0;
    else
        outcome.subjects = int(created.size());
    return outcome;
}

} // namespace importing
