#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// The plans of the statements the program runs, as the engine of the open ledger carries
// them out, and what in them a ledger of a million records cannot afford.
namespace query_plans {

// The plan of `sql` with `values` bound, one line per step. SQLite: EXPLAIN QUERY PLAN, each
// step indented two blanks per level under its parent. PostgreSQL: EXPLAIN's lines, with
// sequential scans and sorts priced out first, so that the few rows of a test do not choose
// the plan. Empty with `error` set when the engine refuses it.
QStringList planOf(const QString& sql, const QVariantList& values, QString* error);

// One phrase per fault of `plan`: a whole scan of a table inside a join other than the
// driving one (the outer loop), an index the engine builds for the one statement, and, when
// `inOrder` (a list of row keys in display order, or the first rows of an order), a sort for the
// ORDER BY or a part of it.
QStringList faultsOf(const QStringList& plan, bool inOrder);

} // namespace query_plans
