#include "ledger/ledger_grid_query.h"

#include "store/connection.h"
#include "store/name_order.h"
#include "values/amount.h"
#include "values/date_text.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <cmath>

namespace ledger {
namespace {

using enum CellFormat;

// Cents as stored; a value written with a fraction of a cent shows rounded.
std::optional<qint64> centsOf(const QVariant& value) {
    if (value.isNull())
        return std::nullopt;
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::fabs(d) > 9e18)
            return std::nullopt;
        return qint64(std::llround(d));
    }
    bool ok = false;
    const qint64 cents = value.toLongLong(&ok);
    if (!ok || cents < -Amount::kMaxCents)
        return std::nullopt;
    return cents;
}

} // namespace

Result<QStringList> longestInvoiceNumbers(const QString& year, const QString& userId) {
    Result<QStringList> result;
    Result<QSqlQuery> query =
        store::run(QStringLiteral("SELECT DISTINCT FT, length(FT) FROM Ritenute WHERE utente = ? "
                                  "AND anno = ? ORDER BY length(FT) DESC, FT DESC LIMIT 20"),
                   {userId, year});
    result.status = query.status;
    while (query.ok() && query.value.next())
        result.value.append(query.value.value(0).toString());
    return result;
}

KeyedQuery ledgerGridQuery(const QString& year, const QString& userId) {
    // Names in Italian order (key, then name), then by date; the ID last keeps records
    // of one subject on one day in a stable order. The index on (utente, anno, ordine,
    // denominazione, data) ends with the row ID, so it alone gives the keys in order:
    // nothing is sorted and no record is read to list the year.
    return {QStringLiteral("Ritenute"),   QStringLiteral("ID"),
            withholdingColumnList(),      QStringLiteral("utente = ? AND anno = ?"),
            QString(store::kLedgerOrder), {userId, year}};
}

QString cellText(CellFormat format, const QVariant& value) {
    switch (format) {
    case Plain:
    case Flag:
        return value.toString();
    case Money:
    case Rate: {
        const std::optional<qint64> cents = centsOf(value);
        if (!cents)
            return value.toString();
        const Amount amount = Amount::fromCents(*cents);
        return format == Money ? amount.format() : amount.plainText();
    }
    case Date: {
        return shownDate(value);
    }
    }
    return value.toString();
}

QList<field_changes::Field> recordChangeFields() {
    QList<field_changes::Field> fields;
    for (const WithholdingColumn& column : withholdingColumns()) {
        const QString name = QString::fromLatin1(column.name);
        if (name == QLatin1String("ID") || name == QLatin1String("versione"))
            continue;
        const CellFormat format = column.format;
        fields.append({name.toLower(), name,
                       [format](const QVariant& value) { return cellText(format, value); }});
    }
    return fields;
}

table_export::CellKind exportKind(CellFormat format) {
    switch (format) {
    case Money:
        return table_export::CellKind::Money;
    case Rate:
        return table_export::CellKind::Rate;
    case Date:
        return table_export::CellKind::Date;
    case Flag:
        return table_export::CellKind::Flag;
    case Plain:
        break;
    }
    return table_export::CellKind::Text;
}

} // namespace ledger
