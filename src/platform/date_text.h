#pragma once

#include <QString>

// How a stored date is shown: ISO text "yyyy-MM-dd" as "dd/MM/yyyy"; text that is not a
// date is shown as it is stored. Grids and reports call it for every date cell.
QString shownDate(const QString& stored);
