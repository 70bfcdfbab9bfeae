#pragma once

#include <QString>

// Rows of the record of changes written straight into table Modifiche, as the program's
// writes record them, for tests that read the record.
namespace change_records {

struct Record {
    QString utc; // "yyyy-MM-ddTHH:mm:ss.zzzZ"
    QString local;
    QString operatorName;
    QString action;
    QString table;
    qint64 key = 0;
    QString user;
    QString before; // JSON object, empty for none
    QString after;
    QString computer = QStringLiteral("PC-UFFICIO");
};

// Appends `record`; fails the test on error.
void add(const Record& record);

// Record 1 of user 3 entered by rossi on 1 March 2026 (10:00 in Rome) and its taxable
// amount corrected by bianchi on 2 March (11:00).
void addInsertionAndCorrection();

} // namespace change_records
