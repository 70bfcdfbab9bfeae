#include "support/modal_message_boxes.h"

#include "shell/qt_message_boxes.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// Runs `answer` on the modal box once it is the active window; `missed` counts a box
// that never got there (it is answered all the same, so the test cannot hang).
void answerWhenActive(int& missed, std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [&missed, answer = std::move(answer)] {
        QPointer<QWidget> box = QApplication::activeModalWidget();
        if (!box) {
            ++missed;
            return;
        }
        if (!QTest::qWaitForWindowActive(box))
            ++missed;
        if (box)
            answer(box);
    });
}

// The covered window takes the activation back once the box has gone.
void reactivate(QWidget* window, int& missed) {
    if (!window)
        return;
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        ++missed;
}

} // namespace

BoxAnswer ModalMessageBoxes::show(const QString& text, const QString& title, BoxButtons buttons,
                                  BoxIcon icon) {
    const BoxAnswer scripted = ScriptedMessageBoxes::show(text, title, buttons, icon);
    const QString caption = buttons == BoxButtons::Ok    ? QStringLiteral("OK")
                            : scripted == BoxAnswer::Yes ? QStringLiteral("Sì")
                                                         : QStringLiteral("No");
    answerWhenActive(activationsMissed_, [caption](QWidget* box) {
        for (QPushButton* button : box->findChildren<QPushButton*>()) {
            if (button->text() == caption) {
                button->click();
                return;
            }
        }
        qWarning("no button %s on the box", qPrintable(caption));
        box->close();
    });
    QPointer<QWidget> covered = QApplication::activeWindow();
    const BoxAnswer shown = QtMessageBoxes(covered).show(text, title, buttons, icon);
    reactivate(covered, activationsMissed_);
    if (shown != scripted)
        qWarning("the box answered otherwise than scripted");
    return shown;
}

QString ModalMessageBoxes::input(const QString& prompt, const QString& title, bool masked) {
    // No text left in the script answers as "Annulla" does.
    const QString scripted = ScriptedMessageBoxes::input(prompt, title, masked);
    answerWhenActive(activationsMissed_, [scripted](QWidget* box) {
        auto* dialog = qobject_cast<QInputDialog*>(box);
        if (!dialog || scripted.isEmpty()) {
            box->close();
            return;
        }
        dialog->setTextValue(scripted);
        dialog->accept();
    });
    QPointer<QWidget> covered = QApplication::activeWindow();
    const QString shown = QtMessageBoxes(covered).input(prompt, title, masked);
    reactivate(covered, activationsMissed_);
    return shown;
}
