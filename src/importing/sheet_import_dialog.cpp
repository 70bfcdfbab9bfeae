#include "importing/sheet_import_dialog.h"

#include "importing/sheet_values.h"
#include "shell/message_boxes.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Importa registrazioni");

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
    : ImportPreviewDialog(kTitle, QStringLiteral("Riga"), std::move(options), boxes, parent),
      table_(std::move(table)), layout_(std::move(layout)) {
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
    build(file, buildColumns(), nullptr);
    if (!fieldChoices_.isEmpty())
        fieldChoices_.front()->setFocus(Qt::OtherFocusReason);
}

Result<importing::ImportPlan> SheetImportDialog::makePlan(const importing::PlanOptions& options) {
    return importing::planImport(table_, layout_, options);
}

QString SheetImportDialog::summaryNote() const {
    return plan().totalsLine > 0 ? QStringLiteral(" La riga %1 dei totali non è una registrazione.")
                                       .arg(plan().totalsLine)
                                 : QString();
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
