#pragma once

#include "importing/sheet_import.h"
#include "platform/sheet/sheet_table.h"

#include <QDialog>
#include <QList>

class MessageBoxes;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

// "Importa registrazioni": the columns of a sheet matched to the fields of a record (the
// operator may change each), a preview of every row with what the checks found, and
// "Importa", which writes the rows that pass in one transaction with a progress that can
// stop it. Nothing is written before "Importa".
class SheetImportDialog : public QDialog {
    Q_OBJECT

public:
    SheetImportDialog(const QString& fileName, sheet::Table table, importing::SheetLayout layout,
                      importing::PlanOptions options, MessageBoxes& boxes,
                      QWidget* parent = nullptr);

    // The plan the preview shows.
    const importing::ImportPlan& plan() const { return plan_; }
    // The outcome of the last "Importa"; records 0 before it.
    const importing::ImportOutcome& outcome() const { return outcome_; }

private:
    QWidget* buildColumns();
    void replan();
    void showPlan();
    // The payees to create that the sheet gives no codice fiscale, for the operator to
    // write their codes; refilled only when the payees change.
    void showPayeesAsked();
    void readTypedCodes();
    void runImport();

    sheet::Table table_;
    importing::SheetLayout layout_;
    importing::PlanOptions options_;
    MessageBoxes& boxes_;
    importing::ImportPlan plan_;
    importing::ImportOutcome outcome_;

    QList<QComboBox*> fieldChoices_;
    QCheckBox* createSubjects_ = nullptr;
    QTableWidget* payeesAsked_ = nullptr;
    QTableWidget* preview_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* importButton_ = nullptr;
};
