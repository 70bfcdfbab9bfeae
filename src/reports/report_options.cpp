#include "reports/report_options.h"

#include "reports/payee_certificate_files.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

QString missing(const QString& option) {
    return QStringLiteral("Opzione --%1 mancante").arg(option);
}

// The reports that can write a folder of files, for the refusal of --cartella.
QString folderReports() {
    QStringList names;
    for (const ReportDescription& d : reportDescriptions()) {
        if (d.folder)
            names.append(d.name);
    }
    return names.join(QStringLiteral(", "));
}

QString check(const ReportOptions& o, const QHash<QString, QString>& given) {
    const QString name = o.request.name;
    if (name.isEmpty())
        return QStringLiteral("Indicare il nome della stampa dopo --report");
    const ReportDescription* report = describeReport(name);
    if (!report)
        return QStringLiteral("Stampa sconosciuta: %1 (valori ammessi: %2)")
            .arg(name, reportNames().join(QStringLiteral(", ")));
    if (!o.folderPath.isEmpty() && !report->folder)
        return QStringLiteral("L'opzione --cartella vale solo per la stampa %1")
            .arg(folderReports());
    if (o.pdfPath.isEmpty() && o.xlsxPath.isEmpty() && o.csvPath.isEmpty() &&
        o.folderPath.isEmpty())
        return QStringLiteral("Indicare il file da scrivere: --pdf, --xlsx o --csv");
    if (report->oneUser && o.request.userId.isEmpty())
        return missing(QStringLiteral("utente"));
    if (report->oneUser &&
        !QRegularExpression(QStringLiteral("^[0-9]+$")).match(o.request.userId).hasMatch())
        return QStringLiteral("Utente non valido: %1 (serve il codice numerico)")
            .arg(o.request.userId);
    if (report->oneUser || report->needsYear) {
        if (o.request.year.isEmpty())
            return missing(QStringLiteral("anno"));
        if (!QRegularExpression(QStringLiteral("^[0-9]{4}$")).match(o.request.year).hasMatch())
            return QStringLiteral("Anno non valido: %1").arg(o.request.year);
    }
    // Every user's report of a year takes no user.
    if (report->needsYear && !report->oneUser && given.contains(QStringLiteral("utente")))
        return QStringLiteral("L'opzione --utente non vale per la stampa %1").arg(name);
    const QString search = inputOption(report->input);
    for (const ReportInput input :
         {ReportInput::Month, ReportInput::Period, ReportInput::Subject}) {
        if (inputOption(input) != search && given.contains(inputOption(input)))
            return QStringLiteral("L'opzione --%1 non vale per la stampa %2")
                .arg(inputOption(input), name);
    }
    if (report->inputRequired && !given.contains(search))
        return missing(search);
    if (report->input == ReportInput::Month && (o.request.month < 1 || o.request.month > 12))
        return QStringLiteral("Mese non valido: %1 (da 1 a 12)").arg(given.value(search));
    return {};
}

} // namespace

ReportOptions readReportOptions(const QHash<QString, QString>& given) {
    ReportOptions options;
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
    options.xlsxPath = given.value(QStringLiteral("xlsx"));
    options.csvPath = given.value(QStringLiteral("csv"));
    options.folderPath = given.value(QStringLiteral("cartella"));
    options.error = check(options, given);
    return options;
}

QList<ReportFile> requestedFiles(const ReportOptions& options) {
    QList<ReportFile> files;
    if (!options.pdfPath.isEmpty())
        files.append({options.pdfPath, std::nullopt});
    if (!options.xlsxPath.isEmpty())
        files.append({options.xlsxPath, table_export::FileFormat::Xlsx});
    if (!options.csvPath.isEmpty())
        files.append({options.csvPath, table_export::FileFormat::Csv});
    if (!options.folderPath.isEmpty())
        files.append({options.folderPath, std::nullopt, true});
    return files;
}

Status writeReportFile(const ReportRequest& request, const ReportFile& file) {
    if (file.folder)
        return payee_certificate::writeFolder(request.userId, request.year, request.subject,
                                              file.path)
            .status;
    return file.table ? exportReportAsTable(request, *file.table, file.path)
                      : exportReport(request, file.path);
}
