#pragma once

#include <QClipboard>
#include <QLineEdit>

// A text field of the numeric kind (amounts, postal code, VAT number): text that arrives
// whole, pasted from the clipboard or the selection or dropped, passes the number key
// rule one character at a time, exactly as if it had been typed.
class NumberField : public QLineEdit {
    Q_OBJECT

public:
    explicit NumberField(QWidget* parent = nullptr);

    // Inserts the clipboard's text at the caret after the number key rule.
    void pasteFiltered(QClipboard::Mode mode = QClipboard::Clipboard);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
