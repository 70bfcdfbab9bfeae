#pragma once

#include <QChar>
#include <optional>

// The keystroke rule of the numeric fields (amounts, postal code, VAT number): a typed
// "." becomes ",", backspace passes, and only "0123456789,-" are let through.
std::optional<QChar> filterNumberKey(QChar typed);
