#pragma once

#include <QStatusBar>

class QLabel;
class QTimer;

// Five panels: a fixed text, Num Lock, Caps Lock, the date and the time. The last
// four keep themselves up to date.
class StatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit StatusBar(const QString& fixedText, QWidget* parent = nullptr);

    QLabel* panel(int index) const;
    // Refreshes the date and time panels; called every second.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showLock(QLabel* panel, bool on);

    QLabel* panels_[5];
    QTimer* clock_;
    bool numLock_ = false;
    bool capsLock_ = false;
    quint64 lastToggle_ = 0;
};
