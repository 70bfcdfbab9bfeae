#include "app/startup_options.h"

#include "store/ledger_address.h"

#include <QDir>
#include <QFileInfo>
#include <cstring>

namespace {

constexpr bool kValue = true;
constexpr bool kSwitch = false;
constexpr bool kStarts = true;
constexpr bool kJoins = false;
const Commands kTaxCommands = Commands(Command::LegalDueDate) | Command::LatePayment;
const Commands kEveryCommand = Commands(Command::Window) | Command::Report | Command::ImportTables |
                               Command::Check | Command::Backup | kTaxCommands |
                               Command::ImportInvoices | Command::Changes;
const Commands kTableFiles = Commands(Command::Report) | Command::Changes;

// clang-format off
const KnownOption kKnownOptions[] = {
    // name       value    commands           starts   value's name, then the --help line
    {"database", kValue,  kEveryCommand,     kJoins,  "FILE",
     "usa l'archivio FILE invece di quello predefinito"},
    {"report",   kValue,  Command::Report,   kStarts, "NOME",
     "scrive la stampa NOME (PDF, Excel, CSV) ed esce"},
    {"utente",   kValue,  kTableFiles | Command::ImportInvoices, kJoins, "ID",
     "utente"},
    {"anno",     kValue,  Command::Report,   kJoins,  "ANNO",
     "l'anno della stampa"},
    {"mese",     kValue,  Command::Report,   kJoins,  "M",
     "il mese (1-12)"}, // --help adds the reports that take the input
    {"periodo",  kValue,  Command::Report,   kJoins,  "P",
     "il periodo (1-12)"},
    {"soggetto", kValue,  Command::Report,   kJoins,  "TESTO",
     "il soggetto"},
    {"pdf",      kValue,  Command::Report,   kJoins,  "FILE",
     "il file PDF da scrivere"},
    {"xlsx",     kValue,  kTableFiles,       kJoins,  "FILE",
     "il file Excel"},
    {"csv",      kValue,  kTableFiles,       kJoins,  "FILE",
     "il file CSV"},
    {"cartella", kValue,  Command::Report,   kJoins,  "DIR",
     "un PDF per percipiente in DIR"},
    {"import-tables", kValue, Command::ImportTables, kStarts, "DIR",
     "importa in un archivio vuoto i CSV della cartella DIR"},
    {"import-fatture", kValue, Command::ImportInvoices, kStarts, "PATH",
     "registra le fatture di PATH (file, cartella, zip)"},
    {"nuovi-soggetti", kSwitch, Command::ImportInvoices, kJoins, nullptr,
     "inserisce i fornitori nuovi"},
    {"dry-run",  kSwitch, Command::ImportInvoices, kJoins, nullptr,
     "mostra cosa scriverebbe"},
    {"scadenza-legale", kValue, Command::LegalDueDate, kStarts, "DATA",
     "scadenza legale di una ritenuta pagata il DATA"},
    {"ravvedimento", kSwitch, Command::LatePayment, kStarts, nullptr,
     "costo del versamento tardivo (ravvedimento)"},
    {"tributo",  kValue,  kTaxCommands,      kJoins,  "CODICE",
     "il tributo"},
    {"importo",  kValue,  kTaxCommands,      kJoins,  "IMPORTO",
     "la ritenuta"},
    {"pagamento", kValue, Command::LatePayment, kJoins, "DATA",
     "la data di pagamento"},
    {"versamento", kValue, Command::LatePayment, kJoins, "DATA",
     "la data del versamento"},
    {"copy-database", kValue, Command::Copy, kStarts, "DA A",
     "copia l'archivio DA nell'archivio vuoto A"},
    {"modifiche", kSwitch, Command::Changes, kStarts, nullptr,
     "elenca le modifiche all'archivio di un periodo"},
    {"dal",      kValue,  Command::Changes,  kJoins,  "DATA",
     "il primo giorno (gg/mm/aaaa)"},
    {"al",       kValue,  Command::Changes,  kJoins,  "DATA",
     "l'ultimo giorno (gg/mm/aaaa)"},
    {"operatore", kValue, Command::Changes,  kJoins,  "NOME",
     "solo di questo operatore"},
    {"azione",   kValue,  Command::Changes,  kJoins,  "AZIONE",
     "solo di questo tipo di modifica"},
    {"version",  kSwitch, Command::Version,  kStarts, nullptr,
     "mostra nome e versione ed esce"},
    {"help",     kSwitch, Command::Help,     kStarts, nullptr,
     "mostra queste righe ed esce"},
    {"check",    kSwitch, Command::Check,    kStarts, nullptr,
     "verifica l'archivio ed esce"},
    {"backup",   kValue,  Command::Backup,   kStarts, "COPIA",
     "scrive in COPIA una copia verificata ed esce"},
};
// clang-format on

const KnownOption* knownOption(const QString& name) {
    for (const KnownOption& option : kKnownOptions) {
        if (name == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

QString dashed(const char* name) {
    return QStringLiteral("--") + QLatin1String(name);
}

Command commandOf(const KnownOption& option) {
    for (unsigned bit = 1; bit != 0; bit <<= 1) {
        if (option.commands.testFlag(Command(bit)))
            return Command(bit);
    }
    return Command::Window;
}

// Checks that the options given belong together; returns the refusal, or empty.
QString checkCommand(const QList<const KnownOption*>& given, Command& command) {
    const KnownOption* starter = nullptr;
    for (const KnownOption* option : given) {
        if (!option->startsCommand)
            continue;
        if (starter)
            return QStringLiteral("Le opzioni %1 e %2 non vanno insieme")
                .arg(dashed(starter->name), dashed(option->name));
        starter = option;
    }
    command = starter ? commandOf(*starter) : Command::Window;
    for (const KnownOption* option : given) {
        if (option->commands.testFlag(command))
            continue;
        if (!starter)
            return QStringLiteral("L'opzione %1 vale solo insieme a %2")
                .arg(dashed(option->name), startersOf(option->commands));
        return QStringLiteral("L'opzione %1 non vale insieme a %2")
            .arg(dashed(option->name), dashed(starter->name));
    }
    return {};
}

} // namespace

std::span<const KnownOption> knownOptions() {
    return kKnownOptions;
}

QString startersOf(Commands commands) {
    QStringList starters;
    for (const KnownOption& option : kKnownOptions) {
        if (option.startsCommand && (option.commands & commands))
            starters.append(dashed(option.name));
    }
    return starters.join(QStringLiteral(" o "));
}

QString defaultDatabasePath(const QString& applicationFolder, const QString& dataFolder) {
    if (!applicationFolder.isEmpty()) {
        const QString portable = QDir(applicationFolder).filePath(QStringLiteral("Database.db"));
        if (QFileInfo::exists(portable))
            return portable;
    }
    return QDir(dataFolder).filePath(QStringLiteral("Database.db"));
}

QString portableFolder(const QString& programFolder, const QString& installFolder) {
    const QString program = QFileInfo(programFolder).canonicalFilePath();
    const bool installed =
        !program.isEmpty() && program == QFileInfo(installFolder).canonicalFilePath();
    return installed ? QString() : programFolder;
}

StartupOptions parseStartupOptions(const QStringList& arguments) {
    StartupOptions options;
    QList<const KnownOption*> given;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!argument.startsWith(QLatin1String("--")) || argument.size() == 2) {
            options.error = argument.startsWith(QLatin1Char('-'))
                                ? QStringLiteral("Opzione sconosciuta: %1").arg(argument)
                                : QStringLiteral("Argomento non previsto: %1").arg(argument);
            return options;
        }
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
        const KnownOption* option = knownOption(name);
        if (!option) {
            options.error = QStringLiteral("Opzione sconosciuta: --%1").arg(name);
            return options;
        }
        QString value;
        if (!option->takesValue) {
            if (equals >= 0) {
                options.error = QStringLiteral("L'opzione --%1 non vuole un valore").arg(name);
                return options;
            }
        } else if (equals >= 0) {
            value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            // The next argument is the value even when it begins with "--": a subject
            // pattern or a file name may.
            value = arguments.at(++i);
        }
        if (option->takesValue && value.trimmed().isEmpty()) {
            options.error = QStringLiteral("Manca il valore dell'opzione --%1").arg(name);
            return options;
        }
        if (option->valueName && std::strchr(option->valueName, ' ')) {
            const QString second = i + 1 < arguments.size() ? arguments.at(++i) : QString();
            if (second.trimmed().isEmpty()) {
                options.error =
                    QStringLiteral("Manca il secondo valore dell'opzione --%1").arg(name);
                return options;
            }
            value += QLatin1Char('\n') + second;
        }
        if (options.values.contains(name)) {
            options.error = QStringLiteral("Opzione --%1 ripetuta").arg(name);
            return options;
        }
        options.values.insert(name, value);
        given.append(option);
    }
    options.error = checkCommand(given, options.command);
    options.databasePath = options.values.value(QStringLiteral("database"));
    if (options.error.isEmpty())
        store::parseLedgerAddress(options.databasePath, &options.error);
    return options;
}
