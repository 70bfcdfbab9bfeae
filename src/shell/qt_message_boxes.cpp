#include "shell/qt_message_boxes.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

BoxAnswer QtMessageBoxes::show(const QString& text, const QString& title, BoxButtons buttons,
                               BoxIcon icon) {
    QMessageBox box(icon == BoxIcon::Information ? QMessageBox::Information : QMessageBox::NoIcon,
                    title.isEmpty() ? applicationTitle() : title, text, QMessageBox::NoButton,
                    parent_);
    if (buttons == BoxButtons::Ok) {
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return BoxAnswer::Ok;
    }
    QPushButton* yes = box.addButton(QStringLiteral("Sì"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? BoxAnswer::Yes : BoxAnswer::No;
}

QString QtMessageBoxes::input(const QString& prompt, const QString& title, bool masked) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(title.isEmpty() ? applicationTitle() : title);
    dialog.setLabelText(prompt);
    dialog.setTextEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annulla"));
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString QtMessageBoxes::chooseFile(const QString& title, const QString& proposed, FileUse use) {
    QFileDialog dialog(parent_, title, proposed,
                       QStringLiteral("Archivi Velarco (*.db);;Tutti i file (*)"));
    dialog.setAcceptMode(use == FileUse::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(use == FileUse::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
