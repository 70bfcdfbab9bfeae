#include "platform/number_keys.h"

#include <QString>

std::optional<QChar> filterNumberKey(QChar typed) {
    if (typed == u'.')
        return QChar(u',');
    if (typed == u'\b')
        return typed;
    if (QStringLiteral("0123456789,-").contains(typed))
        return typed;
    return std::nullopt;
}
