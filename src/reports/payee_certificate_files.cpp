#include "reports/payee_certificate_files.h"

#include "printing/pdf_export.h"
#include "printing/report_document.h"
#include "reports/payee_certificate_document.h"
#include "reports/report_catalogue.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>

namespace payee_certificate {
namespace {

Status writeDocument(const LineDocument& doc, const QString& path, const QDate& signedOn) {
    report::ReportDocument document(doc.layout(), std::make_shared<report::ReportData>(doc.data()),
                                    signedOn);
    return report::writePdf(document, path);
}

} // namespace

QStringList fileNames(const CertificateYear& year) {
    // A codice fiscale as a file name: its letters and digits only.
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9]"));
    QHash<QString, int> uses;
    for (const PayeeCertificate& p : year.payees)
        ++uses[p.payee.taxCode.trimmed().toUpper().remove(unsafe)];
    QStringList names;
    for (const PayeeCertificate& p : year.payees) {
        const QString code = p.payee.taxCode.trimmed().toUpper().remove(unsafe);
        QString stem = code.isEmpty()         ? QStringLiteral("soggetto%1").arg(p.subjectId)
                       : uses.value(code) > 1 ? QStringLiteral("%1_%2").arg(code).arg(p.subjectId)
                                              : code;
        // Two payees left with one name (both gone from the registry): numbered on.
        QString name = QStringLiteral("%1_%2.pdf").arg(stem, year.year);
        for (int n = 2; names.contains(name); ++n)
            name = QStringLiteral("%1_%2_%3.pdf").arg(stem).arg(n).arg(year.year);
        names.append(name);
    }
    return names;
}

QString summaryFileName(const CertificateYear& year) {
    return QStringLiteral("riepilogo_%1.pdf").arg(year.year);
}

Result<QStringList> writeFolder(const QString& userId, const QString& year,
                                const QString& subjectPattern, const QString& folder,
                                const QDate& signedOn) {
    Result<QStringList> result;
    const Result<CertificateYear> read = readCertificateYear(userId, year, subjectPattern);
    if (!read.ok()) {
        result.status = read.status;
        return result;
    }
    if (read.value.payees.isEmpty()) {
        result.status =
            Status::failure(ErrorKind::NothingToPrint, catalogue::kNoDataText.trimmed());
        return result;
    }
    const QDir dir(folder);
    if (!QDir().mkpath(folder)) {
        result.status = Status::failure(QStringLiteral("impossibile creare la cartella %1")
                                            .arg(QDir::toNativeSeparators(folder)));
        return result;
    }
    const QStringList names = fileNames(read.value);
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString path = dir.filePath(names.at(i));
        result.status = writeDocument(
            payeeCertificate(read.value, read.value.payees.at(i), signedOn), path, signedOn);
        if (!result.ok())
            return result;
        result.value.append(path);
    }
    const QString summary = dir.filePath(summaryFileName(read.value));
    result.status = writeDocument(certificateSummaryDocument(read.value), summary, signedOn);
    if (result.ok())
        result.value.append(summary);
    return result;
}

} // namespace payee_certificate
