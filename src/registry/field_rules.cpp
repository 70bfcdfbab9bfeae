#include "registry/field_rules.h"

#include <QDate>
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
    const QString text = stored.toString();
    const QDate date = QDate::fromString(text, Qt::ISODate);
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : text;
}

} // namespace registry
