#include "ledger/lookup_tables.h"

#include "ledger/withholding_rules.h"
#include "shell/message_boxes.h"
#include "store/connection.h"
#include "store/dialect.h"
#include "store/transaction.h"
#include "values/amount.h"
#include "values/date_text.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace lookup {
namespace {

const QString kEmptyTitle = QStringLiteral("ERRORE - CAMPO   VUOTO");

CellValue refuse(const QString& text, const QString& title) {
    return {QVariant(), Refusal{text, title}};
}

bool isFourDigitYear(const QString& text) {
    if (text.size() != 4)
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool isColumn(const QString& column, const char* name) {
    return column.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

bool isRateColumn(Table table, const QString& column) {
    return (table == Table::Rates && isColumn(column, "Percentuale")) ||
           (table == Table::LegalRates && isColumn(column, "tasso"));
}

bool isDateColumn(Table table, const QString& column) {
    return (table == Table::Deferrals &&
            (isColumn(column, "originale") || isColumn(column, "nuova"))) ||
           (table == Table::ReturnDeadlines && isColumn(column, "scadenza"));
}

// The columns a write may name: only these are ever put into statement text.
bool isWritable(Table table, const QString& column) {
    QStringList allowed{keyColumn(table)};
    if (table == Table::TaxCodes)
        allowed.append(QStringLiteral("Causale"));
    else if (table == Table::LegalRates)
        allowed.append(QStringLiteral("tasso"));
    else if (table == Table::Deferrals)
        allowed.append({QStringLiteral("nuova"), QStringLiteral("nota")});
    else if (table == Table::ReturnDeadlines)
        allowed.append(
            {QStringLiteral("scadenza"), QStringLiteral("confermata"), QStringLiteral("nota")});
    return allowed.contains(column, Qt::CaseInsensitive);
}

CellValue checkYear(const QString& text) {
    if (text.isEmpty())
        return refuse(QStringLiteral("Inserire l'anno: quattro cifre, ad esempio 2024."),
                      kEmptyTitle);
    if (!isFourDigitYear(text))
        return refuse(QStringLiteral("L'anno deve essere di quattro cifre, ad esempio 2024."),
                      blockingTitle());
    return {text, std::nullopt};
}

CellValue checkLegalRate(const QString& text) {
    // Empty is allowed: the year is then known to have no rate yet.
    if (text.isEmpty())
        return {QVariant(), std::nullopt};
    const std::optional<Amount> rate = Amount::parse(text);
    if (!rate || rate->cents() < 0 || rate->cents() > 10000)
        return refuse(QStringLiteral("Il tasso legale deve essere un numero da 0 a 100, ad "
                                     "esempio 2 oppure 1,6."),
                      blockingTitle());
    return {rate->cents(), std::nullopt};
}

CellValue checkDate(const QString& text, bool required) {
    if (text.isEmpty()) {
        if (required)
            return refuse(QStringLiteral("Inserire la scadenza originale, ad esempio 16/03/2020."),
                          kEmptyTitle);
        return {QVariant(), std::nullopt};
    }
    const std::optional<QString> iso = ledger::isoFromShortDate(text);
    if (!iso)
        return refuse(QStringLiteral("Data non valida: scriverla come gg/mm/aaaa, ad esempio "
                                     "20/03/2020."),
                      blockingTitle());
    return {*iso, std::nullopt};
}

CellValue checkConfirmed(const QString& text) {
    const QString flag = text.toUpper();
    if (flag != u"S" && flag != u"N")
        return refuse(QStringLiteral("Scrivere S se la scadenza è confermata, N se non lo è."),
                      text.isEmpty() ? kEmptyTitle : blockingTitle());
    return {flag, std::nullopt};
}

CellValue checkReturnDeadline(const QString& column, const QString& typed) {
    const QString text = typed.trimmed();
    if (isColumn(column, "violazione"))
        return checkYear(text);
    if (isColumn(column, "confermata"))
        return checkConfirmed(text);
    if (isColumn(column, "scadenza"))
        return checkDate(text, false);
    return {typed, std::nullopt};
}

Status refuseColumn(const QString& column) {
    return Status::failure(QStringLiteral("colonna non modificabile: ") + column);
}

} // namespace

QString tableName(Table table) {
    switch (table) {
    case Table::Years:
        return QStringLiteral("Anno");
    case Table::TaxCodes:
        return QStringLiteral("Tributo");
    case Table::Rates:
        return QStringLiteral("Percentuale");
    case Table::LegalRates:
        return QStringLiteral("TassoLegale");
    case Table::Deferrals:
        return QStringLiteral("Proroghe");
    case Table::ReturnDeadlines:
        break;
    }
    return QStringLiteral("ScadenzaDichiarazione");
}

QString keyColumn(Table table) {
    switch (table) {
    case Table::Years:
        return QStringLiteral("Anno");
    case Table::TaxCodes:
        return QStringLiteral("codice");
    case Table::Rates:
        return QStringLiteral("Percentuale");
    case Table::LegalRates:
        return QStringLiteral("anno");
    case Table::Deferrals:
        return QStringLiteral("originale");
    case Table::ReturnDeadlines:
        break;
    }
    return QStringLiteral("violazione");
}

QString columnHeading(const QString& column) {
    static const std::pair<const char*, const char*> headings[] = {
        {"anno", "Anno"},
        {"tasso", "Tasso legale %"},
        {"originale", "Scadenza originale"},
        {"nuova", "Nuova scadenza"},
        {"nota", "Nota"},
        {"violazione", "Anno violazione"},
        {"scadenza", "Scadenza 770"},
        {"confermata", "Confermata (S/N)"},
    };
    for (const auto& [name, heading] : headings) {
        if (column == QLatin1String(name))
            return QString::fromUtf8(heading);
    }
    if (column.compare(QLatin1String("codice"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Codice Tributo");
    if (column.compare(QLatin1String("Causale"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Descrizione");
    return column;
}

CellValue checkCell(Table table, const QString& column, const QString& typed) {
    if (!isWritable(table, column))
        return refuse(QStringLiteral("La colonna %1 non si può modificare.").arg(column),
                      blockingTitle());
    const QString text = typed.trimmed();
    switch (table) {
    case Table::Years:
        return checkYear(text);
    case Table::LegalRates:
        return isColumn(column, "anno") ? checkYear(text) : checkLegalRate(text);
    case Table::Deferrals:
        if (isColumn(column, "nota"))
            return {typed, std::nullopt};
        return checkDate(text, isColumn(column, "originale"));
    case Table::ReturnDeadlines:
        return checkReturnDeadline(column, typed);
    case Table::TaxCodes:
        if (column.compare(keyColumn(table), Qt::CaseInsensitive) != 0)
            return {typed, std::nullopt}; // the description is free text
        if (text.isEmpty())
            return refuse(QStringLiteral("Inserire il codice tributo."), kEmptyTitle);
        return {text, std::nullopt};
    case Table::Rates:
        break;
    }
    if (text.isEmpty())
        return refuse(QStringLiteral("Inserire la percentuale, ad esempio 20 oppure 4,5."),
                      kEmptyTitle);
    const std::optional<Amount> rate = Amount::parse(text);
    if (!rate || rate->cents() <= 0 || rate->cents() > 10000)
        return refuse(QStringLiteral("La percentuale deve essere un numero maggiore di 0 e non "
                                     "superiore a 100, ad esempio 20 oppure 4,5."),
                      blockingTitle());
    return {rate->cents(), std::nullopt};
}

QString displayText(Table table, const QString& column, const QVariant& stored) {
    if (stored.isNull())
        return {};
    if (isRateColumn(table, column)) {
        bool ok = false;
        const qint64 cents = stored.toLongLong(&ok);
        if (ok)
            return Amount::fromCents(cents).plainText();
    }
    if (isDateColumn(table, column))
        return shownDate(stored);
    return stored.toString();
}

Refusal refusedByDatabase(const Status& refused) {
    const QString lead = refused.is(ErrorKind::Duplicate)
                             ? QStringLiteral("Valore già presente nella tabella: non è stato "
                                              "salvato.")
                             : QStringLiteral("Valore non salvato.");
    return {lead + QStringLiteral("\nErrore del database: ") + refused.error(), blockingTitle()};
}

Result<Rows> loadRows(Table table) {
    Result<Rows> result;
    Result<QSqlQuery> query = store::run(QStringLiteral("SELECT * FROM %1").arg(tableName(table)));
    if (!query.ok()) {
        result.status = query.status;
        return result;
    }
    const QSqlRecord record = query.value.record();
    for (int c = 0; c < record.count(); ++c)
        result.value.columns.append(store::dialect::fieldName(
            store::currentEngine(), tableName(table), record.fieldName(c)));
    while (query.value.next()) {
        QVariantList row;
        for (int c = 0; c < record.count(); ++c)
            row.append(query.value.value(c));
        result.value.rows.append(row);
    }
    return result;
}

Result<qint64> insertRow(Table table, const QString& column, const QVariant& value) {
    Result<qint64> result;
    if (!isWritable(table, column)) {
        result.status = refuseColumn(column);
        return result;
    }
    const Result<store::Written> done = store::runInTransaction(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(tableName(table), column), {value});
    return {done.status, done.value.lastId};
}

Status updateCell(Table table, qint64 id, const QString& column, const QVariant& value) {
    if (!isWritable(table, column))
        return refuseColumn(column);
    const Result<store::Written> done = store::runInTransaction(
        QStringLiteral("UPDATE %1 SET %2 = ? WHERE ID = ?").arg(tableName(table), column),
        {value, id});
    if (done.ok() && done.value.rows == 0)
        return Status::failure(ErrorKind::NotFound,
                               QStringLiteral("la riga non esiste più nella tabella"));
    return done.status;
}

Status deleteRow(Table table, qint64 id) {
    return store::runInTransaction(
               QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(tableName(table)), {id})
        .status;
}

} // namespace lookup
