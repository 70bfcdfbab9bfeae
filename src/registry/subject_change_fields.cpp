#include "registry/subject_change_fields.h"

#include "registry/field_rules.h"
#include "registry/subject_store.h"

#include <QStringList>

namespace registry {

QList<field_changes::Field> subjectChangeFields() {
    const QStringList names = subjectGridQuery().columns.split(QStringLiteral(", "));
    QList<field_changes::Field> fields;
    for (int column = 0; column < names.size(); ++column) {
        if (column == ColumnId || column == ColumnVersion)
            continue;
        fields.append({names.at(column).toLower(), names.at(column),
                       column == ColumnBirthDate ? &birthDateText
                                                 : std::function<QString(const QVariant&)>()});
    }
    return fields;
}

} // namespace registry
