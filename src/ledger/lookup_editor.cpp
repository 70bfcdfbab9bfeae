#include "ledger/lookup_editor.h"

#include "ledger/lookup_table_model.h"
#include "shell/message_boxes.h"
#include "shell/shell.h"
#include "widgets/clickable_label.h"
#include "widgets/data_grid.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

namespace {

QCheckBox* makeCheck(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

LookupEditor::LookupEditor(Shell& shell, QWidget* parent)
    : QGroupBox(QStringLiteral("Funzionalità"), parent), shell_(shell) {
    setObjectName(QStringLiteral("Frame6"));
    XPCheck1 = makeCheck("XPCheck1", QStringLiteral("Anno"), this);
    XPCheck2 = makeCheck("XPCheck2", QStringLiteral("Codice Tributo"), this);
    XPCheck3 = makeCheck("XPCheck3", QStringLiteral("Percentuale"), this);
    legalRatesCheck_ = makeCheck("legalRatesCheck", QStringLiteral("Tasso legale"), this);
    deferralsCheck_ = makeCheck("deferralsCheck", QStringLiteral("Proroghe scadenze"), this);
    returnDeadlinesCheck_ = makeCheck("returnDeadlinesCheck", QStringLiteral("Scadenze 770"), this);
    DataGrid2 = new DataGrid(this);
    DataGrid2->setObjectName(QStringLiteral("DataGrid2"));
    DataGrid2->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    auto* caption = new QLabel(QStringLiteral("Seleziona la riga per inserire o modificare"), this);
    caption->setObjectName(QStringLiteral("DataGrid2Caption"));
    caption->setBuddy(DataGrid2);
    addButton_ = new QPushButton(QStringLiteral("&Nuova riga"), this);
    addButton_->setObjectName(QStringLiteral("addRowButton"));
    addButton_->setToolTip(QStringLiteral("Aggiunge una riga in fondo alla tabella (Ins)"));
    deleteButton_ = new QPushButton(QStringLiteral("E&limina riga"), this);
    deleteButton_->setObjectName(QStringLiteral("deleteRowButton"));
    deleteButton_->setToolTip(QStringLiteral("Elimina la riga selezionata (Canc)"));
    addButton_->setEnabled(false);
    deleteButton_->setEnabled(false);
    ClickableLabel* Label47 = makeCloseMark("Label47", this);

    auto* checks = new QHBoxLayout;
    for (QCheckBox* box : tableChecks())
        checks->addWidget(box);
    checks->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addButton_);
    buttons->addWidget(deleteButton_);
    buttons->addStretch(1);
    auto* layout = new QGridLayout(this);
    layout->addWidget(Label47, 0, 1, Qt::AlignRight | Qt::AlignTop);
    layout->addLayout(checks, 0, 0);
    layout->addWidget(caption, 1, 0, 1, 2);
    layout->addWidget(DataGrid2, 2, 0, 1, 2);
    layout->addLayout(buttons, 3, 0, 1, 2);
    layout->setRowStretch(2, 1);

    const std::pair<QCheckBox*, Loader> loaders[] = {
        {XPCheck1, &LookupEditor::CaricaGrigliaAnni},
        {XPCheck2, &LookupEditor::CaricaGrigliaTributi},
        {XPCheck3, &LookupEditor::CaricaGrigliaPercentuali},
        {legalRatesCheck_, &LookupEditor::loadLegalRates},
        {deferralsCheck_, &LookupEditor::loadDeferrals},
        {returnDeadlinesCheck_, &LookupEditor::loadReturnDeadlines},
    };
    for (const auto& [box, loader] : loaders)
        connect(box, &QCheckBox::toggled, this,
                [this, box, loader] { onCheckToggled(box, loader); });
    connect(addButton_, &QPushButton::clicked, this, &LookupEditor::addRow);
    connect(deleteButton_, &QPushButton::clicked, this, &LookupEditor::deleteRow);
    // Ins and Canc on the grid itself, not while a cell is being edited.
    auto* insert = new QShortcut(QKeySequence(Qt::Key_Insert), DataGrid2);
    insert->setContext(Qt::WidgetShortcut);
    connect(insert, &QShortcut::activated, this, &LookupEditor::addRow);
    auto* remove = new QShortcut(QKeySequence(Qt::Key_Delete), DataGrid2);
    remove->setContext(Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &LookupEditor::deleteRow);

    connect(Label47, &ClickableLabel::clicked, this, [this] {
        hide();
        shell_.resumeWork();
    });
}

QList<QCheckBox*> LookupEditor::tableChecks() const {
    return {XPCheck1, XPCheck2, XPCheck3, legalRatesCheck_, deferralsCheck_, returnDeadlinesCheck_};
}

void LookupEditor::onCheckToggled(QCheckBox* box, Loader loader) {
    // Unticking the others runs their handlers, which empty the grid before the
    // loader fills it again.
    if (box->isChecked()) {
        for (QCheckBox* other : tableChecks()) {
            if (other != box)
                other->setChecked(false);
        }
        (this->*loader)();
    }
    if (!box->isChecked())
        clearGrid();
}

void LookupEditor::CaricaGrigliaAnni() {
    load(lookup::Table::Years);
}

void LookupEditor::CaricaGrigliaTributi() {
    load(lookup::Table::TaxCodes);
}

void LookupEditor::CaricaGrigliaPercentuali() {
    load(lookup::Table::Rates);
}

void LookupEditor::loadLegalRates() {
    load(lookup::Table::LegalRates);
}

void LookupEditor::loadDeferrals() {
    load(lookup::Table::Deferrals);
}

void LookupEditor::loadReturnDeadlines() {
    load(lookup::Table::ReturnDeadlines);
}

void LookupEditor::load(lookup::Table table) {
    clearGrid();
    auto* model = new LookupTableModel(table, this);
    if (const Status s = model->load(); !s.ok()) {
        delete model;
        shell_.boxes().notice(QStringLiteral("Impossibile leggere la tabella %1.\nErrore del "
                                             "database: %2")
                                  .arg(lookup::tableName(table), s.error()),
                              blockingTitle());
        return;
    }
    model_ = model;
    // Shown after the edit has finished, so that the box does not take the focus from
    // an editor still being closed.
    connect(model_, &LookupTableModel::refused, this, &LookupEditor::showRefusal,
            Qt::QueuedConnection);
    DataGrid2->bindModel(model_);
    // The row key is internal: the entry lists never show it and it must not change.
    DataGrid2->setColumnHidden(0, true);
    for (int c = 1; c < model_->columnCount(); ++c)
        DataGrid2->setColumnWidthTwips(c, 1800);
    if (table == lookup::Table::Rates)
        DataGrid2->widenColumnFor(model_->keyColumn(), DataGrid::widestAmount());
    // Only the tax codes, the deferrals and the return deadlines have a long column: it
    // takes the free width.
    DataGrid2->horizontalHeader()->setStretchLastSection(table == lookup::Table::TaxCodes ||
                                                         table == lookup::Table::Deferrals ||
                                                         table == lookup::Table::ReturnDeadlines);
    addButton_->setEnabled(true);
    deleteButton_->setEnabled(true);
}

void LookupEditor::clearGrid() {
    DataGrid2->unbind();
    delete model_;
    model_ = nullptr;
    addButton_->setEnabled(false);
    deleteButton_->setEnabled(false);
}

void LookupEditor::addRow() {
    if (!model_)
        return;
    const QModelIndex index = model_->index(model_->appendBlankRow(), model_->keyColumn());
    DataGrid2->setFocus();
    DataGrid2->setCurrentIndex(index);
    DataGrid2->scrollTo(index);
    DataGrid2->edit(index);
}

void LookupEditor::deleteRow() {
    if (!model_)
        return;
    const int row = DataGrid2->currentIndex().isValid() ? DataGrid2->currentIndex().row() : -1;
    if (row < 0) {
        shell_.boxes().notice(QStringLiteral("Selezionare la riga da eliminare."),
                              QStringLiteral("ERRORE - CAMPO   VUOTO"));
        return;
    }
    // A new row not yet written goes without asking.
    if (!model_->isBlankRow(row) &&
        !shell_.boxes().confirm(QStringLiteral(" Sei sicuro di voler eliminare la riga "
                                               "selezionata ?"),
                                QStringLiteral("Velarco - ELIMINA")))
        return;
    if (const Status s = model_->removeRowAt(row); !s.ok())
        shell_.boxes().notice(QStringLiteral("Eliminazione non effettuata.\nErrore del "
                                             "database: ") +
                                  s.error(),
                              blockingTitle());
}

void LookupEditor::showRefusal(const QString& text, const QString& title) {
    shell_.boxes().notice(text, title);
}
