#pragma once

#include "widgets/number_field.h"

// A text field for digit codes (postal code, VAT number): typed characters go through
// the number key filter; a refused key is dropped and reported by keyRefused, so the
// panel can move the focus on. Pasted and dropped text passes the same filter.
class NumberLineEdit : public NumberField {
    Q_OBJECT

public:
    explicit NumberLineEdit(QWidget* parent = nullptr);

Q_SIGNALS:
    void keyRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
