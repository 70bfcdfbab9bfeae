#include "importing/import_preview_dialog.h"

#include "shell/message_boxes.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

using importing::RowVerdict;

QString verdictText(RowVerdict verdict) {
    switch (verdict) {
    case RowVerdict::Ready:
        return QStringLiteral("Da importare");
    case RowVerdict::Warned:
        return QStringLiteral("Con avvisi");
    case RowVerdict::Stopped:
        return QStringLiteral("Bloccata");
    case RowVerdict::Duplicate:
        return QStringLiteral("Duplicata");
    }
    return {};
}

QColor verdictColour(RowVerdict verdict) {
    switch (verdict) {
    case RowVerdict::Ready:
        return {};
    case RowVerdict::Warned:
        return QColor(255, 236, 153);
    case RowVerdict::Stopped:
        return QColor(244, 178, 178);
    case RowVerdict::Duplicate:
        return QColor(226, 226, 226);
    }
    return {};
}

} // namespace

ImportPreviewDialog::ImportPreviewDialog(const QString& title, const QString& placeCaption,
                                         importing::PlanOptions options, MessageBoxes& boxes,
                                         QWidget* parent)
    : QDialog(parent), options_(std::move(options)), boxes_(boxes), title_(title) {
    // Made here, laid out and put in the Tab order by build().
    preview_ = new QTableWidget(0, ColumnMessages + 1);
    preview_->setObjectName(QStringLiteral("Anteprima"));
    preview_->setHorizontalHeaderLabels(
        {placeCaption, QStringLiteral("Esito"), QStringLiteral("Denominazione"),
         QStringLiteral("N. fattura"), QStringLiteral("Data fattura"), QStringLiteral("Imponibile"),
         QStringLiteral("Aliquota"), QStringLiteral("Ritenuta"), QStringLiteral("Altro"),
         QStringLiteral("Tributo"), QStringLiteral("Messaggi")});
}

void ImportPreviewDialog::build(QWidget* heading, QWidget* side, QWidget* below) {
    // Built in the order Tab follows: the source's controls, the preview, the choice, the
    // buttons.
    auto* previewBox = new QGroupBox(QStringLiteral("&Anteprima delle righe"), this);
    preview_->setParent(previewBox);
    preview_->setSelectionBehavior(QAbstractItemView::SelectRows);
    preview_->verticalHeader()->hide();
    preview_->horizontalHeader()->setStretchLastSection(true);
    preview_->setWordWrap(false);
    // Tab leaves the table for the next control; the arrows move between rows.
    preview_->setTabKeyNavigation(false);
    auto* previewLayout = new QVBoxLayout(previewBox);
    previewLayout->addWidget(preview_);
    // The group's mnemonic takes the focus to its table.
    previewBox->setFocusProxy(preview_);

    createSubjects_ = new QCheckBox(
        QStringLiteral("Inserisci in anagrafica i soggetti &nuovi (non presenti)"), this);
    createSubjects_->setObjectName(QStringLiteral("CreaSoggetti"));
    createSubjects_->setChecked(options_.createSubjects);
    connect(createSubjects_, &QCheckBox::toggled, this, [this](bool on) {
        options_.createSubjects = on;
        replan();
    });

    payeesAsked_ = new QTableWidget(0, 3, this);
    payeesAsked_->setObjectName(QStringLiteral("SoggettiNuovi"));
    payeesAsked_->setHorizontalHeaderLabels({QStringLiteral("Soggetto nuovo senza codice fiscale"),
                                             QStringLiteral("Codice fiscale"),
                                             QStringLiteral("Partita IVA")});
    payeesAsked_->verticalHeader()->hide();
    payeesAsked_->horizontalHeader()->setStretchLastSection(true);
    // Typing in a cell writes it; Tab leaves the table, the arrows move between cells.
    payeesAsked_->setEditTriggers(QAbstractItemView::DoubleClicked |
                                  QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed);
    payeesAsked_->setTabKeyNavigation(false);
    payeesAsked_->setMaximumHeight(fontMetrics().height() * 8);
    payeesAsked_->hide();
    connect(payeesAsked_, &QTableWidget::itemChanged, this, &ImportPreviewDialog::readTypedCodes);
    // The payee's name is not written: the cell to write is the codice fiscale beside it.
    connect(payeesAsked_, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (column == 0)
            payeesAsked_->setCurrentCell(row, 1);
    });

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("Riepilogo"));
    summary_->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    importButton_ = buttons->addButton(QStringLiteral("&Importa"), QDialogButtonBox::AcceptRole);
    importButton_->setObjectName(QStringLiteral("Importa"));
    QPushButton* close =
        buttons->addButton(QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("Chiudi"));
    // Enter in the dialog must not start the import: only the button does.
    importButton_->setAutoDefault(false);
    close->setAutoDefault(false);
    connect(importButton_, &QPushButton::clicked, this, &ImportPreviewDialog::runImport);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* middle = new QHBoxLayout;
    if (side)
        middle->addWidget(side, 0);
    middle->addWidget(previewBox, 1);
    auto* layoutBox = new QVBoxLayout(this);
    layoutBox->addWidget(heading);
    layoutBox->addLayout(middle, 1);
    if (below)
        layoutBox->addWidget(below);
    layoutBox->addWidget(createSubjects_);
    layoutBox->addWidget(payeesAsked_);
    layoutBox->addWidget(summary_);
    layoutBox->addWidget(buttons);
    resize(1100, 640);
    replan();
}

