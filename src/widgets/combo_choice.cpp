#include "widgets/combo_choice.h"

#include <QComboBox>
#include <QLineEdit>
#include <memory>
#include <optional>

void onComboChoice(QComboBox* combo, QObject* context, std::function<void()> choose) {
    QLineEdit* edit = combo->lineEdit();
    // The text last typed; a text the program writes afterwards differs from it.
    auto typed = std::make_shared<std::optional<QString>>();
    QObject::connect(edit, &QLineEdit::textEdited, context,
                     [typed](const QString& text) { *typed = text; });
    QObject::connect(combo, &QComboBox::activated, context, [combo, typed, choose](int index) {
        typed->reset();
        // Picking the entry the list already holds changes no index, so the text the
        // program emptied would stay: the pick shows.
        if (index >= 0 && combo->currentText() != combo->itemText(index))
            combo->setEditText(combo->itemText(index));
        choose();
    });
    // The list itself activates a typed entry only when it differs from the one it
    // holds (and that activation runs first, clearing the mark): the rest is done here.
    QObject::connect(edit, &QLineEdit::editingFinished, context, [combo, typed, choose] {
        const bool typedLast = typed->has_value() && **typed == combo->currentText();
        typed->reset();
        if (!typedLast)
            return;
        const int index = combo->findText(combo->currentText(), Qt::MatchFixedString);
        if (index < 0)
            return;
        combo->setCurrentIndex(index);
        choose();
    });
}
