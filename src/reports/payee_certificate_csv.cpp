#include "reports/payee_certificate_csv.h"

#include <QSaveFile>

namespace {

// Cents as "1234,50": no thousands separator, so a spreadsheet reads a number.
QString plainCents(qint64 cents) {
    const qint64 whole = cents / 100;
    const qint64 part = cents % 100;
    const QString sign = cents < 0 ? QStringLiteral("-") : QString();
    return sign + QString::number(qAbs(whole)) + QLatin1Char(',') +
           QStringLiteral("%1").arg(qAbs(part), 2, 10, QLatin1Char('0'));
}

QString quoted(const QString& field) {
    QString text = field;
    // A leading sign would make a spreadsheet read the name as a formula.
    if (!text.isEmpty() && QStringLiteral("=+-@").contains(text.front()))
        text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')))
        return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
               QLatin1Char('"');
    return text;
}

} // namespace

QStringList certificateCsvHeader() {
    return {QStringLiteral("Codice fiscale"),       QStringLiteral("Percipiente"),
            QStringLiteral("Causale (punto 1)"),    QStringLiteral("Lordo (punto 4)"),
            QStringLiteral("Codice (punto 6)"),     QStringLiteral("Altre somme (punto 7)"),
            QStringLiteral("Imponibile (punto 8)"), QStringLiteral("Ritenute (punto 9)")};
}

QList<QStringList> certificateCsvRows(const CertificateYear& year) {
    QList<QStringList> rows;
    for (const PayeeCertificate& p : year.payees) {
        const CertificateTotals& t = p.totals;
        rows.append({p.payee.taxCode, p.payee.name, p.causale, plainCents(t.gross),
                     t.other == 0 ? QString() : p.otherSumsCode, plainCents(t.other),
                     plainCents(t.taxable), plainCents(t.withheld)});
    }
    return rows;
}

Status writeCertificateCsv(const CertificateYear& year, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(file.errorString());
    QList<QStringList> rows = certificateCsvRows(year);
    rows.prepend(certificateCsvHeader());
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& f : row)
            fields.append(quoted(f));
        file.write((fields.join(QLatin1Char(';')) + QStringLiteral("\r\n")).toUtf8());
    }
    if (!file.commit())
        return Status::failure(file.errorString());
    return Status::success();
}
