#pragma once

#include <QString>
#include <functional>

namespace report {

// Called now and then with the pages done and the pages to do; false stops.
using PageProgress = std::function<bool(int done, int total)>;

// The reason given when the operator stopped the work.
inline const QString kStopped = QStringLiteral("interrotta dall'operatore");

} // namespace report
