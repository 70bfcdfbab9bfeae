#include "ledger/withholding_panel.h"

#include "platform/clickable_label.h"
#include "platform/shell.h"

#include <QGridLayout>

WithholdingPanel::WithholdingPanel(Shell& shell, QWidget* parent)
    : QGroupBox(QStringLiteral("Velarco"), parent), shell_(shell) {
    setObjectName(QStringLiteral("Frame4"));
    auto* layout = new QGridLayout(this);
    ClickableLabel* Image2 = makeClosePicture("Image2", this);
    layout->addWidget(Image2, 0, 1, Qt::AlignRight | Qt::AlignTop);
    connect(Image2, &ClickableLabel::clicked, this, &WithholdingPanel::close);
}

void WithholdingPanel::pickFromGrid(const DataGrid&) {}

void WithholdingPanel::close() {
    shell_.PulisciCampi();
    hide();
    shell_.setPanelsVisible({"Frame2"}, false);
    shell_.setWorkMenusEnabled(true);
}
