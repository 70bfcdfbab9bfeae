#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;

// The splash window `frmSplash`: title, version and a progress bar that runs for
// about four seconds while the program starts.
class Splash : public QWidget {
    Q_OBJECT

public:
    explicit Splash(QWidget* parent = nullptr);

    static QString versionLine();

    // One tick of `Timer1`.
    void tick();

Q_SIGNALS:
    // The bar is full: the splash has closed and the main window may show.
    void finished();

private:
    QProgressBar* pb1;
    QTimer* Timer1;
};
