#pragma once

#include "spreadsheets/table.h"
#include "store/field_changes.h"
#include "store/keyed_query.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <utility>

// The register of changes: the changes of a range of days, optionally of one operator,
// one kind of change and one user's records, oldest first, one row per change with what
// it changed on one line. The window's grid and the command line show the same rows.
namespace change_register {

struct Filter {
    QDate from; // local days, both included
    QDate to;
    QString operatorName; // empty: every operator (letter case aside)
    QString action;       // one of store::recordedActionWords(); empty: every kind
    QString userId;       // empty: every user
};

struct Column {
    QString caption;
    table_export::CellKind kind;
    std::function<QString(const QVariant&)> text; // empty: the value as stored
};

// The columns, in the order the query gives them.
const QList<Column>& columns();

// The changes `filter` selects, oldest first, with the columns above as captions.
KeyedQuery query(const Filter& filter);

// The fields a row of `table` shows in a list of its changes: the ledger grid's for
// Ritenute, the subject grid's for Soggetti, every column as stored for the others.
QList<field_changes::Field> fieldsOf(const QString& table);

// The title and the selection lines of an exported register.
QString title();
QList<std::pair<QString, QString>> selectionOf(const Filter& filter);

} // namespace change_register
