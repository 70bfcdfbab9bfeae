#pragma once

#include "reports/report_launcher.h"

#include <QGroupBox>

class DateBox;
class QComboBox;
class QLabel;
class QPushButton;
class Shell;

// The search panel `Frame5`: the current user's records of the current year by due
// month (`DataBox5`), by period (`Cbo6`) or by subject (`Cbo7`). The menu commands
// `RitenuteS`, `RicercaP` and `RicercaS` open it in their mode, which is the one input
// on show; `Cmd4` ("Ricerca") searches for it and previews the list.
class SearchPanel : public QGroupBox {
    Q_OBJECT

public:
    SearchPanel(Shell& shell, QWidget* parent = nullptr);

    // The mode commands, as their menu items run them.
    void openDueMonthSearch();
    void openPeriodSearch();
    void openSubjectSearch();
    // The press of `Cmd4`.
    void search();

    // Fills `Cbo6` with the periods of table `periodo`, in the table's order.
    void CaricaPeriodi();

    ReportLauncher& runner() { return runner_; }

private:
    void showInputs(bool date, bool period, bool subject);
    void searchByDueMonth();
    void searchByPeriod();
    void searchBySubject();

    Shell& shell_;
    ReportLauncher runner_;

    DateBox* DataBox5;
    QComboBox* Cbo6;
    QComboBox* Cbo7;
    QPushButton* Cmd4;
    QLabel* dateCaption_;
    QLabel* periodCaption_;
    QLabel* subjectCaption_;
};
