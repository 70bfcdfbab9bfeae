#include "platform/combo_choice.h"

#include <QComboBox>
#include <QLineEdit>
#include <memory>

void onComboChoice(QComboBox* combo, QObject* context, std::function<void()> choose) {
    QLineEdit* edit = combo->lineEdit();
    auto typed = std::make_shared<bool>(false);
    // Emitted before textEdited on a key, alone on a text written by the program.
    QObject::connect(edit, &QLineEdit::textChanged, context, [typed] { *typed = false; });
    QObject::connect(edit, &QLineEdit::textEdited, context, [typed] { *typed = true; });
    QObject::connect(combo, &QComboBox::activated, context, [combo, typed, choose](int index) {
        *typed = false;
        // Picking the entry the list already holds changes no index, so the text the
        // program emptied would stay: the pick shows.
        if (index >= 0 && combo->currentText() != combo->itemText(index))
            combo->setEditText(combo->itemText(index));
        choose();
    });
    // The list itself activates a typed entry only when it differs from the one it
    // holds (and that activation runs first, clearing the mark): the rest is done here.
    QObject::connect(edit, &QLineEdit::editingFinished, context, [combo, typed, choose] {
        if (!*typed)
            return;
        *typed = false;
        const int index = combo->findText(combo->currentText(), Qt::MatchFixedString);
        if (index < 0)
            return;
        combo->setCurrentIndex(index);
        choose();
    });
}
