#pragma once

#include <QGroupBox>

class Shell;

// The lookup-table editor `Frame6`: years, tax codes and rates.
class LookupEditor : public QGroupBox {
    Q_OBJECT

public:
    LookupEditor(Shell& shell, QWidget* parent = nullptr);

private:
    Shell& shell_;
};
