#include "reports/search_panel.h"

#include "ledger/ledger_lookups.h"
#include "shell/message_boxes.h"
#include "shell/shell.h"
#include "widgets/clickable_label.h"
#include "widgets/date_box.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QComboBox* makeCombo(const char* name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    // Typed text is kept as the operator wrote it: a subject may be a pattern with "%".
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumContentsLength(28);
    return combo;
}

QLabel* makeCaption(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

SearchPanel::SearchPanel(Shell& shell, QWidget* parent)
    : QGroupBox(parent), shell_(shell), runner_(shell, this) {
    setObjectName(QStringLiteral("Frame5"));
    DataBox5 = new DateBox(this);
    DataBox5->setObjectName(QStringLiteral("DataBox5"));
    Cbo6 = makeCombo("Cbo6", this);
    Cbo7 = makeCombo("Cbo7", this);
    Cmd4 = new QPushButton(QStringLiteral("Ricerca"), this);
    Cmd4->setObjectName(QStringLiteral("Cmd4"));
    dateCaption_ = makeCaption("dateCaption", QStringLiteral("Per data "), this);
    periodCaption_ = makeCaption("periodCaption", QStringLiteral("Periodo"), this);
    subjectCaption_ = makeCaption("subjectCaption", QStringLiteral("Per Soggetto"), this);
    ClickableLabel* Label45 = makeCloseMark("Label45", this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label45, 0, 2, Qt::AlignRight | Qt::AlignTop);
    layout->addWidget(dateCaption_, 1, 0);
    layout->addWidget(DataBox5, 1, 1, Qt::AlignLeft);
    layout->addWidget(periodCaption_, 2, 0);
    layout->addWidget(Cbo6, 2, 1, Qt::AlignLeft);
    layout->addWidget(subjectCaption_, 3, 0);
    layout->addWidget(Cbo7, 3, 1);
    layout->addWidget(Cmd4, 4, 1, Qt::AlignLeft);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(5, 1);
    // No input until a search's menu item opens the panel.
    showInput(ReportInput::None);

    connect(Label45, &ClickableLabel::clicked, this, [this] {
        hide();
        shell_.resumeWork({"Funzioni", "Esci", "Anagrafica", "Ritenute", "Servizi"});
    });
    connect(Cmd4, &QPushButton::clicked, this, &SearchPanel::search);
    connect(DataBox5, &DateBox::invalidDate, this, [this] {
        shell_.boxes().plain(QStringLiteral("Data non valida"));
        DataBox5->invalidDateHandled();
    });
    for (const ReportDescription& report : reportDescriptions()) {
        QAction* item = isSearch(report) ? shell_.action(menuItemOf(report).constData()) : nullptr;
        if (item)
            connect(item, &QAction::triggered, this, [this, &report] { open(report); });
    }
}

void SearchPanel::showInput(ReportInput input) {
    // Each caption goes with its input, so the panel never names a field it does not show.
    Cbo6->setVisible(input == ReportInput::Period);
    periodCaption_->setVisible(input == ReportInput::Period);
    Cbo7->setVisible(input == ReportInput::Subject);
    subjectCaption_->setVisible(input == ReportInput::Subject);
    DataBox5->setVisible(input == ReportInput::Month);
    dateCaption_->setVisible(input == ReportInput::Month);
}

void SearchPanel::open(const ReportDescription& search) {
    search_ = &search;
    show();
    setTitle(search.askTitle);
    showInput(search.input);
    QWidget* field = nullptr;
    switch (search.input) {
    case ReportInput::Month:
        DataBox5->clear();
        field = DataBox5;
        break;
    case ReportInput::Period:
        CaricaPeriodi();
        field = Cbo6;
        break;
    case ReportInput::Subject:
        Cbo7->clear();
        Cbo7->setEditText(QString());
        shell_.CaricaSoggetti();
        field = Cbo7;
        break;
    case ReportInput::None:
        return;
    }
    field->setFocus(Qt::OtherFocusReason);
}

void SearchPanel::CaricaPeriodi() {
    Cbo6->clear();
    const Result<QStringList> periods = ledger::periods();
    if (!periods.ok())
        shell_.boxes().notice(QStringLiteral("Lettura dei periodi non riuscita: ") +
                                  periods.error(),
                              blockingTitle());
    Cbo6->addItems(periods.value);
    // An emptied list shows no choice: the operator picks the period.
    Cbo6->setCurrentIndex(-1);
    Cbo6->setEditText(QString());
}

void SearchPanel::search() {
    if (!search_)
        return; // no search opened the panel yet
    ReportRequest request = runner_.requestFor(search_->name);
    switch (search_->input) {
    case ReportInput::Month: {
        // An empty box, or text that is no date, has no month: the run asks for a date.
        const QDate date = DataBox5->date();
        request.month = date.isValid() ? date.month() : 0;
        break;
    }
    case ReportInput::Period:
        request.period = Cbo6->currentText();
        break;
    case ReportInput::Subject:
        // The text is a LIKE pattern, bound as a value: an apostrophe needs no doubling.
        request.subject = Cbo7->currentText();
        break;
    case ReportInput::None:
        return;
    }
    if (runner_.run(request) && search_->input == ReportInput::Subject)
        Cbo7->setEditText(QString());
}
