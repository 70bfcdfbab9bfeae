#pragma once

#include "base/status.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The record of changes: the table Modifiche, one row for each row the program inserts,
// corrects or deletes, with when (UTC and the desk's local time), who (the server's role, or
// the desk's login name on a file), from which computer, by which action, and the whole
// row before and after as JSON. Triggers write it together with the change, so that one
// never stands without the other; nothing changes or deletes it. The program's own upkeep
// of the ledger (layout steps, sort keys, seeds) is not recorded.
namespace store {

enum class Azione {
    Inserimento,       // by the kind of write, on Ritenute and Soggetti
    Correzione,        //
    Cancellazione,     //
    Tabelle,           // a write to a lookup table
    CancellazioneAnno, // the deletion of a year's records
    Importazione,      // the imports of tables, spreadsheets and electronic invoices
    Ripristino,        // the ledger replaced by a copy: one entry
    Copia,             // the ledger copied into another database: one entry in the copy
    Manutenzione,      // the program's upkeep: never recorded
};

// The word the record stores for `action`.
QString actionWord(Azione action);

// The words of every action the record holds, in the order above.
QStringList recordedActionWords();

// While one lives, the writes of `db` are recorded as `action` (with Manutenzione, not at
// all); the action before comes back when it ends. Made before the work's transaction.
class RecordedAs {
public:
    RecordedAs(QSqlDatabase db, Azione action);
    ~RecordedAs();
    RecordedAs(const RecordedAs&) = delete;
    RecordedAs& operator=(const RecordedAs&) = delete;

    // Whether the action is set; the work must not start when it is not.
    const Status& begun() const { return begun_; }

private:
    QSqlDatabase db_;
    QString previous_;
    Status begun_ = Status::success();
};

// Sets who writes from where on `db`, a connection that writes the ledger; run when it
// connects (again), before any layout step.
Status openChangeRecord(QSqlDatabase db);

// Starts recording the writes of `db` (on a file its own triggers); run after the layout
// steps.
Status recordChanges(QSqlDatabase db);

// Adds the one entry of a work on the whole ledger (a restore, a copy), without table or row.
Status recordWholeLedger(QSqlDatabase db, Azione action);

} // namespace store
