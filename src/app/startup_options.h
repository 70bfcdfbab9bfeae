#pragma once

#include <QFlags>
#include <QHash>
#include <QString>
#include <QStringList>
#include <span>

// Where the database lives: a file beside the program when one is there (portable
// use), otherwise the per-user data folder; `--database PATH` names another file, and
// `--database postgresql://user@host:port/dbname` a ledger on a PostgreSQL server.
// An empty `applicationFolder` looks in the data folder only.
QString defaultDatabasePath(const QString& applicationFolder, const QString& dataFolder);

// The folder where a portable ledger is looked for: the program's own folder, or none
// when the program runs from the folder it was installed into (`/usr/bin`), which
// belongs to every program and never holds a ledger.
QString portableFolder(const QString& programFolder, const QString& installFolder);

// What one run of the program does: open the window, or one job without it that an
// option names (`--report` writes a report as a PDF, `--import-tables` brings a
// ledger in from another program's tables, `--scadenza-legale` prints a legal due date,
// `--ravvedimento` the cost of a late remittance). One bit each.
enum class Command : unsigned {
    Window = 1u << 0,
    Report = 1u << 1,
    Help = 1u << 2,
    Version = 1u << 3,
    ImportTables = 1u << 4,
    Check = 1u << 5,  // `--check`: checks the ledger
    Backup = 1u << 6, // `--backup COPIA`: writes a checked copy of the ledger
    LegalDueDate = 1u << 7,
    LatePayment = 1u << 8,
    Copy = 1u << 9,            // `--copy-database DA A`: copies a whole ledger into an empty one
    ImportInvoices = 1u << 10, // `--import-fatture PATH`: records from electronic invoices
    Changes = 1u << 11,        // `--modifiche`: the register of changes of a range of days
};
Q_DECLARE_FLAGS(Commands, Command)
Q_DECLARE_OPERATORS_FOR_FLAGS(Commands)

// One option the program knows. To add an option, add a row to the table in
// startup_options.cpp (and a line to the README's option list and the manual page,
// packaging/velarco.1, which a test compares with the table); a new command also
// gets its bit above and its branch in runVelarco, which reads its values.
struct KnownOption {
    const char* name;      // without the leading "--"
    bool takesValue;       // "--name VALUE" or "--name=VALUE"; otherwise a bare switch
    Commands commands;     // the commands it is valid with
    bool startsCommand;    // naming it chooses its (single) command instead of the window
    const char* valueName; // the value's name in `--help` ("FILE"); null for a switch;
                           // two names ("DA A"): two values, the second
                           // the next argument, kept one a line
    const char* help;      // what it does, in Italian, for `--help`
};

// Every option the program knows, in the order `--help` lists them.
std::span<const KnownOption> knownOptions();

// The options that start the commands `commands`, for a message: "--report".
QString startersOf(Commands commands);

struct StartupOptions {
    Command command = Command::Window;
    QHash<QString, QString> values; // by option name; a switch has an empty value
    QString databasePath;           // empty: the default
    QString error;                  // one Italian line naming the option or the argument refused
};

// Reads the program's arguments (the program's own name first, as main() gets them)
// against the table of known options. Anything unknown, a value missing, empty or
// given to a switch, a repeated option, two commands at once or an option of another
// command is refused; each command checks the meaning of its values itself.
StartupOptions parseStartupOptions(const QStringList& arguments);
