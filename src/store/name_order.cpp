#include "store/name_order.h"

namespace store {

QString nameKey(const QString& name) {
    if (name.isNull())
        return {};
    const QString decomposed = name.normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            bare.append(c);
    }
    return bare.toUpper();
}

} // namespace store
