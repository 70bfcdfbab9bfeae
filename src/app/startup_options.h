#pragma once

#include <QString>
#include <QStringList>

// Where the database lives: a file beside the program when one is there (portable
// use), otherwise the per-user data folder; `--database PATH` names another file.
// An empty `applicationFolder` looks in the data folder only.
QString defaultDatabasePath(const QString& applicationFolder, const QString& dataFolder);

// The folder where a portable ledger is looked for: the program's own folder, or none
// when the program runs from the folder it was installed into (`/usr/bin`), which
// belongs to every program and never holds a ledger.
QString portableFolder(const QString& programFolder, const QString& installFolder);

struct StartupOptions {
    QString databasePath; // empty: the default
    QString error;        // a message for the operator when the options are wrong
};

// Reads `--database`. The options of a report written without the window (`--report`
// and its companions, read by parseReportOptions) are let through when `--report` is
// given, and refused otherwise, since the window would ignore them.
StartupOptions parseStartupOptions(const QStringList& arguments);
