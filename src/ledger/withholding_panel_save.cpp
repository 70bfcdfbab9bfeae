// The withholding panel's work on the database: the ledger grid, a picked row loaded
// into the fields, and the press of Cmd3.
#include "ledger/amount_field.h"
#include "ledger/ledger_grid_query.h"
#include "ledger/save_checks.h"
#include "ledger/withholding_panel.h"
#include "ledger/withholding_record.h"
#include "ledger/withholding_store.h"
#include "shell/message_boxes.h"
#include "shell/shell.h"
#include "widgets/data_grid.h"
#include "widgets/date_box.h"
#include "widgets/typed_values.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {} // namespace

void WithholdingPanel::CaricaGrigliaRitenute() {
    DataGrid& grid = shell_.selectionGrid();
    grid.unbind();
    const Status bound =
        grid.bind(ledger::ledgerGridQuery(shell_.currentYear(), shell_.currentUserId()));
    if (!bound.ok()) {
        grid.unbind();
        reportDatabaseError(QStringLiteral("Lettura delle registrazioni non riuscita"),
                            bound.error());
        return;
    }
    grid.setExportTitle(QStringLiteral("Ritenute"),
                        {{QStringLiteral("Utente"), shell_.currentUserName()},
                         {QStringLiteral("Anno"), shell_.currentYear()}});
    grid.setRowHistory(QStringLiteral("Ritenute"), QStringLiteral("Registrazione"), 2,
                       ledger::recordChangeFields());
    int position = 0;
    for (const ledger::WithholdingColumn& column : ledger::withholdingColumns()) {
        if (!column.visible) {
            grid.setColumnHidden(position++, true);
            continue;
        }
        const ledger::CellFormat format = column.format;
        grid.setColumnKind(position, ledger::exportKind(format));
        grid.setColumnFormat(
            position, [format](const QVariant& value) { return ledger::cellText(format, value); },
            format == ledger::CellFormat::Money ? Qt::AlignRight : Qt::AlignLeft);
        grid.setColumnWidthTwips(position, column.widthTwips);
        if (qstrcmp(column.name, "FT") == 0) {
            // The longest number of the year shows whole, measured once per load.
            const Result<QStringList> numbers =
                ledger::longestInvoiceNumbers(shell_.currentYear(), shell_.currentUserId());
            if (!numbers.ok())
                reportDatabaseError(QStringLiteral("Lettura delle registrazioni non riuscita"),
                                    numbers.error());
            for (const QString& number : numbers.value)
                grid.widenColumnFor(position, number);
        } else if (format == ledger::CellFormat::Date)
            grid.widenColumnFor(position, DataGrid::widestDate());
        else if (format == ledger::CellFormat::Money)
            grid.widenColumnFor(position, DataGrid::widestAmount());
        ++position;
    }
}

void WithholdingPanel::pickFromGrid(const DataGrid& grid) {
    const GridPick pick = shell_.gridPick();
    const bool modify = pick == GridPick::ChangeRecord;
    if (!modify && pick != GridPick::DeleteRecord)
        return;
    if (modify) {
        shell_.CaricaSoggetti();
        CaricaTributi();
        CaricaPercentuali();
    }

    fillFields([&grid](int column) { return grid.cellText(column); });

    show();
    shell_.setPanelsVisible({"Frame3"}, false);
    setMode(modify ? EntryMode::Modify : EntryMode::Delete);
    Cbo3->setFocus(Qt::OtherFocusReason);
}

void WithholdingPanel::fillFields(const std::function<QString(int)>& cell) {
    // Column order, so that a value written later prevails over what the reactions
    // of an earlier one (the rate, the two flags) do to it. The year and the user are
    // the working ones, which the window's labels already show.
    const auto flag = [&cell](int column) { return cell(column) == QLatin1String("S"); };
    subjectTyped_ = false;
    Text22->setText(cell(ledger::ColumnId));
    Text23->setText(cell(ledger::ColumnSubjectId));
    Cbo3->setEditText(cell(ledger::ColumnName));
    Text19->setText(cell(ledger::ColumnInvoiceNumber));
    DataBox2->setText(cell(ledger::ColumnInvoiceDate));
    Text20->setText(cell(ledger::ColumnTaxable));
    Cbo4->setEditText(cell(ledger::ColumnRate));
    Text15->setText(cell(ledger::ColumnWithheld));
    Text16->setText(cell(ledger::ColumnOther));
    Text17->setText(cell(ledger::ColumnTotal));
    Check2->setChecked(flag(ledger::ColumnPaid));
    DataBox3->setText(cell(ledger::ColumnPaymentDate));
    Text4->setText(cell(ledger::ColumnPeriod));
    DataBox4->setText(cell(ledger::ColumnRemittanceDate));
    Check3->setChecked(flag(ledger::ColumnLateRegularisation));
    Text18->setText(cell(ledger::ColumnRemitted));
    Text13->setText(cell(ledger::ColumnInterest));
    Text14->setText(cell(ledger::ColumnPenalty));
    Cbo5->setEditText(cell(ledger::ColumnTaxCode));
    // The description follows the code shown, as when the code is chosen.
    onTaxCodeChosen();
    Text21->setText(cell(ledger::ColumnDueDate));
    // A flag that kept its state ran no reaction: the fields it governs follow it.
    DataBox3->setEnabled(Check2->isChecked());
    Text13->setEnabled(Check3->isChecked());
    Text14->setEnabled(Check3->isChecked());
    bool known = false;
    const qint64 version = cell(ledger::ColumnVersion).toLongLong(&known);
    loadedVersion_ = known ? std::optional<qint64>(version) : std::nullopt;
    TypedValues::of(*this)->reset();
}

