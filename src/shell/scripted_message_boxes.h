#pragma once

#include "shell/message_boxes.h"

#include <QList>
#include <QQueue>
#include <QStringList>

// Records every box and answers from queues: the tests' stand-in for the real boxes.
class ScriptedMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        QString text;
        QString title; // as the operator sees it: the application title when none was given
        BoxButtons buttons;
        BoxIcon icon;
        bool input = false;
        bool masked = false;
    };

    // Answers for Yes/No boxes, taken in order; with none left a box answers No.
    void answer(BoxAnswer a) { answers_.enqueue(a); }
    void answerYes() { answer(BoxAnswer::Yes); }
    void answerNo() { answer(BoxAnswer::No); }
    // Texts for input boxes and file choices, taken in order; with none left they answer
    // as "Annulla" does.
    void type(const QString& text) { inputs_.enqueue(text); }

    BoxAnswer show(const QString& text, const QString& title, BoxButtons buttons,
                   BoxIcon icon) override;
    QString input(const QString& prompt, const QString& title, bool masked) override;
    QString chooseFile(const QString& title, const QString& proposed, FileUse use) override;

    const QList<Shown>& shown() const { return shown_; }
    QStringList texts() const;
    const Shown& last() const { return shown_.constLast(); }
    int unanswered() const { return int(answers_.size() + inputs_.size()); }
    void clear();

private:
    QList<Shown> shown_;
    QQueue<BoxAnswer> answers_;
    QQueue<QString> inputs_;
};
