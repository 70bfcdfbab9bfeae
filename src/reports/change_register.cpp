#include "reports/change_register.h"

#include "ledger/ledger_grid_query.h"
#include "ledger/withholding_rules.h"
#include "registry/subject_change_fields.h"
#include "store/dialect.h"
#include "values/date_text.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QStringList>

namespace change_register {
namespace {

// The table and the row before and after, as one JSON object built by the query, so
// that one cell holds all that the list of changes needs.
constexpr const char* kChangesColumn =
    R"SQL('{"tabella":"' || COALESCE(tabella, '') || '","prima":' || COALESCE(prima, 'null') || ',"dopo":' || COALESCE(dopo, 'null') || '}')SQL";

QString changesOf(const QVariant& value) {
    const QJsonObject cell = QJsonDocument::fromJson(value.toString().toUtf8()).object();
    return field_changes::changesText(cell.value(QStringLiteral("prima")),
                                      cell.value(QStringLiteral("dopo")),
                                      fieldsOf(cell.value(QStringLiteral("tabella")).toString()));
}

QString momentText(const QVariant& value) {
    return shownMoment(value.toString());
}

// The start of a local day as the record's UTC text orders it.
QString utcText(const QDate& day) {
    return QDateTime(day, QTime(0, 0)).toUTC().toString(Qt::ISODateWithMs);
}

} // namespace

const QList<Column>& columns() {
    using table_export::CellKind;
    static const QList<Column> kColumns = {
        {QStringLiteral("Quando"), CellKind::Text, &momentText},
        {QStringLiteral("Operatore"), CellKind::Text, {}},
        {QStringLiteral("Computer"), CellKind::Text, {}},
        {QStringLiteral("Azione"), CellKind::Text, {}},
        {QStringLiteral("Tabella"), CellKind::Text, {}},
        {QStringLiteral("Chiave"), CellKind::Text, {}},
        {QStringLiteral("Utente"), CellKind::Text, {}},
        {QStringLiteral("Modifiche"), CellKind::Text, &changesOf},
    };
    return kColumns;
}

KeyedQuery query(const Filter& filter) {
    const QStringList expressions = {QStringLiteral("locale"),   QStringLiteral("operatore"),
                                     QStringLiteral("computer"), QStringLiteral("azione"),
                                     QStringLiteral("tabella"),  QStringLiteral("chiave"),
                                     QStringLiteral("utente"),   QLatin1String(kChangesColumn)};
    QStringList selected;
    for (int c = 0; c < expressions.size(); ++c)
        selected.append(
            QStringLiteral("%1 AS \"%2\"").arg(expressions.at(c), columns().at(c).caption));
    // The index on utc (then ID) gives the range in order.
    QStringList conditions = {QStringLiteral("utc >= ?"), QStringLiteral("utc < ?")};
    QVariantList values = {utcText(filter.from), utcText(filter.to.addDays(1))};
    if (!filter.operatorName.isEmpty()) {
        conditions.append(store::dialect::equalsIgnoringCase(QStringLiteral("operatore")));
        values.append(filter.operatorName);
    }
    if (!filter.action.isEmpty()) {
        conditions.append(QStringLiteral("azione = ?"));
        values.append(filter.action);
    }
    if (!filter.userId.isEmpty()) {
        conditions.append(QStringLiteral("utente = ?"));
        values.append(filter.userId);
    }
    return {QStringLiteral("Modifiche"),         QStringLiteral("ID"),
            selected.join(QStringLiteral(", ")), conditions.join(QStringLiteral(" AND ")),
            QStringLiteral("utc, ID"),           values};
}

QList<field_changes::Field> fieldsOf(const QString& table) {
    static const QList<field_changes::Field> records = ledger::recordChangeFields();
    static const QList<field_changes::Field> subjects = registry::subjectChangeFields();
    if (table == QLatin1String("Ritenute"))
        return records;
    if (table == QLatin1String("Soggetti"))
        return subjects;
    return {};
}

QString title() {
    return QStringLiteral("Registro delle modifiche");
}

QList<std::pair<QString, QString>> selectionOf(const Filter& filter) {
    QList<std::pair<QString, QString>> lines = {
        {QStringLiteral("Dal"), ledger::shortDateText(filter.from)},
        {QStringLiteral("Al"), ledger::shortDateText(filter.to)}};
    if (!filter.operatorName.isEmpty())
        lines.append({QStringLiteral("Operatore"), filter.operatorName});
    if (!filter.action.isEmpty())
        lines.append({QStringLiteral("Azione"), filter.action});
    if (!filter.userId.isEmpty())
        lines.append({QStringLiteral("Utente"), filter.userId});
    return lines;
}

} // namespace change_register
