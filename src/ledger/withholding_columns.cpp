#include "ledger/withholding_columns.h"

#include <QStringList>
#include <array>

namespace ledger {
namespace {

using enum CellFormat;
using R = WithholdingRecord;

constexpr std::array<WithholdingColumn, ColumnCount> kColumns = {{
    {"ID", &R::id, Plain, false, 0},
    {"ID_A", &R::subjectId, Plain, false, 0},
    {"denominazione", &R::name, Plain, true, 4000},
    {"FT", &R::invoiceNumber, Plain, true, 600},
    {"data", &R::invoiceDate, Date, true, 1000},
    {"imponibile", &R::taxable, Money, true, 1000},
    {"aliquota", &R::rate, Rate, true, 800},
    {"ritenuta", &R::withheld, Money, true, 1000},
    {"altro", &R::other, Money, true, 1000},
    {"totale", &R::total, Money, true, 1000},
    {"pag", &R::paid, Flag, true, 800},
    {"datap", &R::paymentDate, Date, true, 1000},
    {"periodo", &R::period, Plain, true, 500},
    {"versamento", &R::remittanceDate, Date, true, 1000},
    {"ravv", &R::lateRegularisation, Flag, true, 800},
    {"versato", &R::remitted, Money, true, 1000},
    {"interessi", &R::interest, Money, true, 1000},
    {"sanzione", &R::penalty, Money, true, 1000},
    {"tributo", &R::taxCode, Plain, true, 1000},
    {"anno", &R::year, Plain, true, 1000},
    {"utente", &R::user, Plain, true, 800},
    {"scadenza", &R::dueDate, Date, true, 1000},
    {"versione", &R::version, Plain, false, 0},
}};

} // namespace

std::span<const WithholdingColumn> withholdingColumns() {
    return kColumns;
}

QString withholdingColumnList() {
    QStringList names;
    for (const WithholdingColumn& column : kColumns)
        names.append(QString::fromLatin1(column.name));
    return names.join(QStringLiteral(", "));
}

} // namespace ledger
