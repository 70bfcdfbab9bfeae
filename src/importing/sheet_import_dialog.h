#pragma once

#include "importing/import_preview_dialog.h"
#include "importing/sheet_import.h"
#include "spreadsheets/sheet_table.h"

#include <QList>

class QComboBox;

// "Importa registrazioni": the columns of a sheet matched to the fields of a record (the
// operator may change each) beside the preview of every row.
class SheetImportDialog : public ImportPreviewDialog {
    Q_OBJECT

public:
    SheetImportDialog(const QString& fileName, sheet::Table table, importing::SheetLayout layout,
                      importing::PlanOptions options, MessageBoxes& boxes,
                      QWidget* parent = nullptr);

protected:
    Result<importing::ImportPlan> makePlan(const importing::PlanOptions& options) override;
    QString summaryNote() const override;

private:
    QWidget* buildColumns();

    sheet::Table table_;
    importing::SheetLayout layout_;
    QList<QComboBox*> fieldChoices_;
};
