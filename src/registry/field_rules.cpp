#include "registry/field_rules.h"

#include "values/date_text.h"

#include <QtGlobal>

namespace registry {

UpperCased upperCased(const QString& text, int caret) {
    // QString::toUpper follows Unicode, so accented letters ("à" -> "À") are turned too.
    const QString upper = text.toUpper();
    return {upper, qBound(0, caret, int(upper.size()))};
}

} // namespace registry

namespace registry {

QString birthDateText(const QVariant& stored) {
    if (stored.isNull())
        return {};
    return shownDate(stored);
}

} // namespace registry
