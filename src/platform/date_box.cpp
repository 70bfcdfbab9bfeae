#include "platform/date_box.h"

#include <QCalendarWidget>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
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

QDate DateBox::parse(const QString& text) {
    const QString t = text.trimmed();
    for (const QString& format : {kFormat, QStringLiteral("d/M/yyyy"), QStringLiteral("dd-MM-yyyy"),
                                  QStringLiteral("d-M-yyyy")}) {
        const QDate d = QDate::fromString(t, format);
        if (d.isValid())
            return d;
    }
    const QDate shortYear = QDate::fromString(t, QStringLiteral("d/M/yy"));
    if (shortYear.isValid())
        return shortYear.addYears(shortYear.year() < 1950 ? 100 : 0);
    return {};
}

QString DateBox::text() const {
    return edit_->text();
}

void DateBox::setText(const QString& text) {
    const QDate d = parse(text);
    edit_->setText(d.isValid() ? d.toString(kFormat) : text);
}

QDate DateBox::date() const {
    return parse(edit_->text());
}

void DateBox::setDate(const QDate& date) {
    edit_->setText(date.isValid() ? date.toString(kFormat) : QString());
}

void DateBox::clear() {
    edit_->clear();
}

void DateBox::invalidDateHandled() {
    edit_->clear();
    edit_->setFocus(Qt::OtherFocusReason);
}

bool DateBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        if (!edit_->text().trimmed().isEmpty()) {
            const QDate d = parse(edit_->text());
            if (d.isValid())
                edit_->setText(d.toString(kFormat));
            else
                Q_EMIT invalidDate();
        }
        Q_EMIT focusLost();
    }
    return QWidget::eventFilter(watched, event);
}

void DateBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        button_->setEnabled(isEnabled());
    QWidget::changeEvent(event);
}

void DateBox::openCalendar() {
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
