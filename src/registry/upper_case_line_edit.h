#pragma once

#include <QLineEdit>

// A text field that holds capitals only: every change, typed or set by the program,
// is turned to upper case with the caret left where it was.
class UpperCaseLineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit UpperCaseLineEdit(QWidget* parent = nullptr);

private:
    void toUpper();
};
