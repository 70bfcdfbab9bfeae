#include "importing/legacy_rows.h"

#include "importing/legacy_values.h"
#include "ledger/lookup_tables.h"

#include <optional>

namespace importing {

HeaderColumns::HeaderColumns(const QStringList& header) : count_(int(header.size())) {
    for (int i = 0; i < header.size(); ++i)
        positions_.insert(header.at(i).trimmed().toLower(), i);
}

QString HeaderColumns::text(const CsvRecord& record, const char* column) const {
    const int at = positions_.value(QString::fromLatin1(column).toLower(), -1);
    return at < 0 || at >= record.fields.size() ? QString() : record.fields.at(at);
}

bool HeaderColumns::has(const char* column) const {
    return positions_.contains(QString::fromLatin1(column).toLower());
}

namespace {

// Reads the fields of one record, keeping the first field that does not read.
class RowReader {
public:
    RowReader(const HeaderColumns& columns, const CsvRecord& record, const QDate& today)
        : columns_(columns), record_(record), today_(today) {
        if (record.fields.size() != columns.size())
            fail(QStringLiteral("la riga ha %1 campi, l'intestazione %2")
                     .arg(record.fields.size())
                     .arg(columns.size()));
    }

    const std::optional<Refusal>& refusal() const { return refusal_; }

    QString text(const char* column) const { return columns_.text(record_, column); }

    qint64 key(const char* column) {
        const std::optional<qint64> id = wholeFromText(text(column));
        if (!id || *id <= 0)
            fail(QStringLiteral("%1 \"%2\" non è una chiave (un numero intero positivo)")
                     .arg(QLatin1String(column), text(column)));
        return id.value_or(0);
    }

    Nullable<qint64> optionalKey(const char* column) {
        if (text(column).trimmed().isEmpty())
            return std::nullopt;
        return key(column);
    }

    qint64 cents(const char* column) {
        const std::optional<Amount> amount = amountFromDecimalText(text(column));
        if (!amount)
            fail(QStringLiteral("%1 \"%2\" non è un importo (cifre con il punto decimale)")
                     .arg(QLatin1String(column), text(column)));
        return amount ? amount->cents() : 0;
    }

    QDate date(const char* column) {
        const std::optional<QDate> date = dateFromText(text(column), today_);
        if (!date)
            fail(QStringLiteral("%1 \"%2\" non è una data")
                     .arg(QLatin1String(column), text(column)));
        return date.value_or(QDate());
    }

    Nullable<QString> isoDate(const char* column) {
        const QDate d = date(column);
        return d.isValid() ? Nullable<QString>(d.toString(Qt::ISODate)) : std::nullopt;
    }

    QString flag(const char* column) {
        const std::optional<QString> flag = flagFromText(text(column));
        if (!flag)
            fail(QStringLiteral("%1 \"%2\" non è S o N").arg(QLatin1String(column), text(column)));
        return flag.value_or(QString());
    }

    // A numeric column written as "2021" or "2021.0" keeps its digits only.
    QString number(const char* column) const {
        const std::optional<qint64> whole = wholeFromText(text(column));
        return whole ? QString::number(*whole) : text(column).trimmed();
    }

    void fail(const QString& reason) {
        if (!refusal_)
            refusal_ = Refusal{reason};
    }

private:
    const HeaderColumns& columns_;
    const CsvRecord& record_;
    QDate today_;
    std::optional<Refusal> refusal_;
};

template <typename T> Converted<T> outcome(const RowReader& reader, T value) {
    if (reader.refusal())
        return *reader.refusal();
    return value;
}

} // namespace

Converted<SubjectRow> subjectFromRow(const HeaderColumns& columns, const CsvRecord& record,
                                     const QDate& today) {
    RowReader r(columns, record, today);
    SubjectRow row;
    row.id = r.key("ID");
    registry::Subject& s = row.subject;
    s.name = r.text("denominazione");
    s.address = r.text("indirizzo");
    s.town = r.text("citta");
    s.postalCode = r.text("cap");
    s.province = r.text("pr");
    s.birthDate = r.date("datanascita");
    s.birthPlace = r.text("luogo");
    s.birthProvince = r.text("prnascita");
    s.taxCode = r.text("codice");
    s.vatNumber = r.text("partita");
    s.user = r.flag("utente") == QLatin1String("S");
    s.note = r.text("note");
    return outcome(r, row);
}

Converted<WithholdingRecord> withholdingFromRow(const HeaderColumns& columns,
                                                const CsvRecord& record, const QDate& today) {
    RowReader r(columns, record, today);
    WithholdingRecord w;
    w.id = r.key("ID");
    w.subjectId = r.optionalKey("ID_A");
    w.name = r.text("denominazione");
    w.invoiceNumber = r.text("FT");
    w.invoiceDate = r.isoDate("data");
    w.taxable = r.cents("imponibile");
    w.rate = r.cents("aliquota");
    w.withheld = r.cents("ritenuta");
    w.other = r.cents("altro");
    w.total = r.cents("totale");
    w.paid = r.flag("pag");
    w.paymentDate = r.isoDate("datap");
    w.period = r.number("periodo");
    w.remittanceDate = r.isoDate("versamento");
    w.lateRegularisation = r.flag("ravv");
    w.remitted = r.cents("versato");
    w.interest = r.cents("interessi");
    w.penalty = r.cents("sanzione");
    w.taxCode = r.text("tributo").trimmed();
    w.year = r.number("anno");
    w.user = r.number("utente");
    w.dueDate = r.isoDate("scadenza");
    return outcome(r, w);
}

namespace {

QVariant checkedCell(RowReader& r, lookup::Table table, const char* column, const QString& text) {
    const lookup::CellValue cell = lookup::checkCell(table, QLatin1String(column), text);
    if (!cell.ok())
        r.fail(cell.refusal->text);
    return cell.stored;
}

} // namespace

Converted<QVariantList> lookupFromRow(LookupTable table, const HeaderColumns& columns,
                                      const CsvRecord& record) {
    RowReader r(columns, record, QDate());
    QVariantList values;
    switch (table) {
    case LookupTable::Years:
        values = {checkedCell(r, lookup::Table::Years, "Anno", r.number("Anno"))};
        break;
    case LookupTable::Periods:
        if (r.number("periodo").isEmpty())
            r.fail(QStringLiteral("periodo vuoto"));
        values = {r.number("periodo")};
        break;
    case LookupTable::TaxCodes:
        values = {checkedCell(r, lookup::Table::TaxCodes, "codice", r.text("codice")),
                  r.text("Causale")};
        break;
    case LookupTable::Rates: {
        const qint64 cents = r.cents("Percentuale");
        values = {checkedCell(r, lookup::Table::Rates, "Percentuale",
                              Amount::fromCents(cents).plainText())};
        break;
    }
    }
    return outcome(r, values);
}

} // namespace importing
