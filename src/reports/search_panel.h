#pragma once

#include <QGroupBox>

class Shell;

// The search panel `Frame5`: withholdings by due month, by period and by subject.
class SearchPanel : public QGroupBox {
    Q_OBJECT

public:
    SearchPanel(Shell& shell, QWidget* parent = nullptr);

private:
    Shell& shell_;
};
