#pragma once

#include "importing/sheet_import.h"

#include <QDialog>

class MessageBoxes;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

// What every import of records shows before writing: a preview of every row with what
// the checks found (the reason that stops a row first), the choice of creating the payees
// the registry lacks and their codes, a summary, and "Importa", which writes the rows that
// pass in one transaction with a progress that can stop it. Nothing is written before
// "Importa". A source of rows (a spreadsheet, electronic invoices) adds its own controls
// and says how its rows are planned.
class ImportPreviewDialog : public QDialog {
    Q_OBJECT

public:
    // The columns of the preview.
    enum Column {
        ColumnPlace, // the row of the sheet, or the file of an invoice
        ColumnVerdict,
        ColumnName,
        ColumnNumber,
        ColumnDate,
        ColumnTaxable,
        ColumnRate,
        ColumnWithheld,
        ColumnOther,
        ColumnTaxCode,
        ColumnMessages,
    };

    // The plan the preview shows.
    const importing::ImportPlan& plan() const { return plan_; }
    // The outcome of the last "Importa"; records 0 before it.
    const importing::ImportOutcome& outcome() const { return outcome_; }

protected:
    ImportPreviewDialog(const QString& title, const QString& placeCaption,
                        importing::PlanOptions options, MessageBoxes& boxes, QWidget* parent);

    // Lays the dialog out: `heading` on top, `side` (if any) left of the preview, `below`
    // (if any) under it; then plans the rows. Called once by the source's constructor.
    void build(QWidget* heading, QWidget* side, QWidget* below);
    // Plans the rows again, after the operator changed a choice.
    void replan();

    // The rows of the source, checked with `options`.
    virtual Result<importing::ImportPlan> makePlan(const importing::PlanOptions& options) = 0;
    // What the summary adds after the counts; nothing by default.
    virtual QString summaryNote() const { return {}; }
    // Called for each preview row once its cells are set, to make some editable.
    virtual void previewRowShown(int row) { Q_UNUSED(row) }

    importing::PlanOptions options_;
    MessageBoxes& boxes_;
    QTableWidget* preview_ = nullptr;

private:
    void showPlan();
    // The payees to create that the source gives no codice fiscale, for the operator to
    // write their codes; refilled only when the payees change.
    void showPayeesAsked();
    void readTypedCodes();
    void runImport();

    QString title_;
    importing::ImportPlan plan_;
    importing::ImportOutcome outcome_;
    QCheckBox* createSubjects_ = nullptr;
    QTableWidget* payeesAsked_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* importButton_ = nullptr;
};
