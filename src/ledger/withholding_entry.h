#pragma once

#include <QString>
#include <optional>

// What the withholding panel holds when its command button is pressed: the texts of
// its fields as shown, the ticks of its check boxes, and the working year and user.
struct WithholdingEntry {
    QString recordId;                // Text22: key of the row being corrected or deleted
    QString subjectId;               // Text23: key of the subject named in Cbo3
    QString subjectName;             // Cbo3
    QString invoiceNumber;           // Text19
    QString invoiceDate;             // DataBox2, dd/MM/yyyy or empty
    QString taxCode;                 // Cbo5
    QString taxable;                 // Text20
    QString rate;                    // Cbo4
    QString withheld;                // Text15
    QString other;                   // Text16
    QString total;                   // Text17
    bool paid = false;               // Check2
    QString paymentDate;             // DataBox3
    QString period;                  // Text4
    QString dueDate;                 // Text21
    QString remittanceDate;          // DataBox4
    bool lateRegularisation = false; // Check3
    QString interest;                // Text13
    QString penalty;                 // Text14
    QString remitted;                // Text18
    QString year;                    // Label2
    QString user;                    // Label1
};

// The mode of the panel; the caption of its command button Cmd3 shows it.
enum class EntryMode { Insert, Modify, Delete };

namespace ledger {

// "Inserisci", "ModificaR" and "EliminaR".
QString entryModeCaption(EntryMode mode);

} // namespace ledger
