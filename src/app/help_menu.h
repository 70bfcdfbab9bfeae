#pragma once

#include <QObject>
#include <QString>

class Shell;
class QWidget;

// The "?" menu: "Guida" (F1), the Italian guide of the first day shown in a help window,
// and "Informazioni su Velarco", the program itself.
class HelpMenu : public QObject {
    Q_OBJECT

public:
    HelpMenu(Shell& shell, QWidget* window);

    // The folder of the guide's pages: installed beside the program's data, or the
    // source tree's for a program run from its build folder. Empty when neither is there.
    static QString guideFolder();

private:
    void Guida();
    void InformazioniVelarco();

    Shell& shell_;
    QWidget* window_;
};
