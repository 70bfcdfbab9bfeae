#pragma once

#include "base/status.h"

#include <QString>
#include <QStringList>
#include <optional>

// Look-ups the window shell needs; each query binds its values.
namespace store {

// Years offered for selection, ascending.
Result<QStringList> years();

// Names of the subjects flagged as users, in name order.
Result<QStringList> userNames();

// Names of every subject, in name order.
Result<QStringList> subjectNames();

// The ID of the first subject whose name equals `name`, ignoring letter case;
// no value when none does.
Result<std::optional<qint64>> subjectIdByName(const QString& name);

} // namespace store