bool WithholdingPanel::offerReload(const Status& refused, const QString& title) {
    if (!refused.is(ErrorKind::ChangedMeanwhile))
        return false;
    if (!shell_.boxes().confirm(refused.error() + QStringLiteral(": nulla è stato scritto.\n"
                                                                 "Ricaricarla con i dati attuali?"),
                                title))
        return true;
    const Result<QVariantList> row = ledger::fetchGridRow(Text22->text().trimmed().toLongLong());
    if (!row.ok() || row.value.isEmpty()) {
        reportDatabaseError(QStringLiteral("Lettura della registrazione non riuscita"),
                            row.ok() ? ledger::missingRowReason(Text22->text().toLongLong())
                                     : row.error());
        return true;
    }
    const auto columns = ledger::withholdingColumns();
    fillFields(
        [&](int c) { return ledger::cellText(columns[std::size_t(c)].format, row.value.at(c)); });
    return true;
}

WithholdingEntry WithholdingPanel::entry() const {
    WithholdingEntry e;
    e.recordId = Text22->text();
    e.subjectId = Text23->text();
    e.subjectName = Cbo3->currentText();
    e.invoiceNumber = Text19->text();
    e.invoiceDate = DataBox2->text();
    e.taxCode = Cbo5->currentText();
    e.taxable = Text20->text();
    e.rate = Cbo4->currentText();
    e.withheld = Text15->text();
    e.other = Text16->text();
    e.total = Text17->text();
    e.paid = Check2->isChecked();
    e.paymentDate = DataBox3->text();
    e.period = Text4->text();
    e.dueDate = Text21->text();
    e.remittanceDate = DataBox4->text();
    e.lateRegularisation = Check3->isChecked();
    e.interest = Text13->text();
    e.penalty = Text14->text();
    e.remitted = Text18->text();
    e.year = shell_.currentYear();
    e.user = shell_.currentUserId();
    return e;
}

void WithholdingPanel::SalvaRitenuta() {
    if (!shell_.requireSelection())
        return;
    if (mode_ == EntryMode::Delete)
        deleteRecord();
    else
        saveRecord(mode_);
}

void WithholdingPanel::saveRecord(EntryMode mode) {
    for (const SaveFinding& finding : ledger::checkBeforeSave(entry(), mode)) {
        shell_.boxes().notice(finding.message, finding.title);
        if (auto* control = findChild<QWidget*>(finding.focus))
            control->setFocus(Qt::OtherFocusReason);
        if (finding.stops)
            return;
    }
    const bool insert = mode == EntryMode::Insert;
    if (!shell_.boxes().confirm(insert ? QStringLiteral("Vuoi Inserire questi dati ?")
                                       : QStringLiteral("Vuoi Modificare questi dati ?"),
                                insert ? QStringLiteral("Velarco - INSERIMENTO")
                                       : QStringLiteral("Velarco - MODIFICA")))
        return;
    if (const std::optional<QString> total = ledger::recomputedTotal(entry()))
        Text17->setText(*total);

    // Read after the confirmation: the values are the ones the fields hold now.
    const WithholdingEntry values = entry();
    const WithholdingRecord record = ledger::recordFromEntry(values);
    Status written = Status::success();
    if (insert) {
        written = ledger::insertWithholding(record).status;
    } else {
        bool ok = false;
        const qint64 id = values.recordId.trimmed().toLongLong(&ok);
        written = ok ? ledger::updateWithholding(id, record, loadedVersion_)
                     : Status::failure(QStringLiteral("chiave della registrazione non valida"));
    }
    if (!insert && offerReload(written, QStringLiteral("Velarco - MODIFICA")))
        return;
    if (!written.ok()) {
        reportDatabaseError(insert ? QStringLiteral("L' inserimento non è avvenuto")
                                   : QStringLiteral("La modifica non è avvenuta"),
                            written.error());
        return;
    }

    if (insert) {
        shell_.boxes().notice(QStringLiteral("L' inserimento è avvenuto con successo !"));
        clearAfterSave(true, false);
        Label39->clear();
        Cbo3->setFocus(Qt::OtherFocusReason);
        return;
    }
    shell_.boxes().notice(QStringLiteral("La modifica è avvenuta con successo !"));
    clearAfterSave(true, true);
    hide();
    shell_.resumeWork();
}

void WithholdingPanel::deleteRecord() {
    if (!shell_.boxes().confirm(QStringLiteral("Vuoi Eliminare questi dati ?"),
                                QStringLiteral("Velarco - ELIMINA")))
        return;
    bool ok = false;
    const qint64 id = Text22->text().trimmed().toLongLong(&ok);
    const Status deleted =
        ok ? ledger::deleteWithholding(id, loadedVersion_)
           : Status::failure(QStringLiteral("chiave della registrazione non valida"));
    if (offerReload(deleted, QStringLiteral("Velarco - ELIMINA")))
        return;
    if (!deleted.ok()) {
        reportDatabaseError(QStringLiteral("L' eliminazione non è avvenuta"), deleted.error());
        return;
    }
    shell_.boxes().notice(QStringLiteral("Eliminazione  di       ") + Cbo3->currentText() +
                              QStringLiteral("   effettuata con successo ! "),
                          QStringLiteral("Velarco - ELIMINA SOGGETTO"));
    clearAfterSave(false, true);
    hide();
    shell_.resumeWork();
}

void WithholdingPanel::clearAfterSave(bool untickCheck4, bool clearSubject) {
    shell_.PulisciCampi();
    Check2->setChecked(false);
    Check3->setChecked(false);
    if (untickCheck4)
        Check4->setChecked(false);
    DataBox2->clear();
    DataBox3->clear();
    if (clearSubject)
        Cbo3->setEditText(QString());
    Cbo4->setEditText(QString());
    Cbo5->setEditText(QString());
}
