#include "registry/subject_panel.h"

#include "platform/clickable_label.h"
#include "platform/shell.h"

#include <QGridLayout>
#include <QPushButton>

SubjectPanel::SubjectPanel(Shell& shell, QWidget* parent)
    : QGroupBox(QStringLiteral("Inserimento "), parent), shell_(shell),
      Cmd2(new QPushButton(QStringLiteral("Inserisci"), this)) {
    setObjectName(QStringLiteral("Frame1"));
    Cmd2->setObjectName(QStringLiteral("Cmd2"));
    auto* layout = new QGridLayout(this);
    ClickableLabel* Image3 = makeClosePicture("Image3", this);
    layout->addWidget(Image3, 0, 1, Qt::AlignRight | Qt::AlignTop);
    layout->addWidget(Cmd2, 1, 1, Qt::AlignRight);
    connect(Image3, &ClickableLabel::clicked, this, [this] {
        hide();
        shell_.setWorkMenusEnabled(true);
    });
    connect(Cmd2, &QPushButton::clicked, this, &SubjectPanel::pressCmd2);
}

void SubjectPanel::pressCmd2() {}

void SubjectPanel::pickFromGrid(const DataGrid&) {}

void SubjectPanel::openFromUserLabel() {}
