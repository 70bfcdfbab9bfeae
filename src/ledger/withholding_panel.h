#pragma once

#include "base/status.h"
#include "ledger/withholding_entry.h"
#include "shell/session.h"

#include <QGroupBox>
#include <functional>
#include <optional>

class AmountField;
class ClickableLabel;
class DataGrid;
class DateBox;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Shell;

// The withholding entry panel `Frame4`: one record of Ritenute entered, corrected or
// deleted. The caption of `Cmd3` shows the mode; the live calculations and the checks
// before saving are the plain rules of ledger/, called with the fields' texts.
class WithholdingPanel : public QGroupBox {
    Q_OBJECT

public:
    WithholdingPanel(Shell& shell, QWidget* parent = nullptr);

    // A row of the ledger grid picked in "Modifica-Ritenute" or "Elimina-Ritenute".
    void pickFromGrid(const DataGrid& grid);

    // The lists of the panel, and the period list of the search panel when the window
    // has one.
    void CaricaTributi();
    void CaricaPercentuali();
    void CaricaPeriodi();
    // The selection grid filled with the current user's records of the working year.
    void CaricaGrigliaRitenute();
    // The press of `Cmd3`.
    void SalvaRitenuta();

private:
    void buildFields();
    void connectReactions();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Live reactions to the operator.
    void CalcolaRitenuta();
    void onSubjectChosen();
    // A name typed rather than picked is looked up when the field is left; a name
    // written by a grid load is not, so the record keeps its own subject key.
    void onSubjectLeft();
    void onTaxCodeChosen();
    void onCheck2(bool ticked);
    void onCheck3(bool ticked);
    void onCheck4(bool ticked);
    void onPaymentDateLeft();
    void onRemittanceDateLeft();
    void onInvalidDate(DateBox* box);

    // The entry modes of the menu.
    void openInsert();
    void openForPick(GridPick pick, bool keepFunzioni);
    void setMode(EntryMode mode);

    WithholdingEntry entry() const;
    void saveRecord(EntryMode mode);
    void deleteRecord();
    // Fills the fields from the cell texts of a ledger grid row, in column order.
    void fillFields(const std::function<QString(int)>& cell);
    // After a write refused because someone else changed the row: offers to load the
    // row as it is now. True when the refusal was of that kind.
    bool offerReload(const Status& refused, const QString& title);
    void clearAfterSave(bool untickCheck4, bool clearSubject);
    void close();
    void reportDatabaseError(const QString& what, const QString& reason);

    Shell& shell_;
    bool subjectTyped_ = false;
    std::optional<qint64> loadedVersion_; // of the row loaded for correction or deletion

    QComboBox* Cbo3;
    DateBox* DataBox2;
    QLineEdit* Text19;
    QComboBox* Cbo5;
    QLabel* Label39;
    AmountField* Text20;
    QComboBox* Cbo4;
    AmountField* Text15;
    QCheckBox* Check4;
    AmountField* Text16;
    QLineEdit* Text17;
    QCheckBox* Check2;
    DateBox* DataBox3;
    QLineEdit* Text4;
    QLineEdit* Text21;
    DateBox* DataBox4;
    QCheckBox* Check3;
    AmountField* Text13;
    AmountField* Text14;
    AmountField* Text18;
    QLineEdit* Text23;
    QLineEdit* Text22;
    QPushButton* Cmd3;
    EntryMode mode_ = EntryMode::Insert;
    ClickableLabel* Image2;
};
