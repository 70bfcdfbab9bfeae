#include "reports/payee_certificate_table.h"

#include "reports/payee_certificate_document.h"

using table_export::CellKind;

namespace {

// The point-6 codes of the numbering before the certification of 2021 incomes (CU 2022),
// which renumbered 7 to 21, 8 to 22 and 12 to 24; 13 (D.L. 23/2020) was left out.
bool oldOtherSumsCode(const QString& code) {
    static const QStringList old = {QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("12"),
                                    QStringLiteral("13")};
    return old.contains(code.trimmed());
}

// Said, never mapped: the operator chooses the code of the year's numbering.
QString otherSumsWarning(const CertificateYear& year, const PayeeCertificate& p) {
    if (p.totals.other == 0 || year.year.toInt() < 2021 || !oldOtherSumsCode(p.otherSumsCode))
        return {};
    return QStringLiteral("codice %1 della numerazione precedente alla CU 2022 (ora 21, 22, 24): "
                          "indicare il codice dell'anno")
        .arg(p.otherSumsCode.trimmed());
}

} // namespace

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
        {QStringLiteral("punto 1 Causale"), CellKind::Text, false},
        {QStringLiteral("punto 4 Ammontare lordo corrisposto"), CellKind::Money, true},
        {QStringLiteral("punto 6 Codice"), CellKind::Text, false},
        {QStringLiteral("punto 7 Altre somme non soggette"), CellKind::Money, true},
        {QStringLiteral("punto 8 Imponibile"), CellKind::Money, true},
        {QStringLiteral("punto 9 Ritenute a titolo d'acconto"), CellKind::Money, true},
        {QStringLiteral("Avvertenze"), CellKind::Text, false},
    };
    return shape;
}

QList<QVariantList> certificateTableRows(const CertificateYear& year) {
    QList<QVariantList> rows;
    rows.reserve(year.payees.size());
    for (const PayeeCertificate& p : year.payees) {
        const CertificateTotals& t = p.totals;
        rows.append({p.payee.taxCode, p.payee.name, p.causale, t.gross,
                     t.other == 0 ? QString() : p.otherSumsCode, t.other, t.taxable, t.withheld,
                     otherSumsWarning(year, p)});
    }
    return rows;
}
