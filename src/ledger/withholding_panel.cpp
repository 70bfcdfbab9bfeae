#include "ledger/withholding_panel.h"

#include "ledger/amount_field.h"
#include "ledger/ledger_lookups.h"
#include "ledger/withholding_rules.h"
#include "shell/message_boxes.h"
#include "shell/shell.h"
#include "store/queries.h"
#include "widgets/clickable_label.h"
#include "widgets/combo_choice.h"
#include "widgets/date_box.h"
#include "widgets/field_focus.h"
#include "widgets/typed_values.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// An editable list: the loaded record's value shows even when the list lacks it.
QComboBox* makeCombo(const char* name, QWidget* parent) {
    auto* combo = named(new QComboBox(parent), name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

// A field only the program writes: kept out of the tab chain.
QLineEdit* makeShownField(const char* name, Qt::Alignment alignment, QWidget* parent) {
    auto* field = named(new QLineEdit(parent), name);
    field->setReadOnly(true);
    field->setAlignment(alignment);
    field->setFocusPolicy(Qt::ClickFocus);
    return field;
}

// Refills a list, keeping the text the combo shows and selecting no entry.
void refill(QComboBox* combo, const QStringList& entries) {
    const QString shown = combo->currentText();
    combo->clear();
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
    combo->setEditText(shown);
}

} // namespace

WithholdingPanel::WithholdingPanel(Shell& shell, QWidget* parent)
    : QGroupBox(QStringLiteral("Velarco"), parent), shell_(shell) {
    setObjectName(QStringLiteral("Frame4"));
    buildFields();
    connectReactions();
    new TypedValues(*this);

    connect(shell_.action("Rinserisci"), &QAction::triggered, this, &WithholdingPanel::openInsert);
    connect(shell_.action("Rmodifica"), &QAction::triggered, this,
            [this] { openForPick(GridPick::ChangeRecord, false); });
    connect(shell_.action("RElimina"), &QAction::triggered, this,
            [this] { openForPick(GridPick::DeleteRecord, true); });
}

void WithholdingPanel::buildFields() {
    Cbo3 = makeCombo("Cbo3", this);
    Cbo3->setMinimumContentsLength(36);
    DataBox2 = named(new DateBox(this), "DataBox2");
    Text19 = named(new QLineEdit(this), "Text19");
    Cbo5 = makeCombo("Cbo5", this);
    Label39 = named(new QLabel(this), "Label39");
    Label39->setWordWrap(true);
    Text20 = new AmountField("Text20", this);
    Cbo4 = makeCombo("Cbo4", this);
    Text15 = new AmountField("Text15", this);
    Check4 = named(new QCheckBox(QStringLiteral("Controlla"), this), "Check4");
    Text16 = new AmountField("Text16", this);
    Text17 = makeShownField("Text17", Qt::AlignRight, this);
    Check2 = named(new QCheckBox(QStringLiteral("Pagata SI/NO"), this), "Check2");
    DataBox3 = named(new DateBox(this), "DataBox3");
    Text4 = makeShownField("Text4", Qt::AlignCenter, this);
    Text21 = makeShownField("Text21", Qt::AlignCenter, this);
    DataBox4 = named(new DateBox(this), "DataBox4");
    Check3 = named(new QCheckBox(QStringLiteral("Ravved."), this), "Check3");
    Text13 = new AmountField("Text13", this);
    Text14 = new AmountField("Text14", this);
    Text18 = new AmountField("Text18", this);
    Text23 = makeShownField("Text23", Qt::AlignCenter, this);
    Text22 = makeShownField("Text22", Qt::AlignCenter, this);
    Cmd3 = named(new QPushButton(ledger::entryModeCaption(mode_), this), "Cmd3");
    Image2 = makeClosePicture("Image2", this);

    auto* grid = new QGridLayout(this);
    int labelIndex = 0;
    // A caption and its field, at a row and a pair of columns of the grid.
    const auto place = [&](int row, int column, const QString& caption, QWidget* field,
                           int span = 1) {
        if (!caption.isEmpty()) {
            auto* label = new QLabel(caption, this);
            label->setObjectName(QStringLiteral("Frame4Caption%1").arg(++labelIndex));
            label->setBuddy(field);
            grid->addWidget(label, row, column, Qt::AlignRight);
        }
        grid->addWidget(field, row, column + 1, 1, span);
    };
    grid->addWidget(Image2, 0, 7, Qt::AlignRight | Qt::AlignTop);
    place(1, 0, QStringLiteral("Denominazione\\Cognome Nome"), Cbo3, 5);
    place(2, 0, QStringLiteral("Data"), DataBox2);
    place(2, 2, QStringLiteral("N. FT"), Text19);
    place(3, 0, QStringLiteral("Codice Tributo"), Cbo5);
    grid->addWidget(Label39, 3, 2, 1, 6);
    place(4, 0, QStringLiteral("Imponibile"), Text20);
    place(4, 2, QStringLiteral("Aliquota"), Cbo4);
    place(4, 4, QStringLiteral("Ritenuta"), Text15);
    grid->addWidget(Check4, 4, 6, 1, 2);
    place(5, 0, QStringLiteral("Altro"), Text16);
    place(5, 4, QStringLiteral("Totale"), Text17);
    grid->addWidget(Check2, 6, 0, Qt::AlignRight);
    place(6, 2, QStringLiteral("Data"), DataBox3);
    place(6, 4, QStringLiteral("Periodo"), Text4);
    place(6, 6, QStringLiteral("Scadenza"), Text21);
    // Row 7 stays free for a one-line note under Scadenza (the tax calendar's).
    place(8, 0, QStringLiteral("Data Versamento"), DataBox4);
    place(8, 2, QString(), Check3);
    place(8, 4, QStringLiteral("Interessi"), Text13);
    place(8, 6, QStringLiteral("Sanzione"), Text14);
    place(9, 4, QStringLiteral("Totale Versato"), Text18);
    place(10, 0, QStringLiteral("ID_An"), Text23);
    place(10, 2, QStringLiteral("ID"), Text22);
    grid->addWidget(Cmd3, 10, 6, 1, 2, Qt::AlignRight);
    grid->setRowStretch(11, 1);

    QWidget* chain[] = {Cbo3,   DataBox2, Text19,   Cbo5,   Text20, Cbo4,   Text15, Check4, Text16,
                        Check2, DataBox3, DataBox4, Check3, Text13, Text14, Text18, Cmd3};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void WithholdingPanel::connectReactions() {
    connect(Cbo3, &QComboBox::activated, this, [this] {
        subjectTyped_ = false;
        onSubjectChosen();
    });
    connect(Cbo3->lineEdit(), &QLineEdit::textEdited, this, [this] { subjectTyped_ = true; });
    connect(Cbo3->lineEdit(), &QLineEdit::returnPressed, this, &WithholdingPanel::onSubjectLeft);
    Cbo3->installEventFilter(this);
    onComboChoice(Cbo4, this, [this] { CalcolaRitenuta(); });
    onComboChoice(Cbo5, this, [this] { onTaxCodeChosen(); });
    connect(Check2, &QCheckBox::toggled, this, &WithholdingPanel::onCheck2);
    connect(Check3, &QCheckBox::toggled, this, &WithholdingPanel::onCheck3);
    connect(Check4, &QCheckBox::toggled, this, &WithholdingPanel::onCheck4);
    connect(DataBox3, &DateBox::focusLost, this, &WithholdingPanel::onPaymentDateLeft);
    connect(DataBox4, &DateBox::focusLost, this, &WithholdingPanel::onRemittanceDateLeft);
    for (DateBox* box : {DataBox2, DataBox3, DataBox4})
        connect(box, &DateBox::invalidDate, this, [this, box] { onInvalidDate(box); });
    connect(Cmd3, &QPushButton::clicked, this, &WithholdingPanel::SalvaRitenuta);
    connect(Image2, &ClickableLabel::clicked, this, &WithholdingPanel::close);
}

// Live reactions -----------------------------------------------------------------

void WithholdingPanel::CalcolaRitenuta() {
    const ledger::RateOutcome outcome =
        ledger::chooseRate(Cbo4->currentText(), Text20->text(), Text16->text());
    Text16->setText(outcome.other);
    Text15->setText(outcome.withheld);
    Text17->setText(outcome.total);
}

void WithholdingPanel::onSubjectChosen() {
    Text23->clear();
    const Result<std::optional<qint64>> id = store::subjectIdByName(Cbo3->currentText());
    if (!id.ok())
        reportDatabaseError(QStringLiteral("Lettura del soggetto non riuscita"), id.error());
    else if (id.value)
        Text23->setText(QString::number(*id.value));
}

void WithholdingPanel::onSubjectLeft() {
    if (!subjectTyped_)
        return;
    subjectTyped_ = false;
    onSubjectChosen();
}

bool WithholdingPanel::eventFilter(QObject* watched, QEvent* event) {
    // The subject name is left like any field: not when the window merely loses the
    // activation or the list opens.
    if (watched == Cbo3 && event->type() == QEvent::FocusOut &&
        leavesField(*static_cast<QFocusEvent*>(event)))
        onSubjectLeft();
    return QGroupBox::eventFilter(watched, event);
}

void WithholdingPanel::onTaxCodeChosen() {
    Label39->clear();
    const Result<QString> description = ledger::taxCodeDescription(Cbo5->currentText());
    if (!description.ok())
        reportDatabaseError(QStringLiteral("Lettura del codice tributo non riuscita"),
                            description.error());
    else
        Label39->setText(description.value);
}

void WithholdingPanel::onCheck2(bool ticked) {
    if (ticked) {
        DataBox3->setEnabled(true);
        return;
    }
    DataBox3->clear();
    Text4->clear();
    Text21->clear();
    DataBox3->setEnabled(false);
}

void WithholdingPanel::onCheck3(bool ticked) {
    if (ticked) {
        Text13->setEnabled(true);
        Text14->setEnabled(true);
        Text13->clear();
        Text14->clear();
        Text18->clear();
        return;
    }
    Text14->clear();
    Text13->clear();
    Text13->setEnabled(false);
    Text14->setEnabled(false);
}

void WithholdingPanel::onCheck4(bool ticked) {
    // Unticking only clears the tick: the total shown stays.
    if (!ticked)
        return;
    if (const std::optional<QString> total =
            ledger::totalText(Text15->text(), Text20->text(), Text16->text()))
        Text17->setText(*total);
}

void WithholdingPanel::onPaymentDateLeft() {
    const ledger::PaymentDateOutcome outcome = ledger::leavePaymentDate(DataBox3->text());
    if (outcome.period)
        Text4->setText(*outcome.period);
    if (outcome.dueDate)
        Text21->setText(*outcome.dueDate);
    if (outcome.focusRemittanceDate)
        DataBox4->setFocus(Qt::OtherFocusReason);
}

void WithholdingPanel::onRemittanceDateLeft() {
    if (ledger::remittanceDateClearsRemitted(DataBox4->text(), DataBox4->changedSinceEntered()))
        Text18->clear();
}

void WithholdingPanel::onInvalidDate(DateBox* box) {
    shell_.boxes().plain(QStringLiteral("Data non valida"));
    box->invalidDateHandled();
}

// Lists and grid ------------------------------------------------------------------

void WithholdingPanel::CaricaTributi() {
    const Result<QStringList> codes = ledger::taxCodes();
    if (!codes.ok())
        reportDatabaseError(QStringLiteral("Lettura dei codici tributo non riuscita"),
                            codes.error());
    refill(Cbo5, codes.value);
}

void WithholdingPanel::CaricaPercentuali() {
    const Result<QStringList> rates = ledger::rateTexts();
    if (!rates.ok())
        reportDatabaseError(QStringLiteral("Lettura delle aliquote non riuscita"), rates.error());
    refill(Cbo4, rates.value);
}

void WithholdingPanel::CaricaPeriodi() {
    // The period list belongs to the search panel, reached through the window by name.
    auto* combo = window()->findChild<QComboBox*>(QStringLiteral("Cbo6"));
    if (!combo)
        return;
    const Result<QStringList> periods = ledger::periods();
    if (!periods.ok())
        reportDatabaseError(QStringLiteral("Lettura dei periodi non riuscita"), periods.error());
    combo->clear();
    combo->addItems(periods.value);
    combo->setCurrentIndex(-1);
}

// Modes -----------------------------------------------------------------------------

void WithholdingPanel::openInsert() {
    if (!shell_.requireSelection())
        return;
    shell_.setPanelsVisible({"Frame6"}, false);
    shell_.setWorkMenusEnabled(false);
    show();
    shell_.setPanelsVisible({"Frame5"}, false);
    Text23->clear();
    shell_.CaricaSoggetti();
    CaricaTributi();
    CaricaPercentuali();
    Label39->clear();
    // The payment date waits for "Pagata", interest and penalty for "Ravved.".
    DataBox3->setEnabled(false);
    Text13->setEnabled(false);
    Text14->setEnabled(false);
    setMode(EntryMode::Insert);
    Cbo3->setFocus(Qt::OtherFocusReason);
}

void WithholdingPanel::setMode(EntryMode mode) {
    mode_ = mode;
    Cmd3->setText(ledger::entryModeCaption(mode));
}

void WithholdingPanel::openForPick(GridPick pick, bool keepFunzioni) {
    if (!shell_.requireSelection())
        return;
    // While a record is picked for deletion the year deletion stays reachable.
    if (keepFunzioni)
        shell_.setMenusEnabled({"Esci", "Anagrafica", "Ritenute", "Servizi"}, false);
    else
        shell_.setWorkMenusEnabled(false);
    shell_.setPanelsVisible({"Frame3"}, true);
    shell_.setPanelsVisible({"Frame5", "Frame6"}, false);
    shell_.setGridPick(pick);
    CaricaGrigliaRitenute();
}

void WithholdingPanel::close() {
    shell_.PulisciCampi();
    for (QCheckBox* check : {Check2, Check3, Check4})
        check->setChecked(false);
    DataBox2->clear();
    DataBox3->clear();
    for (QComboBox* combo : {Cbo3, Cbo4, Cbo5})
        combo->setEditText(QString());
    Label39->clear();
    hide();
    shell_.setPanelsVisible({"Frame2"}, false);
    shell_.resumeWork();
}

void WithholdingPanel::reportDatabaseError(const QString& what, const QString& reason) {
    shell_.boxes().notice(what + QStringLiteral(": ") + reason, blockingTitle());
}
