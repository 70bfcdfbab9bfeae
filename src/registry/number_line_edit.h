#pragma once

#include <QLineEdit>

// A text field for digit codes (postal code, VAT number): typed characters go through
// the number key filter; a refused key is dropped and reported by keyRefused, so the
// panel can move the focus on.
class NumberLineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit NumberLineEdit(QWidget* parent = nullptr);

Q_SIGNALS:
    void keyRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
