#include "ledger/lookup_editor.h"

#include "platform/clickable_label.h"
#include "platform/shell.h"

#include <QGridLayout>

LookupEditor::LookupEditor(Shell& shell, QWidget* parent)
    : QGroupBox(QStringLiteral("Funzionalità"), parent), shell_(shell) {
    setObjectName(QStringLiteral("Frame6"));
    auto* layout = new QGridLayout(this);
    ClickableLabel* Label47 = makeCloseMark("Label47", this);
    layout->addWidget(Label47, 0, 1, Qt::AlignRight | Qt::AlignTop);
    connect(Label47, &ClickableLabel::clicked, this, [this] {
        hide();
        shell_.setWorkMenusEnabled(true);
    });
}
