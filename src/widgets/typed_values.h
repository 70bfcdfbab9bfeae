#pragma once

#include <QObject>

class QWidget;

// Whether the operator has typed, ticked or picked anything in a panel's fields since
// the panel showed, its fields were loaded or cleared, or its values were saved: what
// closing the panel would lose. Lives as a child of the panel.
class TypedValues : public QObject {
    Q_OBJECT

public:
    // Watches every text field, list and check box `panel` holds now.
    explicit TypedValues(QWidget& panel);

    bool typed() const { return typed_; }
    void reset() { typed_ = false; }

    // The watcher of `panel`, or none.
    static TypedValues* of(const QWidget& panel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool typed_ = false;
};
