#pragma once

#include <QLabel>

// A one-line caption that takes the width its layout gives it and no more: a text too
// long for it ends in "…", the whole text in its tooltip. Hidden, it keeps its place, so
// nothing beside or below it moves when it shows. text() is the whole text.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
};
