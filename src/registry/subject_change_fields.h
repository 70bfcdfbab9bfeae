#pragma once

#include "store/field_changes.h"

namespace registry {

// The columns of a subject as its changes show them: the subject grid's captions and
// formats, without the subject's own key and its version.
QList<field_changes::Field> subjectChangeFields();

} // namespace registry
