#include "importing/sheet_import_dialog.h"

#include "importing/sheet_values.h"
#include "platform/message_boxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

using importing::RowVerdict;

const QString kTitle = QStringLiteral("Importa registrazioni");

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

// The first value below the header in a column, to recognise it by.
QString sampleOf(const sheet::Table& table, int headerRow, int column) {
    for (qsizetype i = headerRow + 1; i < table.rows.size(); ++i) {
        const sheet::Value cell = table.rows.at(i).cells.value(column);
        if (!cell.isEmpty())
            return importing::textOfCell(cell);
    }
    return {};
}

QString columnName(const QString& caption, int column) {
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return caption.isEmpty() ? QStringLiteral("Colonna %1").arg(letters)
                             : QStringLiteral("%1 (%2)").arg(caption, letters);
}

} // namespace

SheetImportDialog::SheetImportDialog(const QString& fileName, sheet::Table table,
                                     importing::SheetLayout layout, importing::PlanOptions options,
                                     MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), table_(std::move(table)), layout_(std::move(layout)),
      options_(std::move(options)), boxes_(boxes) {
    setObjectName(QStringLiteral("ImportaRegistrazioniDialog"));
    setWindowTitle(kTitle + QStringLiteral(" - ") + fileName);
    auto* file = new QLabel(
        QStringLiteral("File: %1 — intestazione alla riga %2; le registrazioni vanno nell'anno %3 "
                       "dell'utente scelto.")
            .arg(fileName)
            .arg(table_.rows.at(layout_.headerRow).number)
            .arg(options_.year),
        this);
    file->setWordWrap(true);
    // Built in the order Tab follows: the columns, the preview, the choice, the buttons.
    QWidget* columns = buildColumns();

    auto* previewBox = new QGroupBox(QStringLiteral("&Anteprima delle righe"), this);
    preview_ = new QTableWidget(0, 8, previewBox);
    preview_->setObjectName(QStringLiteral("Anteprima"));
    preview_->setHorizontalHeaderLabels(
        {QStringLiteral("Riga"), QStringLiteral("Esito"), QStringLiteral("Denominazione"),
         QStringLiteral("N. fattura"), QStringLiteral("Data fattura"), QStringLiteral("Imponibile"),
         QStringLiteral("Ritenuta"), QStringLiteral("Messaggi")});
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
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
        QStringLiteral("Inserisci in anagrafica i soggetti &nuovi (denominazioni non presenti)"),
        this);
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
    connect(payeesAsked_, &QTableWidget::itemChanged, this, &SheetImportDialog::readTypedCodes);
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
    connect(importButton_, &QPushButton::clicked, this, &SheetImportDialog::runImport);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* middle = new QHBoxLayout;
    middle->addWidget(columns, 0);
    middle->addWidget(previewBox, 1);
    auto* layoutBox = new QVBoxLayout(this);
    layoutBox->addWidget(file);
    layoutBox->addLayout(middle, 1);
    layoutBox->addWidget(createSubjects_);
    layoutBox->addWidget(payeesAsked_);
    layoutBox->addWidget(summary_);
    layoutBox->addWidget(buttons);
    resize(1100, 640);

    replan();
    if (!fieldChoices_.isEmpty())
        fieldChoices_.front()->setFocus(Qt::OtherFocusReason);
}

QWidget* SheetImportDialog::buildColumns() {
    auto* box = new QGroupBox(QStringLiteral("Colonne del file → campi"), this);
    auto* inner = new QWidget;
    auto* form = new QFormLayout(inner);
    const qsizetype columns = std::max(layout_.captions.size(), layout_.fields.size());
    for (int column = 0; column < columns; ++column) {
        auto* choice = new QComboBox(inner);
        choice->setObjectName(QStringLiteral("Campo%1").arg(column));
        choice->addItem(QStringLiteral("(non importare)"), -1);
        for (int field = 0; field < importing::kRecordFieldCount; ++field)
            choice->addItem(importing::fieldLabel(importing::RecordField(field)), field);
        const std::optional<importing::RecordField> matched = layout_.fields.value(column);
        choice->setCurrentIndex(matched ? int(*matched) + 1 : 0);
        const QString sample = sampleOf(table_, layout_.headerRow, column);
        auto* label = new QLabel(columnName(layout_.captions.value(column), column), inner);
        label->setToolTip(sample.isEmpty() ? QString()
                                           : QStringLiteral("Primo valore: %1").arg(sample));
        label->setBuddy(choice);
        form->addRow(label, choice);
        connect(choice, &QComboBox::currentIndexChanged, this, [this, column, choice] {
            const int field = choice->currentData().toInt();
            if (layout_.fields.size() <= column)
                layout_.fields.resize(column + 1);
            layout_.fields[column] =
                field < 0 ? std::nullopt
                          : std::optional<importing::RecordField>(importing::RecordField(field));
            replan();
        });
        fieldChoices_.append(choice);
    }
    auto* scroll = new QScrollArea(box);
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    scroll->setMinimumWidth(inner->sizeHint().width() + 24);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(scroll);
    return box;
}

void SheetImportDialog::replan() {
    const Result<importing::ImportPlan> planned = importing::planImport(table_, layout_, options_);
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

void SheetImportDialog::showPayeesAsked() {
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

void SheetImportDialog::readTypedCodes() {
    options_.typedCodes.clear();
    for (int r = 0; r < payeesAsked_->rowCount(); ++r)
        options_.typedCodes.insert(payeesAsked_->item(r, 0)->text().toCaseFolded(),
                                   {payeesAsked_->item(r, 1)->text().trimmed().toUpper(),
                                    payeesAsked_->item(r, 2)->text().trimmed()});
    replan();
}

void SheetImportDialog::showPlan() {
    preview_->setRowCount(int(plan_.rows.size()));
    for (int r = 0; r < plan_.rows.size(); ++r) {
        const importing::PlannedRow& row = plan_.rows.at(r);
        const QStringList messages = row.messages();
        const QStringList cells = {QString::number(row.line), verdictText(row.verdict),
                                   row.entry.subjectName,     row.entry.invoiceNumber,
                                   row.entry.invoiceDate,     row.entry.taxable,
                                   row.entry.withheld,        messages.join(QStringLiteral("; "))};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells.at(c));
            if (c == 0 || c == 5 || c == 6)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (const QColor colour = verdictColour(row.verdict); colour.isValid())
                item->setBackground(colour);
            if (c == 7)
                item->setToolTip(messages.join(u'\n'));
            preview_->setItem(r, c, item);
        }
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
    if (plan_.totalsLine > 0)
        text +=
            QStringLiteral(" La riga %1 dei totali non è una registrazione.").arg(plan_.totalsLine);
    summary_->setText(text);
    importButton_->setEnabled(plan_.importable() > 0);
}

void SheetImportDialog::runImport() {
    const int total = plan_.importable();
    QProgressDialog progress(QStringLiteral("Importazione delle registrazioni…"),
                             QStringLiteral("Annulla"), 0, total, this);
    progress.setWindowTitle(kTitle);
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
                      kTitle);
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
    boxes_.notice(text, kTitle);
    accept();
}
