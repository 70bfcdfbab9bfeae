#include "app/startup_options.h"

#include <QDir>
#include <QFileInfo>

QString defaultDatabasePath(const QString& applicationFolder, const QString& dataFolder) {
    const QString portable = QDir(applicationFolder).filePath(QStringLiteral("Database.db"));
    if (QFileInfo::exists(portable))
        return portable;
    return QDir(dataFolder).filePath(QStringLiteral("Database.db"));
}

StartupOptions parseStartupOptions(const QStringList& arguments) {
    StartupOptions options;
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
        } else {
            options.error = QStringLiteral("Opzione sconosciuta: %1").arg(argument);
            return options;
        }
    }
    return options;
}
