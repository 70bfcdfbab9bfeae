#pragma once

#include "base/status.h"

#include <QString>
#include <functional>

namespace report {

// Called now and then with the pages done and the pages to do; false stops.
using PageProgress = std::function<bool(int done, int total)>;

// The failure of work the operator stopped.
inline Status stoppedByOperator() {
    return Status::failure(ErrorKind::Stopped, QStringLiteral("interrotta dall'operatore"));
}

} // namespace report
