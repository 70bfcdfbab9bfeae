#pragma once

#include "spreadsheets/sheet_table.h"

#include <QChar>
#include <QString>

namespace sheet {

// Reads a spreadsheet file: an Excel workbook (recognised by its content, whatever its
// name) or delimited text, UTF-8 (with or without a byte-order mark) or else Latin-1,
// its separator ";" or "," found from the text. Every value of a text file is text;
// the apostrophe that an export puts before text a spreadsheet would run as a formula
// ("'=A1", "'-3") is taken off again.
Table readSpreadsheet(const QString& path);

// The separator of delimited `text`: the one that gives the most records sharing the
// widest field count.
QChar separatorOf(const QString& text);

// `text` without the guard apostrophe in front of what would start a formula.
QString unguardedText(const QString& text);

} // namespace sheet
