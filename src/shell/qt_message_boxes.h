#pragma once

#include "shell/message_boxes.h"

#include <QPointer>

class QWidget;

// The real boxes: modal QMessageBox and QInputDialog with Italian buttons.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}

    BoxAnswer show(const QString& text, const QString& title, BoxButtons buttons,
                   BoxIcon icon) override;
    QString input(const QString& prompt, const QString& title, bool masked) override;
    QString chooseFile(const QString& title, const QString& proposed, FileUse use) override;

private:
    QPointer<QWidget> parent_;
};
