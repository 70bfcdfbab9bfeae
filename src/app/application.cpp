#include "app/application.h"

#include "app/change_command.h"
#include "app/command_line_help.h"
#include "app/copy_command.h"
#include "app/exit_status.h"
#include "app/invoice_import_command.h"
#include "app/ledger_commands.h"
#include "app/login_steps.h"
#include "app/nota.h"
#include "app/password_prompt.h"
#include "app/pictures.h"
#include "app/remembered_ledger.h"
#include "app/splash.h"
#include "app/startup_options.h"
#include "app/tax_command.h"
#include "app/window_placement.h"
#include "importing/table_import.h"
#include "reports/report_options.h"
#include "shell/message_boxes.h"
#include "shell/qt_message_boxes.h"
#include "store/connection.h"
#include "store/server_connection.h"
#include "widgets/data_grid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTranslator>
#include <cstdio>

namespace {

bool hasDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty())
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QString prepareDataFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return folder;
}

// The ledger used when `--database` is not given.
QString programDatabasePath(const QString& dataFolder) {
    return defaultDatabasePath(portableFolder(QCoreApplication::applicationDirPath(),
                                              QStringLiteral(VELARCO_INSTALL_BINDIR)),
                               dataFolder);
}

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Velarco"));
    QCoreApplication::setOrganizationName(QStringLiteral("Velarco"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELARCO_VERSION));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

int fail(int status, const QString& text) {
    std::fputs(qPrintable(QStringLiteral("Velarco: ") + text + QLatin1Char('\n')), stderr);
    return status;
}

// `velarco --report NAME ... --pdf FILE`: writes one report as a PDF, or with --xlsx and
// --csv its table as a spreadsheet, and ends without a window, so it runs on a machine
// with no screen (a server, a scheduled job).
int exportWithoutWindow(const StartupOptions& startup, const ReportOptions& report, char* argv[]) {
    // Painting the pages needs the fonts of a GUI application but no screen; the
    // offscreen platform also spares a needless connection to a display that is there.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgumentCount = 1; // the command line is the program's alone, as for the window
    QGuiApplication app(qtArgumentCount, argv);
    nameApplication();

    const QString path =
        startup.databasePath.isEmpty()
            ? programDatabasePath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
            : startup.databasePath;
    if (const Status opened = store::openExistingDatabase(path, store::Access::Consult);
        !opened.ok())
        return fail(kNoDatabase, opened.error());

    const QString name = report.request.name;
    for (const ReportFile& file : requestedFiles(report)) {
        const Status written = writeReportFile(report.request, file);
        if (!written.ok()) {
            store::closeDatabase();
            if (written.is(ErrorKind::NothingToPrint))
                return fail(kNothingToPrint,
                            QStringLiteral("nessun dato per la stampa %1 (%2); "
                                           "il file %3 non è stato scritto")
                                .arg(name, written.error(), QDir::toNativeSeparators(file.path)));
            return fail(kExportFailed,
                        QStringLiteral("la stampa %1 non è stata scritta in %2: %3")
                            .arg(name, QDir::toNativeSeparators(file.path), written.error()));
        }
        std::fputs(qPrintable(QStringLiteral("Velarco: stampa %1 scritta in %2\n")
                                  .arg(name, QDir::toNativeSeparators(file.path))),
                   stdout);
    }
    store::closeDatabase();
    return kExported;
}

// `velarco --database FILE --import-tables DIR`: brings a whole ledger in from the
// tables another program exported, into a new (empty) ledger, without a window.
int importWithoutWindow(const StartupOptions& startup, char* argv[]) {
    int qtArgumentCount = 1;
    QCoreApplication app(qtArgumentCount, argv);
    nameApplication();
    // The new ledger may be the program's own, created on first use.
    const QString path = startup.databasePath.isEmpty() ? programDatabasePath(prepareDataFolder())
                                                        : startup.databasePath;
    const Status opened = store::openDatabase(path);
    if (!opened.ok())
        return fail(kNoDatabase, opened.error());
    if (const Status refused = store::writesRefused(); !refused.ok()) {
        store::closeDatabase();
        return fail(kImportRefused, refused.error());
    }
    const QString folder = startup.values.value(QStringLiteral("import-tables"));
    const Result<importing::TablesOutcome> done =
        importing::importTables(folder, QDate::currentDate());
    store::closeDatabase();
    for (const QString& line : importing::outcomeLines(done.value))
        std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    if (!done.ok())
        return fail(kImportRefused, QStringLiteral("importazione da %1 non fatta: %2")
                                        .arg(QDir::toNativeSeparators(folder), done.error()));
    bool refused = false;
    for (const importing::TableOutcome& table : done.value.tables)
        refused = refused || !table.refused.isEmpty();
    std::fputs(qPrintable(QStringLiteral("Velarco: tabelle di %1 importate in %2%3\n")
                              .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(path),
                                   refused ? QStringLiteral(", con righe rifiutate") : QString())),
               stdout);
    return refused ? kImportIncomplete : kExported;
}

