#include "importing/sheet_rows.h"

#include "importing/sheet_values.h"
#include "ledger/withholding_record.h"
#include "ledger/withholding_rules.h"
#include "shell/message_boxes.h"
#include "tax/due_date.h"

#include <array>

namespace importing {
namespace {

enum class Kind { Text, Amount, Rate, Date, Flag };

Kind kindOf(RecordField field) {
    switch (field) {
    case RecordField::Name:
    case RecordField::InvoiceNumber:
    case RecordField::Period:
    case RecordField::TaxCode:
    case RecordField::PayeeTaxCode:
    case RecordField::PayeeVatNumber:
        return Kind::Text;
    case RecordField::Rate:
        return Kind::Rate;
    case RecordField::InvoiceDate:
    case RecordField::PaymentDate:
    case RecordField::RemittanceDate:
    case RecordField::DueDate:
        return Kind::Date;
    case RecordField::Paid:
    case RecordField::LateRegularisation:
        return Kind::Flag;
    default:
        break;
    }
    return Kind::Amount;
}

QString kindName(Kind kind) {
    switch (kind) {
    case Kind::Amount:
    case Kind::Rate:
        return QStringLiteral("un importo");
    case Kind::Date:
        return QStringLiteral("una data");
    case Kind::Flag:
        return QStringLiteral("S o N");
    case Kind::Text:
        break;
    }
    return {};
}

// The text of a cell in the form the panel's field holds; no value when it does not read.
std::optional<QString> fieldText(Kind kind, const sheet::Value& cell, const QDate& today) {
    if (cell.isEmpty())
        return QString();
    switch (kind) {
    case Kind::Text:
        return textOfCell(cell);
    case Kind::Amount:
    case Kind::Rate:
        if (const std::optional<Amount> amount = amountOfCell(cell))
            return kind == Kind::Rate ? amount->plainText() : amount->format();
        break;
    case Kind::Date:
        if (const std::optional<QDate> date = dateOfCell(cell, today))
            return ledger::shortDateText(*date);
        break;
    case Kind::Flag:
        if (const std::optional<bool> flag = flagOfCell(cell))
            return *flag ? QStringLiteral("S") : QStringLiteral("N");
        break;
    }
    return std::nullopt;
}

QString* slotOf(SheetEntry& read, RecordField field, std::array<QString, 2>& flags) {
    WithholdingEntry& e = read.entry;
    switch (field) {
    case RecordField::Name:
        return &e.subjectName;
    case RecordField::InvoiceNumber:
        return &e.invoiceNumber;
    case RecordField::InvoiceDate:
        return &e.invoiceDate;
    case RecordField::Taxable:
        return &e.taxable;
    case RecordField::Rate:
        return &e.rate;
    case RecordField::Withheld:
        return &e.withheld;
    case RecordField::Other:
        return &e.other;
    case RecordField::Total:
        return &e.total;
    case RecordField::Paid:
        return &flags[0];
    case RecordField::PaymentDate:
        return &e.paymentDate;
    case RecordField::Period:
        return &e.period;
    case RecordField::RemittanceDate:
        return &e.remittanceDate;
    case RecordField::LateRegularisation:
        return &flags[1];
    case RecordField::Remitted:
        return &e.remitted;
    case RecordField::Interest:
        return &e.interest;
    case RecordField::Penalty:
        return &e.penalty;
    case RecordField::TaxCode:
        return &e.taxCode;
    case RecordField::DueDate:
        return &e.dueDate;
    case RecordField::PayeeTaxCode:
        return &read.payee.taxCode;
    case RecordField::PayeeVatNumber:
        return &read.payee.vatNumber;
    }
    return nullptr;
}

} // namespace

SheetEntry entryOfRow(const sheet::Row& row, const ColumnFields& fields,
                      const QStringList& captions, const QString& userId, const QString& year,
                      const QDate& today) {
    SheetEntry result;
    WithholdingEntry& e = result.entry;
    e.user = userId;
    e.year = year;
    std::array<QString, 2> flags; // paid, late regularisation: "S", "N" or blank
    bool paidColumn = false;
    for (int column = 0; column < fields.size(); ++column) {
        if (!fields.at(column))
            continue;
        const RecordField field = *fields.at(column);
        paidColumn = paidColumn || field == RecordField::Paid;
        const sheet::Value cell = row.cells.value(column);
        const Kind kind = kindOf(field);
        if (const std::optional<QString> text = fieldText(kind, cell, today)) {
            *slotOf(result, field, flags) = *text;
            continue;
        }
        result.unreadable.append(
            {QStringLiteral("Colonna «%1»: «%2» non è %3")
                 .arg(captions.value(column), textOfCell(cell), kindName(kind)),
             blockingTitle(), QString(), true});
    }
    e.paid = paidColumn ? flags[0] == u"S" : !e.paymentDate.isEmpty();
    e.lateRegularisation = flags[1] == u"S";
    if (const std::optional<QDate> paid = ledger::readShortDate(e.paymentDate)) {
        if (e.period.isEmpty())
            e.period = ledger::periodOf(*paid);
        if (e.dueDate.isEmpty())
            e.dueDate = ledger::shortDateText(tax::nominalDueDate(*paid));
    }
    // The ledger stores a blank Totale Versato as 0, and so do its exports: 0 without a
    // remittance date is nothing remitted yet, not an amount that fails to add up.
    if (e.remittanceDate.isEmpty() && Amount::parse(e.remitted) == Amount())
        e.remitted.clear();
    // Choosing the rate in the panel puts 0 into an empty Altro.
    if (e.other.isEmpty())
        e.other = Amount().format();
    if (e.total.isEmpty())
        e.total = ledger::recomputedTotal(e).value_or(QString());
    // Text columns take an empty text, never NULL, as the panel's fields write it.
    for (QString* text : {&e.subjectName, &e.invoiceNumber, &e.period, &e.taxCode}) {
        if (text->isNull())
            *text = QStringLiteral("");
    }
    return result;
}

} // namespace importing
