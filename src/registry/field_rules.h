#pragma once

#include <QChar>
#include <QString>
#include <QVariant>
#include <optional>

// Input rules of the subject fields, on characters and texts only.
namespace registry {

// The upper-case form of a field's text and where the caret goes in it: the caret
// stays where it was, kept within the text when upper-casing changed its length.
struct UpperCased {
    QString text;
    int caret = 0;
};
UpperCased upperCased(const QString& text, int caret);

} // namespace registry

namespace registry {

// How the subject grid shows a stored birth date: dd/MM/yyyy, the empty text for
// NULL, and any text that is not an ISO date as it stands.
QString birthDateText(const QVariant& stored);

} // namespace registry
