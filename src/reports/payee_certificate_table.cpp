#include "reports/payee_certificate_table.h"

#include "reports/payee_certificate_document.h"

using table_export::CellKind;

table_export::TableShape certificateTableShape(const CertificateYear& year,
                                               const QString& subjectPattern) {
    table_export::TableShape shape;
    shape.title = QStringLiteral("%1 %2").arg(payee_certificate::kName, year.year);
    shape.selection = {{QStringLiteral("Utente"), year.agent.name},
                       {QStringLiteral("Anno"), year.year}};
    if (!subjectPattern.isEmpty())
        shape.selection.append({QStringLiteral("Soggetto"), subjectPattern});
    shape.columns = {
        {QStringLiteral("Codice fiscale"), CellKind::Text, false},
        {QStringLiteral("Percipiente"), CellKind::Text, false},
        {QStringLiteral("Causale (punto 1)"), CellKind::Text, false},
        {QStringLiteral("Lordo (punto 4)"), CellKind::Money, true},
        {QStringLiteral("Codice (punto 6)"), CellKind::Text, false},
        {QStringLiteral("Altre somme (punto 7)"), CellKind::Money, true},
        {QStringLiteral("Imponibile (punto 8)"), CellKind::Money, true},
        {QStringLiteral("Ritenute (punto 9)"), CellKind::Money, true},
    };
    return shape;
}

QList<QVariantList> certificateTableRows(const CertificateYear& year) {
    QList<QVariantList> rows;
    rows.reserve(year.payees.size());
    for (const PayeeCertificate& p : year.payees) {
        const CertificateTotals& t = p.totals;
        rows.append({p.payee.taxCode, p.payee.name, p.causale, t.gross,
                     t.other == 0 ? QString() : p.otherSumsCode, t.other, t.taxable, t.withheld});
    }
    return rows;
}
