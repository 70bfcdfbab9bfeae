#pragma once

#include <QDate>
#include <QWidget>

class QLineEdit;
class QToolButton;

// A date typed as dd/MM/yyyy or picked from a calendar; the empty text means no date.
// It reports an invalid date when the operator leaves it holding text that is not one.
class DateBox : public QWidget {
    Q_OBJECT

public:
    explicit DateBox(QWidget* parent = nullptr);

    // The date as dd/MM/yyyy, or the empty text when there is none.
    QString text() const;
    // Accepts dd/MM/yyyy (also d/M/yyyy and d/M/yy); any other text is kept as typed.
    void setText(const QString& text);
    // The date shown, or an invalid QDate when the box is empty or holds no valid date.
    QDate date() const;
    void setDate(const QDate& date);
    void clear();

    QLineEdit* editor() const { return edit_; }

    // Invoked after an invalid date has been reported: drops the text and takes the focus
    // back, so the operator types the date again.
    void invalidDateHandled();

    // Parses the texts the box accepts; invalid QDate for anything else.
    static QDate parse(const QString& text);

Q_SIGNALS:
    void focusLost();
    void invalidDate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void openCalendar();

    QLineEdit* edit_;
    QToolButton* button_;
};
