#pragma once

#include "spreadsheets/table_export.h"

#include <QString>
#include <functional>

class MessageBoxes;
class QWidget;

// The window's side of a spreadsheet export: where to write, progress with "Annulla",
// and the failure box.
namespace table_export {

// Asks where to write a table titled `title`; the empty text cancels.
using PathChooser =
    std::function<QString(QWidget* parent, FileFormat format, const QString& title)>;

// The save dialog, suggesting the title as the file name and adding the suffix when
// the operator left it out.
QString chooseExportPath(QWidget* parent, FileFormat format, const QString& title);

// "Esporta Excel..." or "Esporta CSV...".
QString exportCaption(FileFormat format);

// Writes the table to `path` with a progress dialog that can stop it. A failure is shown
// on `boxes` with its reason; a stop shows nothing. True when the file was written.
bool exportWithProgress(QWidget* parent, MessageBoxes& boxes, FileFormat format,
                        const QString& path, const TableShape& shape, RowSource& rows);

} // namespace table_export
