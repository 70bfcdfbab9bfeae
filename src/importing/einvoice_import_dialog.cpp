#include "importing/einvoice_import_dialog.h"

#include "ledger/withholding_record.h"
#include "values/amount.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace {

const QString kTitle = QStringLiteral("Importa fatture elettroniche");

// The files and invoices that give no record: the refused first, then the others.
QTableWidget* listedTable(const QList<importing::ListedItem>& listed, QWidget* parent) {
    auto* table = new QTableWidget(0, 2, parent);
    table->setObjectName(QStringLiteral("Tralasciati"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("File non registrato"), QStringLiteral("Motivo")});
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    table->setMaximumHeight(table->fontMetrics().height() * 8);
    for (const bool refused : {true, false}) {
        for (const importing::ListedItem& item : listed) {
            if (item.refused != refused)
                continue;
            const int r = table->rowCount();
            table->insertRow(r);
            table->setItem(r, 0, new QTableWidgetItem(item.source));
            auto* reason = new QTableWidgetItem(
                (refused ? QStringLiteral("Rifiutato: ") : QString()) + item.reason);
            reason->setToolTip(reason->text());
            table->setItem(r, 1, reason);
        }
    }
    table->resizeColumnToContents(0);
    table->setVisible(!listed.isEmpty());
    return table;
}

} // namespace

EinvoiceImportDialog::EinvoiceImportDialog(const QString& sourceName, importing::InvoiceRows rows,
                                           importing::PlanOptions options, MessageBoxes& boxes,
                                           QWidget* parent)
    : ImportPreviewDialog(kTitle, QStringLiteral("File"), std::move(options), boxes, parent),
      rows_(std::move(rows)) {
    setObjectName(QStringLiteral("ImportaFattureDialog"));
    setWindowTitle(kTitle + QStringLiteral(" - ") + sourceName);
    auto* heading = new QLabel(
        QStringLiteral("%1: %2 file di fatture letti, le fatture dell'utente scelto. Ogni "
                       "registrazione va nell'anno della data della fattura, non pagata. "
                       "Imponibile e Tributo si correggono nell'anteprima (doppio clic). "
                       "La firma dei file .p7m non è verificata di nuovo: l'ha verificata il "
                       "Sistema di Interscambio.")
            .arg(sourceName)
            .arg(rows_.files),
        this);
    heading->setWordWrap(true);
    connect(preview_, &QTableWidget::cellChanged, this, &EinvoiceImportDialog::readEditedCell);
    build(heading, nullptr, listedTable(rows_.listed, this));
    preview_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
    preview_->setFocus(Qt::OtherFocusReason);
}

Result<importing::ImportPlan>
EinvoiceImportDialog::makePlan(const importing::PlanOptions& options) {
    QList<importing::CandidateRow> rows = rows_.rows;
    for (importing::CandidateRow& row : rows) {
        WithholdingEntry& e = row.entry;
        if (const auto typed = taxable_.constFind(row.line); typed != taxable_.cend()) {
            const std::optional<Amount> amount = Amount::parse(*typed);
            e.taxable = amount ? amount->format() : *typed;
            e.total = ledger::recomputedTotal(e).value_or(QString());
        }
        if (const auto typed = taxCodes_.constFind(row.line); typed != taxCodes_.cend()) {
            e.taxCode = typed->trimmed();
            // The code chosen answers the finding that asked for it.
            row.unreadable.removeIf(
                [](const SaveFinding& finding) { return finding.focus == QStringLiteral("Cbo5"); });
        }
    }
    return importing::planRows(rows, options, rows_.codes);
}

void EinvoiceImportDialog::previewRowShown(int row) {
    if (plan().rows.at(row).verdict == importing::RowVerdict::Duplicate)
        return;
    for (const int column : {ColumnTaxable, ColumnTaxCode}) {
        QTableWidgetItem* item = preview_->item(row, column);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setToolTip(QStringLiteral("Doppio clic o un tasto per correggere"));
    }
}

void EinvoiceImportDialog::readEditedCell(int row, int column) {
    if (row >= plan().rows.size() || (column != ColumnTaxable && column != ColumnTaxCode))
        return;
    const int line = plan().rows.at(row).line;
    const QString text = preview_->item(row, column)->text();
    (column == ColumnTaxable ? taxable_ : taxCodes_).insert(line, text);
    // Planned again once the editor has handed its text over.
    QMetaObject::invokeMethod(this, &EinvoiceImportDialog::replan, Qt::QueuedConnection);
}
