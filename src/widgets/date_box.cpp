#include "widgets/date_box.h"

#include "values/date_text.h"
#include "widgets/field_focus.h"

#include <QCalendarWidget>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QToolButton>
#include <QWidgetAction>

namespace {
const QString kFormat = QStringLiteral("dd/MM/yyyy");
}

DateBox::DateBox(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(edit_);
    layout->addWidget(button_);
    edit_->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    edit_->setMaxLength(10);
    edit_->installEventFilter(this);
    button_->setText(QStringLiteral("▾"));
    button_->setToolTip(QStringLiteral("Calendario"));
    button_->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(edit_);
    connect(button_, &QToolButton::clicked, this, &DateBox::openCalendar);
}

QDate DateBox::parse(const QString& text, ShortYears rule, const QDate& today) {
    const QString t = text.trimmed();
    for (const QString& format : {kFormat, QStringLiteral("d/M/yyyy"), QStringLiteral("dd-MM-yyyy"),
                                  QStringLiteral("d-M-yyyy")}) {
        const QDate d = QDate::fromString(t, format);
        // A year that is not one of ours ("-001", "0012") is a typing mistake, not a date.
        if (d.isValid())
            return isTypedYear(d.year()) ? d : QDate();
    }
    static const QRegularExpression shortForm(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{2})$"));
    const QRegularExpressionMatch parts = shortForm.match(t);
    if (!parts.hasMatch())
        return {};
    const int day = parts.captured(1).toInt();
    const int month = parts.captured(2).toInt();
    const int digits = parts.captured(3).toInt();
    if (rule == ShortYears::From1950)
        return QDate(digits < 50 ? 2000 + digits : 1900 + digits, month, day);
    const int year = today.year() - today.year() % 100 + digits;
    const QDate thisCentury(year, month, day);
    return thisCentury.isValid() && thisCentury > today ? QDate(year - 100, month, day)
                                                        : thisCentury;
}

QString DateBox::text() const {
    return edit_->text();
}

QString DateBox::normalized(const QString& text) const {
    const QDate d = parse(text, shortYears_);
    return d.isValid() ? d.toString(kFormat) : text;
}

void DateBox::setText(const QString& text) {
    edit_->setText(normalized(text));
    written();
}

bool DateBox::changedSinceEntered() const {
    return normalized(edit_->text()) != normalized(enteredText_);
}

QDate DateBox::date() const {
    return parse(edit_->text(), shortYears_);
}

void DateBox::setDate(const QDate& date) {
    edit_->setText(date.isValid() ? date.toString(kFormat) : QString());
    written();
}

void DateBox::clear() {
    edit_->clear();
    written();
}

void DateBox::written() {
    if (!entered_)
        enteredText_ = edit_->text();
}

void DateBox::invalidDateHandled() {
    edit_->clear();
    edit_->setFocus(Qt::OtherFocusReason);
}

bool DateBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // Coming back with the window or from a popup is no new entry; any other arrival
        // is, also one after a leave that happened while the window was inactive.
        if (!entered_ || leavesField(*static_cast<QFocusEvent*>(event))) {
            entered_ = true;
            enteredText_ = edit_->text();
        }
    } else if (event->type() == QEvent::FocusOut &&
               leavesField(*static_cast<QFocusEvent*>(event))) {
        entered_ = false;
        if (!edit_->text().trimmed().isEmpty()) {
            const QDate d = date();
            if (d.isValid())
                edit_->setText(d.toString(kFormat));
            else
                Q_EMIT invalidDate(); // its handler may take the operator back into the box
        }
        Q_EMIT focusLost(); // its handlers still see the text the box was entered with
        if (!entered_)
            enteredText_ = edit_->text();
    }
    return QWidget::eventFilter(watched, event);
}

void DateBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        button_->setEnabled(isEnabled());
    QWidget::changeEvent(event);
}

void DateBox::openCalendar() {
    // The operator enters the box to pick, so a picked date counts as a change made in it.
    edit_->setFocus(Qt::OtherFocusReason);
    QMenu popup(this);
    auto* calendar = new QCalendarWidget(&popup);
    calendar->setGridVisible(true);
    calendar->setFirstDayOfWeek(Qt::Monday);
    const QDate current = date();
    calendar->setSelectedDate(current.isValid() ? current : QDate::currentDate());
    auto* action = new QWidgetAction(&popup);
    action->setDefaultWidget(calendar);
    popup.addAction(action);
    connect(calendar, &QCalendarWidget::activated, &popup, [&](const QDate& picked) {
        setDate(picked);
        popup.close();
    });
    connect(calendar, &QCalendarWidget::clicked, &popup, [&](const QDate& picked) {
        setDate(picked);
        popup.close();
    });
    popup.exec(mapToGlobal(QPoint(0, height())));
    edit_->setFocus(Qt::OtherFocusReason);
}
