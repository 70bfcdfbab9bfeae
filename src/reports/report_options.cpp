#include "reports/report_options.h"

#include <QHash>
#include <QRegularExpression>

namespace {

const QStringList kOwnOptions = {QStringLiteral("report"),  QStringLiteral("utente"),
                                 QStringLiteral("anno"),    QStringLiteral("mese"),
                                 QStringLiteral("periodo"), QStringLiteral("soggetto"),
                                 QStringLiteral("pdf")};

QString missing(const QString& option) {
    return QStringLiteral("Opzione --%1 mancante").arg(option);
}

QString check(const ReportOptions& o, const QHash<QString, QString>& given) {
    const QString name = o.request.name;
    if (name.isEmpty())
        return QStringLiteral("Indicare il nome della stampa dopo --report");
    if (!isReportName(name))
        return QStringLiteral("Stampa sconosciuta: %1 (valori ammessi: %2)")
            .arg(name, reportNames().join(QStringLiteral(", ")));
    if (o.pdfPath.isEmpty())
        return missing(QStringLiteral("pdf"));
    if (isUserReport(name)) {
        if (o.request.userId.isEmpty())
            return missing(QStringLiteral("utente"));
        if (!QRegularExpression(QStringLiteral("^[0-9]+$")).match(o.request.userId).hasMatch())
            return QStringLiteral("Utente non valido: %1 (serve il codice numerico)")
                .arg(o.request.userId);
        if (o.request.year.isEmpty())
            return missing(QStringLiteral("anno"));
        if (!QRegularExpression(QStringLiteral("^[0-9]{4}$")).match(o.request.year).hasMatch())
            return QStringLiteral("Anno non valido: %1").arg(o.request.year);
    }
    const QString search = name.compare(QStringLiteral("RitenuteS"), Qt::CaseInsensitive) == 0
                               ? QStringLiteral("mese")
                           : name.compare(QStringLiteral("RicercaP"), Qt::CaseInsensitive) == 0
                               ? QStringLiteral("periodo")
                           : name.compare(QStringLiteral("RicercaS"), Qt::CaseInsensitive) == 0
                               ? QStringLiteral("soggetto")
                               : QString();
    for (const QString& input :
         {QStringLiteral("mese"), QStringLiteral("periodo"), QStringLiteral("soggetto")}) {
        if (input != search && given.contains(input))
            return QStringLiteral("L'opzione --%1 non vale per la stampa %2").arg(input, name);
    }
    if (!search.isEmpty() && !given.contains(search))
        return missing(search);
    if (search == QLatin1String("mese") && (o.request.month < 1 || o.request.month > 12))
        return QStringLiteral("Mese non valido: %1 (da 1 a 12)").arg(given.value(search));
    return {};
}

} // namespace

ReportOptions parseReportOptions(const QStringList& arguments) {
    ReportOptions options;
    QHash<QString, QString> given;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!argument.startsWith(QLatin1String("--")))
            continue;
        QString key = argument.mid(2);
        QString value;
        bool inlineValue = false;
        if (const qsizetype eq = key.indexOf(QLatin1Char('=')); eq >= 0) {
            value = key.mid(eq + 1);
            key.truncate(eq);
            inlineValue = true;
        }
        if (!kOwnOptions.contains(key))
            continue;
        if (!inlineValue) {
            if (i + 1 >= arguments.size()) {
                options.requested = options.requested || key == QLatin1String("report");
                options.error = QStringLiteral("Manca il valore dell'opzione --%1").arg(key);
                continue;
            }
            value = arguments.at(++i);
        }
        if (given.contains(key) && options.error.isEmpty())
            options.error = QStringLiteral("Opzione --%1 ripetuta").arg(key);
        given.insert(key, value);
    }
    options.requested = options.requested || given.contains(QStringLiteral("report"));
    if (!options.requested)
        return options;
    if (!options.error.isEmpty())
        return options;

    ReportRequest& r = options.request;
    r.name = given.value(QStringLiteral("report")).trimmed();
    r.userId = given.value(QStringLiteral("utente")).trimmed();
    r.year = given.value(QStringLiteral("anno")).trimmed();
    r.period = given.value(QStringLiteral("periodo"));
    r.subject = given.value(QStringLiteral("soggetto"));
    bool monthOk = false;
    r.month = given.value(QStringLiteral("mese")).trimmed().toInt(&monthOk);
    if (!monthOk)
        r.month = 0;
    options.pdfPath = given.value(QStringLiteral("pdf"));
    options.error = check(options, given);
    return options;
}
