#include "reports/search_panel.h"

#include "platform/clickable_label.h"
#include "platform/shell.h"

#include <QGridLayout>

SearchPanel::SearchPanel(Shell& shell, QWidget* parent) : QGroupBox(parent), shell_(shell) {
    setObjectName(QStringLiteral("Frame5"));
    auto* layout = new QGridLayout(this);
    ClickableLabel* Label45 = makeCloseMark("Label45", this);
    layout->addWidget(Label45, 0, 1, Qt::AlignRight | Qt::AlignTop);
    connect(Label45, &ClickableLabel::clicked, this, [this] {
        hide();
        shell_.setWorkMenusEnabled(true);
    });
}
