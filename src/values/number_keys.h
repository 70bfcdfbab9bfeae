#pragma once

#include <QChar>
#include <QString>
#include <optional>

// The keystroke rule of the numeric fields (amounts, postal code, VAT number): a typed
// "." becomes ",", backspace passes, and only "0123456789,-" are let through.
std::optional<QChar> filterNumberKey(QChar typed);

// Text arriving whole (pasted, dropped) after the same rule, character by character;
// control characters, backspace included, carry no keystroke and are dropped.
QString filterNumberText(const QString& text);
