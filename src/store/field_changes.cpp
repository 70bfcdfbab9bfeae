#include "store/field_changes.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace field_changes {
namespace {

// The keys no list of changes shows when the table has no grid: the row's key, its
// version and its name's sort key.
const QStringList kBookkeeping = {QStringLiteral("id"), QStringLiteral("versione"),
                                  QStringLiteral("ordine")};

// The object's values by lower-case key.
QVariantHash valuesOf(const QJsonObject& object) {
    QVariantHash values;
    for (auto it = object.begin(); it != object.end(); ++it) {
        QVariant value = it.value().toVariant();
        // Whole numbers stay whole: cents, keys and years are integers.
        if (it.value().isDouble() && double(it.value().toInteger()) == it.value().toDouble())
            value = it.value().toInteger();
        values.insert(it.key().toLower(), value);
    }
    return values;
}

// A null and an empty text are both no value: a field the program cleared to one or the
// other did not change.
bool isNone(const QVariant& value) {
    return value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isEmpty());
}

QString shown(const Field& field, const QVariant& value) {
    if (isNone(value))
        return {};
    return field.text ? field.text(value) : value.toString();
}

} // namespace

QList<Change> changedFields(const QString& before, const QString& after,
                            const QList<Field>& shown) {
    return changedFields(QJsonDocument::fromJson(before.toUtf8()).object(),
                         QJsonDocument::fromJson(after.toUtf8()).object(), shown);
}

QList<Change> changedFields(const QJsonObject& before, const QJsonObject& after,
                            const QList<Field>& shown) {
    const QVariantHash old = valuesOf(before);
    const QVariantHash now = valuesOf(after);
    QList<Field> fields = shown;
    if (fields.isEmpty()) {
        QStringList keys = old.keys() + now.keys();
        keys.sort();
        keys.removeDuplicates();
        for (const QString& key : keys) {
            if (!kBookkeeping.contains(key))
                fields.append({key, key, {}});
        }
    }
    QList<Change> changes;
    for (const Field& field : fields) {
        const QVariant a = old.value(field.key);
        const QVariant b = now.value(field.key);
        if (isNone(a) && isNone(b))
            continue;
        if (isNone(a) != isNone(b) || a != b)
            changes.append(
                {field.caption, field_changes::shown(field, a), field_changes::shown(field, b)});
    }
    return changes;
}

QString changesText(const QJsonValue& before, const QJsonValue& after, const QList<Field>& shown) {
    const bool correction = before.isObject() && after.isObject();
    const auto side = [](const QString& text) {
        return text.isEmpty() ? QStringLiteral("(vuoto)") : text;
    };
    QStringList parts;
    for (const Change& change : changedFields(before.toObject(), after.toObject(), shown)) {
        QString value = change.before + change.after;
        if (correction)
            value = side(change.before) + QStringLiteral(" → ") + side(change.after);
        parts.append(change.caption + QLatin1Char(' ') + value);
    }
    return parts.join(QStringLiteral("; "));
}

QString changesText(const QString& before, const QString& after, const QList<Field>& shown) {
    const auto read = [](const QString& json) {
        const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
        return document.isObject() ? QJsonValue(document.object()) : QJsonValue();
    };
    return changesText(read(before), read(after), shown);
}

} // namespace field_changes
