#include "widgets/row_history_dialog.h"

#include "shell/message_boxes.h"
#include "store/change_log.h"
#include "values/date_text.h"
#include "widgets/data_grid.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace {

const QStringList kCaptions = {QStringLiteral("Quando"),   QStringLiteral("Operatore"),
                               QStringLiteral("Computer"), QStringLiteral("Azione"),
                               QStringLiteral("Campo"),    QStringLiteral("Prima"),
                               QStringLiteral("Dopo")};

void appendRow(QStandardItemModel& model, const QStringList& texts) {
    QList<QStandardItem*> items;
    for (const QString& text : texts)
        items.append(new QStandardItem(text));
    model.appendRow(items);
}

} // namespace

RowHistoryDialog::RowHistoryDialog(const QString& table, qint64 key,
                                   const QList<field_changes::Field>& fields,
                                   const QString& heading, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("Storia"));
    setWindowTitle(QStringLiteral("Storia - ") + heading);
    auto* model = new QStandardItemModel(0, int(kCaptions.size()), this);
    model->setHorizontalHeaderLabels(kCaptions);

    const Result<QList<store::ChangeEntry>> changes = store::rowChanges(table, key);
    if (!changes.ok())
        boxes.notice(QStringLiteral("Lettura delle modifiche non riuscita: ") + changes.error(),
                     blockingTitle());
    for (const store::ChangeEntry& change : changes.value) {
        // The change on its first line, each changed field on a line of its own.
        QStringList who = {shownMoment(change.when), change.operatorName, change.computer,
                           change.action};
        const QList<field_changes::Change> changed =
            field_changes::changedFields(change.before, change.after, fields);
        if (changed.isEmpty())
            appendRow(*model, who + QStringList{QString(), QString(), QString()});
        for (const field_changes::Change& field : changed) {
            appendRow(*model, who + QStringList{field.caption, field.before, field.after});
            who = QStringList(4, QString());
        }
    }

    auto* caption = new QLabel(heading, this);
    caption->setObjectName(QStringLiteral("StoriaRiga"));
    auto* none = new QLabel(QStringLiteral("Nessuna modifica registrata per questa riga (le "
                                           "modifiche fatte prima del registro non vi "
                                           "compaiono)."),
                            this);
    none->setObjectName(QStringLiteral("StoriaVuota"));
    none->setWordWrap(true);
    none->setVisible(changes.ok() && changes.value.isEmpty());
    grid_ = new DataGrid(this);
    grid_->setObjectName(QStringLiteral("StoriaGriglia"));
    grid_->bindModel(model);
    grid_->setMessageBoxes(&boxes);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->widenColumnFor(0, QStringLiteral("28/12/2021 00:00:00"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("chiudi"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(none);
    layout->addWidget(grid_, 1);
    layout->addWidget(buttons);
    resize(900, 420);
}
