#include "app/startup_options.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The options of a report written without the window; each takes a value.
const QStringList kReportOptions = {QStringLiteral("report"),  QStringLiteral("utente"),
                                    QStringLiteral("anno"),    QStringLiteral("mese"),
                                    QStringLiteral("periodo"), QStringLiteral("soggetto"),
                                    QStringLiteral("pdf")};

// The report option named by `argument` ("--anno" or "--anno=2024"), or the empty text.
QString reportOptionOf(const QString& argument) {
    if (!argument.startsWith(QLatin1String("--")))
        return {};
    const QString key = argument.mid(2).section(QLatin1Char('='), 0, 0);
    return kReportOptions.contains(key) ? key : QString();
}

} // namespace

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
    bool report = false;
    QString strayReportOption;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--database")) {
            if (i + 1 >= arguments.size()) {
                options.error = QStringLiteral("Manca il percorso dopo --database");
                return options;
            }
            options.databasePath = arguments.at(++i);
        } else if (argument.startsWith(QLatin1String("--database="))) {
            options.databasePath = argument.mid(int(qstrlen("--database=")));
        } else if (const QString key = reportOptionOf(argument); !key.isEmpty()) {
            // Their values are checked by the report's own reading of the options.
            report = report || key == QLatin1String("report");
            if (strayReportOption.isEmpty())
                strayReportOption = key;
            if (!argument.contains(QLatin1Char('=')) && i + 1 < arguments.size())
                ++i;
        } else {
            options.error = QStringLiteral("Opzione sconosciuta: %1").arg(argument);
            return options;
        }
    }
    if (!report && !strayReportOption.isEmpty())
        options.error = QStringLiteral("L'opzione --%1 vale solo insieme a --report NOME")
                            .arg(strayReportOption);
    return options;
}
