#pragma once

#include "base/status.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The parts of an Excel workbook around the sheet itself: which sheet comes first, the
// shared strings, and which cell styles show a number as a date.
namespace sheet::xlsx {

struct Workbook {
    QString firstSheet;    // member name in the archive, "xl/worksheets/sheet1.xml"
    bool date1904 = false; // serial numbers count from 1904 (old Mac workbooks)
};

// From xl/workbook.xml and xl/_rels/workbook.xml.rels.
Result<Workbook> readWorkbook(const QByteArray& workbookXml, const QByteArray& relationsXml);

// The texts of xl/sharedStrings.xml by index; rich text is joined, phonetic hints left out.
Result<QStringList> readSharedStrings(const QByteArray& xml);

// For each cell style (the `s` of a cell) of xl/styles.xml, whether it shows a date.
Result<QList<bool>> readDateStyles(const QByteArray& xml);

// Whether the number format `id`, with its `code` when custom, shows a date.
bool isDateFormat(int id, const QString& code);

} // namespace sheet::xlsx
