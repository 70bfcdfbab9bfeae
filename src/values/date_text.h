#pragma once

#include <QString>

class QVariant;

// How a stored date is shown: ISO text "yyyy-MM-dd" as "dd/MM/yyyy"; text that is not a
// date is shown as it is stored. Grids and reports call it for every date cell.
QString shownDate(const QString& stored);

// The same of a value read from the ledger: a server hands dates back as dates, shown
// without a detour through text.
QString shownDate(const QVariant& stored);

// A stored moment "yyyy-MM-dd HH:mm:ss" shown "dd/MM/yyyy HH:mm:ss"; other text as it is.
QString shownMoment(const QString& stored);

// The years a typed date may have; any other is not a valid date.
inline constexpr int kFirstTypedYear = 1900;
inline constexpr int kLastTypedYear = 2100;
inline bool isTypedYear(int year) {
    return year >= kFirstTypedYear && year <= kLastTypedYear;
}
