#include "spreadsheets/csv_reader.h"

namespace {

bool isBlank(const CsvRecord& record) {
    return record.fields.size() == 1 && record.fields.first().isEmpty();
}

} // namespace

CsvTable readCsv(const QString& text, QChar separator) {
    CsvTable table;
    QList<CsvRecord> records;
    CsvRecord record{1, {}};
    QString field;
    int line = 1;
    int quoteLine = 0;
    bool quoted = false;
    const auto endRecord = [&] {
        record.fields.append(field);
        field.clear();
        if (!isBlank(record))
            records.append(record);
        record = CsvRecord{line, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field.append(c);
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                field.append(c);
            }
        } else if (c == u'"') {
            quoted = true;
            quoteLine = line;
        } else if (c == separator) {
            record.fields.append(field);
            field.clear();
        } else if (c == u'\n') {
            ++line;
            endRecord();
        } else if (c != u'\r') {
            field.append(c);
        }
    }
    if (quoted) {
        table.error = QStringLiteral("virgolette non chiuse nel campo che inizia alla riga %1")
                          .arg(quoteLine);
        return table;
    }
    endRecord();
    if (!records.isEmpty()) {
        table.headerLine = records.front().line;
        table.header = records.takeFirst().fields;
    }
    table.records = records;
    return table;
}
