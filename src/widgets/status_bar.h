#pragma once

#include <QStatusBar>

class QLabel;
class QTimer;
class QToolButton;

// Five panels: a fixed text, Num Lock, Caps Lock, the date and the time. The last
// four keep themselves up to date.
class StatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit StatusBar(const QString& fixedText, QWidget* parent = nullptr);

    QLabel* panel(int index) const;
    // Says where a file went: its whole path, and "Apri cartella" when the desktop can
    // open a folder. Until the next file.
    void showFileWritten(const QString& path);
    // The same on the status bar of the main window `from` belongs to (or is shown over);
    // nothing without one.
    static void tellFileWritten(const QWidget* from, const QString& path);
    // Refreshes the date and time panels; called every second.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showLock(QLabel* panel, bool on);

    QLabel* panels_[5];
    QLabel* written_;
    QToolButton* openFolder_;
    QString writtenFolder_;
    QTimer* clock_;
    bool numLock_ = false;
    bool capsLock_ = false;
    quint64 lastToggle_ = 0;
};
