#pragma once

#include "importing/einvoice_rows.h"
#include "importing/import_preview_dialog.h"

#include <QHash>

// "Importa fatture elettroniche": the preview of the records of the invoices read, where
// the operator corrects Imponibile (a withholding on a reduced base) and chooses the tax
// code of a reason other than A, and the list of the files and invoices left out.
class EinvoiceImportDialog : public ImportPreviewDialog {
    Q_OBJECT

public:
    EinvoiceImportDialog(const QString& sourceName, importing::InvoiceRows rows,
                         importing::PlanOptions options, MessageBoxes& boxes,
                         QWidget* parent = nullptr);

protected:
    Result<importing::ImportPlan> makePlan(const importing::PlanOptions& options) override;
    void previewRowShown(int row) override;

private:
    void readEditedCell(int row, int column);

    importing::InvoiceRows rows_;
    // What the operator wrote in the preview, by the row's place in the import.
    QHash<int, QString> taxable_;
    QHash<int, QString> taxCodes_;
};
