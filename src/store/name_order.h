#pragma once

#include <QString>

// Names in the order an Italian reader expects: accented capitals beside their base
// letter, letter case not counting. Each table with a name keeps, beside it, a sort key
// the program computes and stores on every write (column `ordine`); lists order by the
// key, then by the name itself, then by ID. The file holds no collation of its own, so
// every other tool still reads, checks and sorts it.
namespace store {

// The column beside `denominazione` that holds its key.
inline constexpr const char* kNameKeyColumn = "ordine";

// The order of names for an ORDER BY: key, then the name's own text.
inline constexpr QLatin1String kNameOrder{"ordine, denominazione"};

// One user's year of records in name order, then date, then order of entry: the order of
// the ledger's index on user, year, key, name and date (which ends with the row's key), so
// that a list in this order reads the index and sorts nothing.
inline constexpr QLatin1String kLedgerOrder{"ordine, denominazione, data, ID"};

// The sort key of a name: its compatibility decomposition without combining marks, in
// capitals ("Èrre s.n.c." gives "ERRE S.N.C."). A null name has a null key.
QString nameKey(const QString& name);

} // namespace store