// VELARCO_SCREENSHOT=FILE, for the README's pictures only: logs in as the first user in
// the newest year with records, loads that year's first record into the entry panel,
// saves a picture of the window to FILE and ends. Not offered to the operator.
int takeScreenshot(Nota& window, const QString& file) {
    window.show();
    QApplication::processEvents();
    auto* users = window.findChild<QComboBox*>(QStringLiteral("cbo1"));
    if (!users || users->count() == 0)
        return fail(1, QStringLiteral("nessun utente nell'archivio"));
    Result<QSqlQuery> newest = store::run(QStringLiteral("SELECT max(anno) FROM Ritenute"));
    const QString year = newest.ok() && newest.value.next()
                             ? newest.value.value(0).toString()
                             : window.findChild<QComboBox*>(QStringLiteral("cbo2"))->currentText();
    logInThroughPanel(window, users->itemText(0), year);
    window.action("Rmodifica")->trigger();
    QApplication::processEvents();
    DataGrid& grid = window.selectionGrid();
    if (!grid.model() || grid.model()->rowCount() == 0)
        return fail(1, QStringLiteral("nessuna registrazione da mostrare"));
    grid.setCurrentIndex(grid.model()->index(0, 1));
    Q_EMIT grid.rowPicked(0);
    // No blinking cursor and no empty acre below the panel in the picture.
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus();
    window.resize(window.width(), 500);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const bool saved = window.grab().save(file);
    // The focus leaves the panel's fields while the window and the database are whole.
    window.hide();
    QApplication::processEvents();
    if (!saved)
        return fail(1, QStringLiteral("immagine non salvata: %1").arg(file));
    return 0;
}

} // namespace

int runVelarco(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // The whole command line is read before anything else: a wrong option is one line on
    // standard error and status 2, with no display and no database touched.
    const StartupOptions options = parseStartupOptions(arguments);
    if (!options.error.isEmpty())
        return fail(kBadArguments, options.error);
    switch (options.command) {
    case Command::Report: {
        const ReportOptions report = readReportOptions(options.values);
        if (!report.error.isEmpty())
            return fail(kBadArguments, report.error);
        return exportWithoutWindow(options, report, argv);
    }
    case Command::ImportTables:
        return importWithoutWindow(options, argv);
    case Command::Help:
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return kExported;
    case Command::Version:
        std::fputs((versionText() + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
        return kExported;
    case Command::Check:
    case Command::Backup: {
        int qtArgumentCount = 1; // the command line is the program's alone
        QCoreApplication app(qtArgumentCount, argv);
        nameApplication();
        return ledger_commands::run(
            options, options.databasePath.isEmpty()
                         ? programDatabasePath(
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                         : options.databasePath);
    }
    case Command::LegalDueDate:
    case Command::LatePayment: {
        int qtArgumentCount = 1;
        QCoreApplication app(qtArgumentCount, argv);
        nameApplication();
        return tax_command::run(options, programDatabasePath(QStandardPaths::writableLocation(
                                             QStandardPaths::AppDataLocation)));
    }
    case Command::ImportInvoices:
    case Command::Changes: {
        int qtArgumentCount = 1;
        QCoreApplication app(qtArgumentCount, argv);
        nameApplication();
        const QString path = options.databasePath.isEmpty()
                                 ? programDatabasePath(QStandardPaths::writableLocation(
                                       QStandardPaths::AppDataLocation))
                                 : options.databasePath;
        return options.command == Command::Changes ? change_command::run(options, path)
                                                   : invoice_import_command::run(options, path);
    }
    case Command::Copy:
        return copyDatabaseWithoutWindow(options.values.value(QStringLiteral("copy-database")),
                                         argv);
    case Command::Window:
        break;
    }

    if (!hasDisplay())
        return fail(kNoWindow, QStringLiteral("nessuno schermo disponibile (la variabile "
                                              "DISPLAY non è impostata); la finestra non "
                                              "può aprirsi."));
    // Qt reads no option of its own: the command line is the program's alone.
    int qtArgumentCount = 1;
    QApplication app(qtArgumentCount, argv);
    nameApplication();
    QApplication::setWindowIcon(applicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral(VELARCO_APP_ID));
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    QtMessageBoxes boxes;

    // A server that wants a password PGPASSWORD and ~/.pgpass do not give asks for it.
    store::setPasswordPrompt(passwordPrompt(boxes));

    // ApriDatabase: the splash shows while the database opens.
    Splash splash;
    splash.show();
    QApplication::processEvents();
    // The ledger named on the command line, else the one last opened from the window, else
    // this computer's own.
    const QString remembered =
        options.databasePath.isEmpty() ? remembered_ledger::last() : QString();
    const QString path = !options.databasePath.isEmpty() ? options.databasePath
                         : !remembered.isEmpty()         ? remembered
                                                         : programDatabasePath(prepareDataFolder());
    Status opened = store::openDatabase(path);
    if (!opened.ok() && !remembered.isEmpty()) {
        splash.hide();
        boxes.notice(opened.error() + QStringLiteral("\n\nSi apre l'archivio di questo computer; "
                                                     "per riprovare: menu Archivio, \"Apri "
                                                     "archivio condiviso…\"."),
                     blockingTitle());
        splash.show();
        opened = store::openDatabase(programDatabasePath(prepareDataFolder()));
    }
    if (!opened.ok()) {
        splash.close();
        boxes.notice(opened.error(), blockingTitle());
        return kNoWindow;
    }

    Nota window(boxes);
    if (const QString shot = qEnvironmentVariable("VELARCO_SCREENSHOT"); !shot.isEmpty()) {
        splash.close();
        const int shotStatus = takeScreenshot(window, shot);
        store::closeDatabase();
        return shotStatus;
    }
    window_placement::restore(window);
    QObject::connect(&splash, &Splash::finished, &window, [&window] { window.show(); });
    QObject::connect(
        &window, &Nota::exitRequested, &app, [] { QApplication::exit(0); }, Qt::QueuedConnection);
    const int status = QApplication::exec();
    window_placement::remember(window);
    store::closeDatabase();
    return status;
}
