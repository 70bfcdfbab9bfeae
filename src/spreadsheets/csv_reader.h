#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One record of a delimited text file, with the line of the file where it begins.
struct CsvRecord {
    int line = 0;
    QStringList fields;
};

// A delimited text file read whole: the first record is the header.
struct CsvTable {
    QStringList header;
    int headerLine = 0; // the line where the header begins
    QList<CsvRecord> records;
    QString error; // Italian, naming the line, when the text cannot be read
};

// Reads `text` with fields separated by `separator`. A field in double quotes may hold
// the separator, line breaks and doubled quotes ("" for one quote). Empty lines are
// skipped; a quote left open is an error naming the line where the field began.
CsvTable readCsv(const QString& text, QChar separator);
