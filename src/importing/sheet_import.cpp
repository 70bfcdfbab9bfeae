#include "importing/sheet_import.h"

#include "importing/sheet_rows.h"
#include "importing/sheet_values.h"
#include "ledger/withholding_record.h"
#include "ledger/withholding_rules.h"
#include "ledger/withholding_store.h"
#include "platform/message_boxes.h"
#include "platform/number_keys.h"
#include "registry/subject_store.h"
#include "store/connection.h"
#include "store/queries.h"
#include "store/transaction.h"

#include <QHash>
#include <QSqlQuery>
#include <QVariant>

namespace importing {
namespace {

const QString kWarningTitle = QStringLiteral("ERRORE - NON BLOCCANTE");

// Rows are the same record when user and year (those of the import), payee (letter case
// aside), invoice number and invoice date are.
QString duplicateKey(const QString& name, const QString& invoiceNumber, const QString& isoDate) {
    return name.trimmed().toCaseFolded() + u'\x1f' + invoiceNumber.trimmed() + u'\x1f' + isoDate;
}

QString duplicateKey(const WithholdingEntry& e) {
    return duplicateKey(e.subjectName, e.invoiceNumber,
                        ledger::isoFromShortDate(e.invoiceDate).value_or(QString()));
}

// The keys of the user's records of the year, mapped to nothing (they are the ledger's).
Result<QHash<QString, int>> ledgerKeys(const QString& userId, const QString& year) {
    Result<QHash<QString, int>> result;
    Result<QSqlQuery> query = store::run(
        QStringLiteral(
            "SELECT denominazione, FT, data FROM Ritenute WHERE utente = ? AND anno = ?"),
        {userId, year});
    result.status = query.status;
    while (query.ok() && query.value.next())
        result.value.insert(duplicateKey(query.value.value(0).toString(),
                                         query.value.value(1).toString(),
                                         query.value.value(2).toString()),
                            0);
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
    Planner(const SheetLayout& layout, const PlanOptions& options, QHash<QString, int> seen,
            QHash<QString, PayeeCodes> sheetCodes)
        : layout_(layout), options_(options), seen_(std::move(seen)),
          sheetCodes_(std::move(sheetCodes)) {}

    const QStringList& payeesWithoutTaxCode() const { return asked_; }

    Result<PlannedRow> plan(const sheet::Row& row) {
        Result<PlannedRow> result;
        PlannedRow& planned = result.value;
        planned.line = row.number;
        SheetEntry read = entryOfRow(row, layout_.fields, layout_.captions, options_.userId,
                                     options_.year, options_.today);
        planned.entry = read.entry;
        planned.payee = read.payee;
        if (!read.unreadable.isEmpty()) {
            planned.findings = read.unreadable;
            planned.verdict = RowVerdict::Stopped;
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
        planned.findings = ledger::checkBeforeSave(planned.entry, EntryMode::Insert);
        if (!planned.findings.isEmpty() && planned.findings.back().stops) {
            planned.verdict = RowVerdict::Stopped;
            return result;
        }
        result.status = resolveSubject(planned);
        if (planned.verdict != RowVerdict::Stopped) {
            planned.verdict = planned.findings.isEmpty() ? RowVerdict::Ready : RowVerdict::Warned;
            seen_.insert(key, planned.line);
        }
        return result;
    }

private:
    Status resolveSubject(PlannedRow& planned) {
        const QString name = planned.entry.subjectName.trimmed().toCaseFolded();
        auto found = subjects_.constFind(name);
        if (found == subjects_.cend()) {
            const Result<std::optional<qint64>> id =
                store::subjectIdByName(planned.entry.subjectName.trimmed());
            if (!id.ok())
                return id.status;
            found = subjects_.insert(name, id.value);
        }
        if (*found) {
            planned.entry.subjectId = QString::number(**found);
        } else if (options_.createSubjects) {
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
        PayeeCodes codes = sheetCodes_.value(folded);
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

    const SheetLayout& layout_;
    const PlanOptions& options_;
    QHash<QString, int> seen_; // key -> line of the file, 0 for the ledger's own records
    QHash<QString, PayeeCodes> sheetCodes_;
    QStringList asked_;
    QHash<QString, std::optional<qint64>> subjects_;
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

Result<ImportPlan> planImport(const sheet::Table& table, const SheetLayout& layout,
                              const PlanOptions& options) {
    Result<ImportPlan> result;
    Result<QHash<QString, int>> keys = ledgerKeys(options.userId, options.year);
    if (!keys.ok()) {
        result.status = keys.status;
        return result;
    }
    Planner planner(layout, options, std::move(keys.value), sheetCodes(table, layout));
    for (qsizetype i = layout.headerRow + 1; i < table.rows.size(); ++i) {
        const sheet::Row& row = table.rows.at(i);
        if (!hasMappedValue(row, layout.fields))
            continue;
        if (i == table.rows.size() - 1 && isTotalsRow(row, layout)) {
            result.value.totalsLine = row.number;
            continue;
        }
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

ImportOutcome runImport(const ImportPlan& plan, const ImportProgress& progress) {
    ImportOutcome outcome;
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
        registry::Subject subject;
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
