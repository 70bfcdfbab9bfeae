#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

// What a change did to a row, from the row as a JSON object before and after it (one
// key per column, the column name in lower case, amounts in integer cents, dates as
// ISO text, NULL as null): the fields whose values differ, shown as a grid shows them.
namespace field_changes {

// How one column of a row is shown: its key in the JSON object (lower case), the
// caption of the grid's column and the text its cells show.
struct Field {
    QString key;
    QString caption;
    std::function<QString(const QVariant&)> text; // empty: the value as it is
};

struct Change {
    QString caption;
    QString before; // the text shown before; empty for none
    QString after;
};

// The fields of `shown`, in their order, whose value differs between `before` and
// `after` (a key missing, a null and an empty text are all no value). With an empty `shown`, a
// table no grid shows: every key in name order, as stored, but the row's own key and its
// bookkeeping ("id", "versione", "ordine"). An empty or unreadable side is a row without
// values: an insertion lists what it wrote, a deletion what it took away.
QList<Change> changedFields(const QString& before, const QString& after, const QList<Field>& shown);
// The same of objects already read.
QList<Change> changedFields(const QJsonObject& before, const QJsonObject& after,
                            const QList<Field>& shown);

// The changed fields on one line. Of a correction (an object on both sides) each field
// shows both sides, "imponibile 1.000,00 → 1.200,00", an empty one as "(vuoto)"; of an
// insertion or a deletion only the values the row had: "FT 12". A side that is no
// object is no row.
QString changesText(const QJsonValue& before, const QJsonValue& after, const QList<Field>& shown);
// The same of JSON text.
QString changesText(const QString& before, const QString& after, const QList<Field>& shown);

} // namespace field_changes
