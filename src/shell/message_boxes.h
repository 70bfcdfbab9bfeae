#pragma once

#include <QString>

// Every message box and input box of the program goes through this interface, so
// that tests can answer them from a script and read back what was shown.
enum class BoxButtons { Ok, YesNo };
enum class BoxIcon { None, Information };
enum class BoxAnswer { Ok, Yes, No };
// What a file choice is for: an existing file to open, a file to open that may also be a
// name not yet taken (for the caller to create), or a name to write.
enum class FileUse { Open, OpenOrNew, Save };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // A modal box; an empty title shows the application title "Velarco".
    virtual BoxAnswer show(const QString& text, const QString& title, BoxButtons buttons,
                           BoxIcon icon) = 0;

    // A modal input box without default text; returns the empty text on "Annulla".
    virtual QString input(const QString& prompt, const QString& title, bool masked) = 0;

    // A modal choice of a ledger file for `use`, starting at `proposed`; returns the empty
    // text on "Annulla".
    virtual QString chooseFile(const QString& title, const QString& proposed, FileUse use) = 0;

    // The shapes the program uses.
    void notice(const QString& text, const QString& title = {}) {
        show(text, title, BoxButtons::Ok, BoxIcon::Information);
    }
    void plain(const QString& text, const QString& title = {}) {
        show(text, title, BoxButtons::Ok, BoxIcon::None);
    }
    bool confirm(const QString& text, const QString& title) {
        return show(text, title, BoxButtons::YesNo, BoxIcon::None) == BoxAnswer::Yes;
    }
};

inline QString applicationTitle() {
    return QStringLiteral("Velarco");
}

// The title of a box that refuses an operation or reports its failure.
inline QString blockingTitle() {
    return QStringLiteral("ERRORE -- BLOCCANTE  ");
}
