#pragma once

#include "reports/report_launcher.h"

#include <QGroupBox>

class DateBox;
class QComboBox;
class QLabel;
class QPushButton;
class Shell;

// The search panel `Frame5`: the searches of the catalogue (the current user's lists of
// the current year that take an input: `RitenuteS`, `RicercaP`, `RicercaS`). A search's
// menu item opens the panel for it, with its title and the one input it takes on show: a
// due month (`DataBox5`), a period (`Cbo6`) or a subject (`Cbo7`); `Cmd4` ("Ricerca")
// runs the search with it and previews the list.
class SearchPanel : public QGroupBox {
    Q_OBJECT

public:
    SearchPanel(Shell& shell, QWidget* parent = nullptr);

    // Opens the panel for `search`, as its menu item does.
    void open(const ReportDescription& search);
    // The press of `Cmd4`.
    void search();

    // Fills `Cbo6` with the periods of table `periodo`, in the table's order.
    void CaricaPeriodi();

    ReportLauncher& runner() { return runner_; }

private:
    // Shows the input of `input` and its caption, hides the others.
    void showInput(ReportInput input);

    Shell& shell_;
    ReportLauncher runner_;
    const ReportDescription* search_ = nullptr; // the search the panel is open for

    DateBox* DataBox5;
    QComboBox* Cbo6;
    QComboBox* Cbo7;
    QPushButton* Cmd4;
    QLabel* dateCaption_;
    QLabel* periodCaption_;
    QLabel* subjectCaption_;
};
