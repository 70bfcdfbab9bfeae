#pragma once

#include <QString>

// Where the file dialogs start: for each kind of file (a PDF, a workbook, a text table,
// a ledger copy, a sheet to import) the folder of the last file chosen of that kind,
// kept in the settings; the user's documents folder before the first.
namespace file_folders {

enum class Kind { Pdf, Excel, Csv, LedgerCopy, Import };

QString startFolder(Kind kind);
// `name` inside the start folder of `kind`.
QString startPath(Kind kind, const QString& name);
// Keeps the folder of `chosen` for the next dialog of `kind`; an empty path keeps nothing.
void remember(Kind kind, const QString& chosen);

} // namespace file_folders
