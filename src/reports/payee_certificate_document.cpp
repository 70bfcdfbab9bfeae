#include "reports/payee_certificate_document.h"

#include "printing/report_format.h"
#include "values/stored_money.h"

namespace {

using Style = LineDocument::Style;
using money::formatCents;

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kRight = Qt::AlignRight;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;

enum Table { Summary, Totals, Invoices, Signature };

const QList<LineDocument::Table> kTables = {
    // payee, codice fiscale (16 characters whole), gross, other, taxable, withheld,
    // remitted, difference
    {{0, 2300, kLeft},
     {2320, 2180, kLeft},
     {4500, 1045, kRight},
     {5545, 1045, kRight},
     {6590, 1045, kRight},
     {7635, 1045, kRight},
     {8680, 1045, kRight},
     {9725, 1047, kRight}},
    // caption, amount
    {{0, 6500, kLeft}, {6500, 1800, kRight}},
    // number, date, payment date, taxable, other, withheld
    {{0, 2000, kLeft},
     {2000, 1400, kCentre},
     {3400, 1400, kCentre},
     {4800, 2000, kRight},
     {6800, 2000, kRight},
     {8800, 1972, kRight}},
    // the signature, on the right
    {{6000, 4772, kCentre}},
};

QString dateOf(const QString& iso) {
    return report::formatValue(iso, report::Format::Date);
}

QStringList amounts(const CertificateTotals& t) {
    return {formatCents(t.gross),    formatCents(t.other),    formatCents(t.taxable),
            formatCents(t.withheld), formatCents(t.remitted), formatCents(t.difference())};
}

void party(LineDocument& doc, const QString& role, const CertificateParty& p) {
    doc.text(role, Style::Bold);
    doc.text(p.name);
    if (!p.address.isEmpty())
        doc.text(p.address);
    const QString place =
        QStringList{p.postalCode, p.town}.join(QLatin1Char(' ')).trimmed() +
        (p.province.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(p.province));
    if (!place.trimmed().isEmpty())
        doc.text(place.trimmed());
    doc.text(QStringLiteral("Codice fiscale: %1    Partita IVA: %2")
                 .arg(p.taxCode.isEmpty() ? QStringLiteral("(mancante)") : p.taxCode,
                      p.vatNumber.isEmpty() ? QStringLiteral("-") : p.vatNumber));
}

QString marksOf(const PayeeCertificate& p) {
    QStringList marks;
    if (p.payee.taxCode.isEmpty())
        marks << payee_certificate::kNoTaxCode;
    if (p.unremitted == 1)
        marks << QStringLiteral("1 fattura pagata senza versamento della ritenuta");
    else if (p.unremitted > 1)
        marks << QStringLiteral("%1 fatture pagate senza versamento della ritenuta")
                     .arg(p.unremitted);
    return marks.join(QStringLiteral("; "));
}

void summaryPage(LineDocument& doc, const CertificateYear& y) {
    doc.text(
        QStringLiteral("Attestazione dei compensi corrisposti - anno %1 - riepilogo").arg(y.year),
        Style::Title);
    doc.text(QStringLiteral("Sostituto d'imposta: %1    Codice fiscale: %2")
                 .arg(y.agent.name, y.agent.taxCode));
    doc.blank();
    doc.row(Summary,
            {QStringLiteral("Percipiente"), QStringLiteral("Codice fiscale"),
             QStringLiteral("Lordo"), QStringLiteral("Altro"), QStringLiteral("Imponibile"),
             QStringLiteral("Ritenute"), QStringLiteral("Versato"), QStringLiteral("Differenza")},
            Style::Bold);
    for (const PayeeCertificate& p : y.payees) {
        doc.row(Summary, QStringList{p.payee.name, p.payee.taxCode} + amounts(p.totals));
        if (const QString marks = marksOf(p); !marks.isEmpty())
            doc.text(QStringLiteral("      * ") + marks);
    }
    doc.row(Summary,
            QStringList{QStringLiteral("Totale (%1 percipienti)").arg(y.payees.size()), QString()} +
                amounts(y.totals),
            Style::Bold);
    doc.blank();
    doc.text(QStringLiteral("Lordo = Imponibile + Altro; Versato = versato meno interessi e "
                            "sanzioni; Differenza = Ritenute - Versato."));
    doc.text(QStringLiteral("Causale e codice del punto 6 sono quelli registrati per ogni "
                            "soggetto (predefiniti A e 22):"));
    doc.text(QStringLiteral("le lettere e i codici cambiano di anno in anno, verificarli nelle "
                            "istruzioni della Certificazione Unica."));
    if (y.year.toInt() < 2021)
        doc.text(QStringLiteral("Attenzione: il codice 22 vale dalla Certificazione Unica 2022 "
                                "(redditi 2021); per l'anno %1 i codici erano diversi.")
                     .arg(y.year),
                 Style::Bold);
}

// What the payee receives: the agent, the payee, the points of the Certificazione Unica,
// the invoices; none of the agent's own figures (what was remitted, what is missing).
void payeePages(LineDocument& doc, const CertificateYear& y, const PayeeCertificate& p,
                const QDate& signedOn) {
    doc.newPage();
    doc.text(QStringLiteral("Attestazione dei compensi corrisposti - anno %1").arg(y.year),
             Style::Title);
    doc.blank();
    party(doc, QStringLiteral("Sostituto d'imposta"), y.agent);
    doc.blank();
    party(doc, QStringLiteral("Percipiente"), p.payee);
    doc.text(QStringLiteral("Causale: %1").arg(p.causale));
    doc.blank();
    doc.text(QStringLiteral("Totali dell'anno %1").arg(y.year), Style::Bold);
    const CertificateTotals& t = p.totals;
    const QList<std::pair<QString, qint64>> lines = {
        {QStringLiteral("Ammontare lordo corrisposto (punto 4)"), t.gross},
        {QStringLiteral("Altre somme non soggette a ritenuta (punto 7), codice %1 (punto 6)")
             .arg(t.other == 0 ? QStringLiteral("-") : p.otherSumsCode),
         t.other},
        {QStringLiteral("Imponibile (punto 8)"), t.taxable},
        {QStringLiteral("Ritenute a titolo d'acconto (punto 9)"), t.withheld},
    };
    for (const auto& [caption, cents] : lines)
        doc.row(Totals, {caption, formatCents(cents)});
    doc.blank();
    doc.row(Invoices,
            {QStringLiteral("N. Fattura"), QStringLiteral("Data"), QStringLiteral("Pagata"),
             QStringLiteral("Imponibile"), QStringLiteral("Altro"), QStringLiteral("Ritenuta")},
            Style::Bold);
    for (const CertificateInvoice& i : p.invoices)
        doc.row(Invoices, {i.number, dateOf(i.date), dateOf(i.paymentDate), formatCents(i.taxable),
                           formatCents(i.other), formatCents(i.withheld)});
    doc.blank();
    doc.blank();
    const QString place =
        y.agent.town.isEmpty() ? QStringLiteral("Luogo ________________") : y.agent.town;
    doc.text(QStringLiteral("%1, %2").arg(place, signedOn.toString(QStringLiteral("dd/MM/yyyy"))));
    doc.blank();
    doc.row(Signature, {QStringLiteral("Firma del sostituto d'imposta")});
    doc.blank();
    doc.row(Signature, {QStringLiteral("______________________________")});
}

} // namespace

LineDocument payeeCertificateDocument(const CertificateYear& year, const QDate& signedOn) {
    LineDocument doc(payee_certificate::kName,
                     QStringLiteral("Attestazione anno %1").arg(year.year), kTables);
    summaryPage(doc, year);
    for (const PayeeCertificate& payee : year.payees)
        payeePages(doc, year, payee, signedOn);
    return doc;
}

LineDocument certificateSummaryDocument(const CertificateYear& year) {
    LineDocument doc(payee_certificate::kName,
                     QStringLiteral("Attestazione anno %1 - riepilogo").arg(year.year), kTables);
    summaryPage(doc, year);
    return doc;
}

LineDocument payeeCertificate(const CertificateYear& year, const PayeeCertificate& payee,
                              const QDate& signedOn) {
    LineDocument doc(payee_certificate::kName,
                     QStringLiteral("Attestazione anno %1 - %2").arg(year.year, payee.payee.name),
                     kTables);
    payeePages(doc, year, payee, signedOn);
    return doc;
}
