#pragma once

#include <QLabel>

// A caption or picture that reacts to a click: the "X" close marks and close pictures.
class ClickableLabel : public QLabel {
    Q_OBJECT

public:
    explicit ClickableLabel(const QString& text = {}, QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A close mark "X" in a panel's corner.
ClickableLabel* makeCloseMark(const char* objectName, QWidget* parent);
// A close picture in a panel's corner.
ClickableLabel* makeClosePicture(const char* objectName, QWidget* parent);