void ImportPreviewDialog::replan() {
    const Result<importing::ImportPlan> planned = makePlan(options_);
    if (!planned.ok()) {
        plan_ = {};
        showPlan();
        summary_->setText(QStringLiteral("Lettura del registro non riuscita: ") + planned.error());
        return;
    }
    plan_ = planned.value;
    showPlan();
    showPayeesAsked();
}

void ImportPreviewDialog::showPayeesAsked() {
    QStringList shown;
    for (int r = 0; r < payeesAsked_->rowCount(); ++r)
        shown.append(payeesAsked_->item(r, 0)->text());
    payeesAsked_->setVisible(!plan_.payeesWithoutTaxCode.isEmpty());
    if (shown == plan_.payeesWithoutTaxCode)
        return;
    const QSignalBlocker quiet(payeesAsked_);
    payeesAsked_->setRowCount(int(plan_.payeesWithoutTaxCode.size()));
    for (int r = 0; r < payeesAsked_->rowCount(); ++r) {
        const QString name = plan_.payeesWithoutTaxCode.at(r);
        const importing::PayeeCodes typed = options_.typedCodes.value(name.toCaseFolded());
        auto* payee = new QTableWidgetItem(name);
        payee->setFlags(payee->flags() & ~Qt::ItemIsEditable);
        payeesAsked_->setItem(r, 0, payee);
        payeesAsked_->setItem(r, 1, new QTableWidgetItem(typed.taxCode));
        payeesAsked_->setItem(r, 2, new QTableWidgetItem(typed.vatNumber));
    }
    payeesAsked_->resizeColumnToContents(0);
}

void ImportPreviewDialog::readTypedCodes() {
    options_.typedCodes.clear();
    for (int r = 0; r < payeesAsked_->rowCount(); ++r)
        options_.typedCodes.insert(payeesAsked_->item(r, 0)->text().toCaseFolded(),
                                   {payeesAsked_->item(r, 1)->text().trimmed().toUpper(),
                                    payeesAsked_->item(r, 2)->text().trimmed()});
    replan();
}

void ImportPreviewDialog::showPlan() {
    const QSignalBlocker quiet(preview_);
    preview_->setRowCount(int(plan_.rows.size()));
    for (int r = 0; r < plan_.rows.size(); ++r) {
        const importing::PlannedRow& row = plan_.rows.at(r);
        const QStringList messages = row.messages();
        const WithholdingEntry& e = row.entry;
        const QStringList cells = {row.source.isEmpty() ? QString::number(row.line) : row.source,
                                   verdictText(row.verdict),
                                   e.subjectName,
                                   e.invoiceNumber,
                                   e.invoiceDate,
                                   e.taxable,
                                   e.rate,
                                   e.withheld,
                                   e.other,
                                   e.taxCode,
                                   messages.join(QStringLiteral("; "))};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells.at(c));
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if ((c == ColumnPlace && row.source.isEmpty()) ||
                (c >= ColumnTaxable && c <= ColumnOther))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (const QColor colour = verdictColour(row.verdict); colour.isValid())
                item->setBackground(colour);
            if (c == ColumnMessages)
                item->setToolTip(messages.join(u'\n'));
            preview_->setItem(r, c, item);
        }
        previewRowShown(r);
    }
    preview_->resizeColumnsToContents();
    QString text = QStringLiteral("Righe lette: %1 — da importare %2 (con avvisi %3), bloccate %4, "
                                  "duplicate %5.")
                       .arg(plan_.rows.size())
                       .arg(plan_.importable())
                       .arg(plan_.count(RowVerdict::Warned))
                       .arg(plan_.count(RowVerdict::Stopped))
                       .arg(plan_.count(RowVerdict::Duplicate));
    if (const qsizetype created = plan_.newSubjects().size(); created > 0)
        text += QStringLiteral(" Soggetti nuovi da inserire: %1.").arg(created);
    text += summaryNote();
    summary_->setText(text);
    importButton_->setEnabled(plan_.importable() > 0);
}

void ImportPreviewDialog::runImport() {
    const int total = plan_.importable();
    QProgressDialog progress(QStringLiteral("Importazione delle registrazioni…"),
                             QStringLiteral("Annulla"), 0, total, this);
    progress.setWindowTitle(title_);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    outcome_ = importing::runImport(plan_, [&progress](qint64 done, qint64) {
        progress.setValue(int(done));
        return !progress.wasCanceled();
    });
    progress.close();
    if (outcome_.cancelled) {
        boxes_.notice(QStringLiteral("Importazione annullata: il registro non è stato modificato."),
                      title_);
        return;
    }
    if (!outcome_.status.ok()) {
        boxes_.notice(QStringLiteral("Importazione non riuscita: nessuna registrazione è stata "
                                     "scritta.\nMotivo: ") +
                          outcome_.status.error(),
                      blockingTitle());
        return;
    }
    QString text = QStringLiteral("Importate %1 registrazioni.").arg(outcome_.records);
    if (outcome_.subjects > 0)
        text += QStringLiteral("\nSoggetti inseriti in anagrafica: %1.").arg(outcome_.subjects);
    const int stopped = plan_.count(RowVerdict::Stopped);
    const int duplicates = plan_.count(RowVerdict::Duplicate);
    if (stopped + duplicates > 0)
        text += QStringLiteral("\nNon importate: %1 bloccate, %2 duplicate.")
                    .arg(stopped)
                    .arg(duplicates);
    boxes_.notice(text, title_);
    accept();
}
