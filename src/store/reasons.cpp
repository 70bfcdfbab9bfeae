#include "store/reasons.h"

#include "store/sqlite_engine.h"

#include <QSqlError>

namespace store {
namespace {

// The engine's primary result codes of the failures the operator can act on.
struct KnownReason {
    int code;
    const char* sentence;
};

const KnownReason kKnownReasons[] = {
    {5, "L'archivio è in uso da un altro programma: chiudere l'altro programma e ripetere "
        "l'operazione."},
    {6, "L'archivio è in uso da un altro programma: chiudere l'altro programma e ripetere "
        "l'operazione."},
    {8, "L'archivio è in sola lettura: le modifiche non possono essere salvate. Aprire una "
        "copia su un disco scrivibile o chiedere il permesso di scrittura."},
    {10, "Errore di lettura o scrittura del disco: controllare il disco e ripetere "
         "l'operazione."},
    {11, "L'archivio è danneggiato: ripristinarlo da una copia (menu Archivio, \"Ripristina da "
         "una copia…\")."},
    {13, "Il disco è pieno: liberare spazio sul disco e ripetere l'operazione."},
    {14, "Impossibile aprire il file dell'archivio: controllare che la cartella esista e che "
         "si abbia il permesso di accedervi."},
    {26, "Il file non è un archivio valido o è danneggiato: ripristinarlo da una copia (menu "
         "Archivio, \"Ripristina da una copia…\")."},
};

// PostgreSQL's SQLSTATE codes of the failures the program acts on.
struct KnownState {
    const char* state;
    ErrorKind kind;
};

const KnownState kKnownStates[] = {
    {"23505", ErrorKind::Duplicate}, // unique_violation
    {"25006", ErrorKind::ReadOnly},  // read_only_sql_transaction
    {"53100", ErrorKind::DiskFull},  // disk_full
};

ErrorKind kindOfCode(int code) {
    switch (code & 0xff) {
    case 8:
        return ErrorKind::ReadOnly;
    case 11:
    case 26:
        return ErrorKind::Damaged;
    case 13:
        return ErrorKind::DiskFull;
    default:
        break;
    }
    // A unique index or the primary key refused the value.
    return code == 2067 || code == 1555 ? ErrorKind::Duplicate : ErrorKind::Failed;
}

} // namespace

QString reasonFor(int code, const QString& databaseText) {
    for (const KnownReason& known : kKnownReasons) {
        if (known.code == (code & 0xff)) {
            const QString sentence = QString::fromUtf8(known.sentence);
            return databaseText.isEmpty()
                       ? sentence
                       : sentence + QStringLiteral("\nDettaglio: ") + databaseText;
        }
    }
    return databaseText.isEmpty() ? QStringLiteral("errore sconosciuto del database")
                                  : databaseText;
}

QString reasonFor(const QSqlError& error) {
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric);
    return reasonFor(numeric ? code : engine::codeOfText(error.databaseText()), text);
}

ErrorKind kindOf(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    for (const KnownState& known : kKnownStates) {
        if (code == QLatin1String(known.state))
            return known.kind;
    }
    bool numeric = false;
    const int number = code.toInt(&numeric);
    // A constraint's code alone does not say which constraint refused the value.
    const bool plain = numeric && number != 19;
    return kindOfCode(plain ? number : engine::codeOfText(error.databaseText()));
}

Status failureOf(const QSqlError& error) {
    return Status::failure(kindOf(error), reasonFor(error));
}

} // namespace store
