#include "reports/report_commands.h"

#include "platform/shell.h"

#include <QAction>
#include <QWidget>

ReportCommands::ReportCommands(Shell& shell, QObject* parent)
    : QObject(parent), shell_(shell), runner_(shell, dynamic_cast<QWidget*>(&shell)) {
    setObjectName(QStringLiteral("ReportCommands"));
    for (const QString& name : commandNames()) {
        QAction* item = shell_.action(name.toLatin1().constData());
        if (item)
            connect(item, &QAction::triggered, this, [this, name] { run(name); });
    }
}

const QStringList& ReportCommands::commandNames() {
    static const QStringList names = {
        QStringLiteral("ElencoR"),    QStringLiteral("FattureNP"), QStringLiteral("FattureP"),
        QStringLiteral("RitenuteNV"), QStringLiteral("RitenuteV"), QStringLiteral("StampaG"),
        QStringLiteral("StampaS"),    QStringLiteral("Elenco"),
    };
    return names;
}

void ReportCommands::run(const QString& name) {
    runner_.run(runner_.requestFor(name));
}
