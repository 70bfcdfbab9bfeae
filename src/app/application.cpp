#include "app/application.h"

#include "app/nota.h"
#include "app/pictures.h"
#include "app/splash.h"
#include "app/startup_options.h"
#include "platform/qt_message_boxes.h"
#include "store/connection.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
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

} // namespace

int runVelarco(int argc, char* argv[]) {
    if (!hasDisplay()) {
        std::fputs("Velarco: nessuno schermo disponibile / no display available "
                   "(DISPLAY is not set).\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velarco"));
    QApplication::setOrganizationName(QStringLiteral("Velarco"));
    QApplication::setApplicationVersion(QStringLiteral(VELARCO_VERSION));
    QApplication::setWindowIcon(applicationIcon());
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    QtMessageBoxes boxes;
    const StartupOptions options = parseStartupOptions(QApplication::arguments());
    if (!options.error.isEmpty()) {
        boxes.notice(options.error, QStringLiteral("ERRORE -- BLOCCANTE  "));
        return 2;
    }

    // ApriDatabase: the splash shows while the database opens.
    Splash splash;
    splash.show();
    QApplication::processEvents();
    const QString path =
        options.databasePath.isEmpty()
            ? defaultDatabasePath(QApplication::applicationDirPath(), prepareDataFolder())
            : options.databasePath;
    const Status opened = store::openDatabase(path);
    if (!opened.ok()) {
        splash.close();
        boxes.notice(opened.error(), QStringLiteral("ERRORE -- BLOCCANTE  "));
        return 1;
    }

    Nota window(boxes);
    QObject::connect(&splash, &Splash::finished, &window, [&window] { window.show(); });
    QObject::connect(
        &window, &Nota::exitRequested, &app, [] { QApplication::exit(0); }, Qt::QueuedConnection);
    const int status = QApplication::exec();
    store::closeDatabase();
    return status;
}
