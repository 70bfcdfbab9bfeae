#pragma once

#include "base/status.h"
#include "tax/due_date.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The withholdings to remit with the F24 of a due month, per user: those paid in the
// month before (whatever ledger year holds the record), grouped per tax code and
// reference month and year, with the ones already remitted apart and the late ones of
// earlier months still unremitted.

struct F24Line {
    QString taxCode;        // tributo
    QString referenceMonth; // "00MM"
    QString referenceYear;  // "AAAA"
    QString remittanceDate; // ISO; empty for the lines to pay
    qint64 amount = 0;      // cents
    int count = 0;          // invoices; 0 on a penalty line, which counts none
};

struct F24UserPlan {
    QString userId;
    QString name;
    QString taxCode;
    QList<F24Line> toPay;
    QList<F24Line> remitted;
    QList<F24Line> late;
    // The lines that regularise the late ones when remitted on the plan's due date:
    // withholding plus interest under the tax code, the reduced penalty under its own.
    QList<F24Line> regularisation;
    QStringList regularisationNotes; // what the figures rest on, or why one is missing
};

struct F24Plan {
    int year = 0;             // of the due month
    int month = 0;            // 1-12
    tax::DueDate due;         // of the withholdings paid in the month before
    QList<F24UserPlan> users; // in name order
    bool isEmpty() const { return users.isEmpty(); }
};

qint64 totalOf(const QList<F24Line>& lines);

// The month whose payments fall due in (`year`, `month`): the one before. The due date
// is the 16th of the month after the payment (20 August for July), moved past Saturdays,
// Sundays and holidays; the move never leaves the month, so the due month follows from
// the payment month alone.
QDate firstDayOfPaymentMonth(int year, int month);

// The due month typed by the operator, "2/2026", "02/2026", "02-2026" or "02.2026": the
// first day of that month, or nothing when it is no month of a four-digit year.
std::optional<QDate> parseDueMonth(const QString& text);

// The plan of user `userId`, or of every user when it is empty, with the legal due date
// (the stored extraordinary deferrals applied) and the regularisation of the late
// withholdings remitted on it.
Result<F24Plan> readF24Plan(const QString& userId, int year, int month);
