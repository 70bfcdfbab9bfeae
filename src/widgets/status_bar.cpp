#include "widgets/status_bar.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace {

// Whether the desktop opens a folder for us: on Linux through xdg-open.
bool desktopOpensFolders() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
#else
    return true;
#endif
}

} // namespace

StatusBar::StatusBar(const QString& fixedText, QWidget* parent)
    : QStatusBar(parent), clock_(new QTimer(this)) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    const QString texts[5] = {
        fixedText, QStringLiteral("BLOC NUM"), QStringLiteral("BLOC MAIUSC"), {}, {}};
    for (int i = 0; i < 5; ++i) {
        panels_[i] = new QLabel(texts[i], this);
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panels_[i]->setContentsMargins(6, 0, 6, 0);
        if (i == 0)
            addWidget(panels_[i], 1);
        else
            addPermanentWidget(panels_[i]);
    }
    written_ = new QLabel(this);
    written_->setObjectName(QStringLiteral("FileScritto"));
    written_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    openFolder_ = new QToolButton(this);
    openFolder_->setObjectName(QStringLiteral("ApriCartella"));
    openFolder_->setText(QStringLiteral("Apri cartella"));
    openFolder_->setAutoRaise(true);
    connect(openFolder_, &QToolButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(writtenFolder_)); });
    insertWidget(1, written_);
    insertWidget(2, openFolder_);
    written_->hide();
    openFolder_->hide();
    showLock(panels_[1], numLock_);
    showLock(panels_[2], capsLock_);
    refresh();
    connect(clock_, &QTimer::timeout, this, &StatusBar::refresh);
    clock_->start(1000);
    // The lock keys toggle wherever the operator types in the application.
    qApp->installEventFilter(this);
}

QLabel* StatusBar::panel(int index) const {
    return panels_[index];
}

void StatusBar::showFileWritten(const QString& path) {
    const QFileInfo file(path);
    writtenFolder_ = file.absolutePath();
    written_->setText(
        QStringLiteral("File salvato: %1").arg(QDir::toNativeSeparators(file.absoluteFilePath())));
    written_->show();
    openFolder_->setVisible(desktopOpensFolders());
}

void StatusBar::tellFileWritten(const QWidget* from, const QString& path) {
    for (const QWidget* at = from ? from->window() : nullptr; at;
         at = at->parentWidget() ? at->parentWidget()->window() : nullptr) {
        if (const auto* main = qobject_cast<const QMainWindow*>(at)) {
            if (auto* bar = main->findChild<StatusBar*>(QString(), Qt::FindDirectChildrenOnly))
                bar->showFileWritten(path);
            return;
        }
    }
}

void StatusBar::refresh() {
    const QDateTime now = QDateTime::currentDateTime();
    panels_[3]->setText(now.date().toString(QStringLiteral("dd/MM/yyyy")));
    panels_[4]->setText(now.time().toString(QStringLiteral("HH:mm")));
}

bool StatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
        // A key event travels up the parents: count each press once.
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (keyEvent->timestamp() == lastToggle_ && lastToggle_ != 0)
            return QStatusBar::eventFilter(watched, event);
        const int key = keyEvent->key();
        if (key == Qt::Key_NumLock || key == Qt::Key_CapsLock)
            lastToggle_ = keyEvent->timestamp();
        if (key == Qt::Key_NumLock)
            showLock(panels_[1], numLock_ = !numLock_);
        else if (key == Qt::Key_CapsLock)
            showLock(panels_[2], capsLock_ = !capsLock_);
    }
    return QStatusBar::eventFilter(watched, event);
}

void StatusBar::showLock(QLabel* panel, bool on) {
    panel->setEnabled(on);
}
