#include "app/change_register_dialog.h"

#include "reports/change_register.h"
#include "shell/message_boxes.h"
#include "store/change_record.h"
#include "store/queries.h"
#include "widgets/data_grid.h"
#include "widgets/date_box.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kTitle = QStringLiteral("Velarco - REGISTRO DELLE MODIFICHE");

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

ChangeRegisterDialog::ChangeRegisterDialog(MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), boxes_(boxes) {
    setObjectName(QStringLiteral("RegistroModifiche"));
    setWindowTitle(change_register::title());
    from_ = named(new DateBox(this), "dal");
    to_ = named(new DateBox(this), "al");
    const QDate today = QDate::currentDate();
    from_->setDate(QDate(today.year(), today.month(), 1));
    to_->setDate(today);
    operator_ = named(new QLineEdit(this), "operatore");
    operator_->setPlaceholderText(QStringLiteral("tutti"));
    action_ = named(new QComboBox(this), "azione");
    action_->addItem(QStringLiteral("tutte"));
    action_->addItems(store::recordedActionWords());
    user_ = named(new QComboBox(this), "utente");
    user_->setEditable(true);
    user_->setInsertPolicy(QComboBox::NoInsert);
    user_->lineEdit()->setPlaceholderText(QStringLiteral("tutti"));
    user_->setMinimumContentsLength(24);
    const Result<QStringList> users = store::userNames();
    if (!users.ok())
        boxes_.notice(QStringLiteral("Lettura degli utenti non riuscita: ") + users.error(),
                      blockingTitle());
    user_->addItems(users.value);
    user_->setCurrentIndex(-1);
    showButton_ = named(new QPushButton(QStringLiteral("Mostra"), this), "mostra");
    showButton_->setDefault(true);

    grid_ = named(new DataGrid(this), "RegistroGriglia");
    grid_->setMessageBoxes(&boxes_);
    grid_->horizontalHeader()->setStretchLastSection(true);
    auto* excel = named(new QPushButton(QStringLiteral("Esporta Excel..."), this), "esportaExcel");
    auto* csv = named(new QPushButton(QStringLiteral("Esporta CSV..."), this), "esportaCsv");
    excel->setAutoDefault(false);
    csv->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("chiudi"));

    auto* layout = new QGridLayout(this);
    int column = 0;
    const auto place = [&](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        layout->addWidget(label, 0, column++);
        layout->addWidget(field, 0, column++);
    };
    place(QStringLiteral("&Dal"), from_);
    place(QStringLiteral("A&l"), to_);
    place(QStringLiteral("&Operatore"), operator_);
    place(QStringLiteral("A&zione"), action_);
    place(QStringLiteral("&Utente"), user_);
    layout->addWidget(showButton_, 0, column++);
    layout->setColumnStretch(column, 1);
    layout->addWidget(grid_, 1, 0, 1, column + 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(excel);
    bottom->addWidget(csv);
    bottom->addStretch(1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom, 2, 0, 1, column + 1);
    layout->setRowStretch(1, 1);

    connect(showButton_, &QPushButton::clicked, this, &ChangeRegisterDialog::list);
    connect(excel, &QPushButton::clicked, this,
            [this] { grid_->exportAs(table_export::FileFormat::Xlsx); });
    connect(csv, &QPushButton::clicked, this,
            [this] { grid_->exportAs(table_export::FileFormat::Csv); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(1100, 560);
    list();
}

void ChangeRegisterDialog::list() {
    change_register::Filter filter{from_->date(),
                                   to_->date(),
                                   operator_->text().trimmed(),
                                   action_->currentIndex() > 0 ? action_->currentText() : QString(),
                                   {}};
    if (!filter.from.isValid() || !filter.to.isValid() || filter.from > filter.to) {
        boxes_.notice(QStringLiteral("Indicare due date valide, la prima non dopo la seconda."),
                      kTitle);
        return;
    }
    const QString user = user_->currentText().trimmed();
    if (!user.isEmpty()) {
        const Result<std::optional<qint64>> id = store::subjectIdByName(user);
        if (!id.ok() || !id.value) {
            boxes_.notice(id.ok()
                              ? QStringLiteral("Utente sconosciuto: %1").arg(user)
                              : QStringLiteral("Lettura degli utenti non riuscita: ") + id.error(),
                          kTitle);
            return;
        }
        filter.userId = QString::number(*id.value);
    }
    grid_->unbind();
    if (const Status bound = grid_->bind(change_register::query(filter)); !bound.ok()) {
        grid_->unbind();
        boxes_.notice(QStringLiteral("Lettura del registro delle modifiche non riuscita: ") +
                          bound.error(),
                      blockingTitle());
        return;
    }
    QList<std::pair<QString, QString>> selection = change_register::selectionOf(filter);
    if (!user.isEmpty()) // the name the operator chose, rather than its key
        selection.last().second = user;
    grid_->setExportTitle(change_register::title(), selection);
    const QList<change_register::Column>& columns = change_register::columns();
    for (int c = 0; c < columns.size(); ++c) {
        if (columns.at(c).text)
            grid_->setColumnFormat(c, columns.at(c).text, Qt::AlignLeft);
        grid_->setColumnKind(c, columns.at(c).kind);
    }
    grid_->widenColumnFor(0, QStringLiteral("28/12/2021 00:00:00"));
}
