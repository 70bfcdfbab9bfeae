#pragma once

#include "base/status.h"
#include "shell/session.h"

#include <QGroupBox>
#include <functional>
#include <optional>

class DataGrid;
class DateBox;
class NumberLineEdit;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Shell;
class UpperCaseLineEdit;

namespace registry {
struct Subject;
}

// The subject panel `Frame1`: entering, changing and deleting subjects. The caption of
// `Cmd2` shows its mode: "Inserisci", "Modifica" or "Elimina".
class SubjectPanel : public QGroupBox {
    Q_OBJECT

public:
    SubjectPanel(Shell& shell, QWidget* parent = nullptr);

    // The press of `Cmd2`, also run by F5.
    void pressCmd2();
    // A row of the selection grid picked while it lists subjects.
    void pickFromGrid(const DataGrid& grid);
    // The click on the main window's `Label1`.
    void openFromUserLabel();

private:
    void buildFields();
    void connectMenus();

    // Menu commands of "Anagrafica".
    void onInserisci();
    void openSubjectChoice(GridPick pick);
    enum class Mode { Insert, Change, Delete };
    void setMode(Mode mode);

    // Fills the selection grid with every subject, for choosing one.
    void CaricaGrigliaSoggetti();
    // Asks, then deletes the subject shown in the panel.
    void EliminaSoggetto();
    // Fills the fields from the cell texts of a subject grid row, by column.
    void fillFields(const std::function<QString(int)>& cell);
    // After a write refused because someone else changed the subject: offers to load
    // it as it is now. True when the refusal was of that kind.
    bool offerReload(const Status& refused, const QString& title);

    void insertMode();
    void changeMode();
    void deleteMode();
    // The checks shared by insert and change; false when the command stops.
    bool checkFields();
    registry::Subject subjectFromFields() const;
    void reportDatabaseError(const QString& reason);

    Shell& shell_;

    QLabel* Label17;
    QLineEdit* Text1;
    UpperCaseLineEdit* Text2;
    UpperCaseLineEdit* Text3;
    NumberLineEdit* Text7;
    UpperCaseLineEdit* Text5;
    UpperCaseLineEdit* Text6;
    UpperCaseLineEdit* Text8;
    NumberLineEdit* Text9;
    DateBox* DataBox1;
    UpperCaseLineEdit* Text10;
    UpperCaseLineEdit* Text11;
    UpperCaseLineEdit* Text12;
    // The causale of the yearly certificate and the code of its sums not subject to
    // withholding.
    UpperCaseLineEdit* Text24;
    NumberLineEdit* Text25;
    QCheckBox* Check1;
    QPushButton* Cmd2;
    Mode mode_ = Mode::Insert;
    std::optional<qint64> loadedVersion_; // of the subject loaded from the grid
};
