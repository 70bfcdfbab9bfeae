#pragma once

#include "widgets/number_field.h"

// A text field holding an amount in the Italian form. Each typed character goes
// through the amount key filter (a full stop becomes a comma; only digits, the comma
// and the minus sign get in), dropped text too, and the text takes CtrNumD's form when
// the field is left. The clipboard shortcuts are dropped like any control key.
class AmountField : public NumberField {
    Q_OBJECT

public:
    explicit AmountField(const char* objectName, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
