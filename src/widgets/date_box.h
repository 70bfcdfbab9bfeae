#pragma once

#include <QDate>
#include <QWidget>

class QLineEdit;
class QToolButton;

// A date typed as dd/MM/yyyy or picked from a calendar; the empty text means no date.
// It reports an invalid date when the operator leaves it holding text that is not one.
// The box is left when the focus moves to another control of the window; the window
// losing the activation (a message box, another window) or a popup opening is not
// leaving it.
class DateBox : public QWidget {
    Q_OBJECT

public:
    // How a two-digit year is read: within 1950-2049, or as the latest date with those
    // digits that is not after today (a date of birth is never in the future).
    enum class ShortYears { From1950, MostRecentPast };

    explicit DateBox(QWidget* parent = nullptr);

    void setShortYears(ShortYears rule) { shortYears_ = rule; }

    // The date as dd/MM/yyyy, or the empty text when there is none.
    QString text() const;
    // Accepts dd/MM/yyyy (also d/M/yyyy and d/M/yy); any other text is kept as typed.
    void setText(const QString& text);
    // Whether the text differs from the one the box held when the operator entered it
    // (or when the program last wrote it, for a box not entered since); two texts of
    // the same date do not differ.
    bool changedSinceEntered() const;
    // The date shown, or an invalid QDate when the box is empty or holds no valid date.
    QDate date() const;
    void setDate(const QDate& date);
    void clear();

    QLineEdit* editor() const { return edit_; }

    // Invoked after an invalid date has been reported: drops the text and takes the focus
    // back, so the operator types the date again.
    void invalidDateHandled();

    // Parses the texts the box accepts, with a year from 1900 to 2100; invalid QDate for
    // anything else. A two-digit year is read by `rule`, against `today`.
    static QDate parse(const QString& text, ShortYears rule = ShortYears::From1950,
                       const QDate& today = QDate::currentDate());

Q_SIGNALS:
    void focusLost();
    void invalidDate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void openCalendar();
    QString normalized(const QString& text) const;
    // The program wrote the text: outside the box, that is the text the operator finds.
    void written();

    QLineEdit* edit_;
    QToolButton* button_;
    ShortYears shortYears_ = ShortYears::From1950;
    bool entered_ = false;
    QString enteredText_;
};
