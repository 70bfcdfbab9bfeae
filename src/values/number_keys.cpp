#include "values/number_keys.h"

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

QString filterNumberText(const QString& text) {
    QString passed;
    for (const QChar c : text) {
        if (!c.isPrint())
            continue;
        if (const std::optional<QChar> kept = filterNumberKey(c))
            passed.append(*kept);
    }
    return passed;
}
