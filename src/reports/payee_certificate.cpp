#include "reports/payee_certificate.h"

#include "registry/subject_store.h"
#include "store/connection.h"
#include "values/stored_money.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace {

const QString kPartyColumns =
    QStringLiteral("denominazione, indirizzo, cap, citta, pr, codice, partita");

CertificateParty partyFrom(const QSqlQuery& q, int first) {
    auto text = [&q, first](int i) { return q.value(first + i).toString().trimmed(); };
    return {text(0), text(1), text(2), text(3), text(4), text(5), text(6)};
}

// A stored amount as cents; an empty or unreadable one counts as nothing.
qint64 cents(const QVariant& value) {
    qint64 c = 0;
    return money::centsOf(value, c) ? c : 0;
}

// The records paid in the year, each with its payee's registry row when there is one;
// a record whose subject left the registry stands for itself under its own name. Payees
// in Italian name order (the stored sort key, then the name).
const QString kRecords = QStringLiteral(
    "SELECT r.ID_A, r.denominazione, r.FT, r.data, r.datap, r.versamento, r.imponibile, "
    "r.altro, r.ritenuta, r.versato, r.interessi, r.sanzione, s.ID, "
    "s.denominazione, s.indirizzo, s.cap, s.citta, s.pr, s.codice, s.partita, s.causale, "
    "s.codicealtro "
    "FROM Ritenute r LEFT JOIN Soggetti s ON s.ID = r.ID_A "
    "WHERE r.utente = ? AND r.datap >= ? AND r.datap <= ? "
    "AND coalesce(s.denominazione, r.denominazione, '') LIKE ? "
    "ORDER BY coalesce(s.ordine, r.ordine, ''), coalesce(s.denominazione, r.denominazione, ''), "
    "s.ID, r.denominazione, r.datap, r.ID");

} // namespace

void CertificateTotals::add(const CertificateInvoice& invoice) {
    gross += invoice.taxable + invoice.other;
    other += invoice.other;
    taxable += invoice.taxable;
    withheld += invoice.withheld;
    remitted += invoice.remitted;
}

void CertificateTotals::add(const CertificateTotals& t) {
    gross += t.gross;
    other += t.other;
    taxable += t.taxable;
    withheld += t.withheld;
    remitted += t.remitted;
}

Result<CertificateYear> readCertificateYear(const QString& userId, const QString& year,
                                            const QString& subjectPattern) {
    Result<CertificateYear> result;
    CertificateYear& out = result.value;
    out.year = year;
    Result<QSqlQuery> agent = store::run(QStringLiteral("SELECT ") + kPartyColumns +
                                             QStringLiteral(" FROM Soggetti WHERE ID = ?"),
                                         {userId});
    if (!agent.ok()) {
        result.status = agent.status;
        return result;
    }
    if (agent.value.next())
        out.agent = partyFrom(agent.value, 0);

    const QString pattern = subjectPattern.isEmpty() ? QStringLiteral("%") : subjectPattern;
    const QVariantList values = {userId, QString(year + QStringLiteral("-01-01")),
                                 QString(year + QStringLiteral("-12-31")), pattern};
    Result<QSqlQuery> q = store::run(kRecords, values);
    if (!q.ok()) {
        result.status = q.status;
        return result;
    }
    QString currentKey;
    while (q.value.next()) {
        const QSqlQuery& r = q.value;
        const bool registered = !r.value(12).isNull();
        const QString key = registered ? QStringLiteral("#") + r.value(12).toString()
                                       : QStringLiteral("=") + r.value(1).toString();
        if (out.payees.isEmpty() || key != currentKey) {
            currentKey = key;
            PayeeCertificate payee;
            payee.subjectId = r.value(registered ? 12 : 0).toLongLong();
            if (registered) {
                payee.payee = partyFrom(r, 13);
                payee.causale = r.value(20).toString().trimmed();
                payee.otherSumsCode = r.value(21).toString().trimmed();
            } else {
                payee.payee.name = r.value(1).toString().trimmed();
                payee.causale = registry::kDefaultCausale;
                payee.otherSumsCode = registry::kDefaultOtherSumsCode;
            }
            out.payees.append(payee);
        }
        PayeeCertificate& payee = out.payees.last();
        CertificateInvoice invoice;
        invoice.number = r.value(2).toString();
        invoice.date = r.value(3).toString();
        invoice.paymentDate = r.value(4).toString();
        invoice.remittanceDate = r.value(5).toString().trimmed();
        invoice.taxable = cents(r.value(6));
        invoice.other = cents(r.value(7));
        invoice.withheld = cents(r.value(8));
        invoice.remitted = cents(r.value(9)) - cents(r.value(10)) - cents(r.value(11));
        payee.totals.add(invoice);
        out.totals.add(invoice);
        if (invoice.remittanceDate.isEmpty())
            ++payee.unremitted;
        payee.invoices.append(invoice);
    }
    if (q.value.lastError().isValid()) {
        result.status = Status::failure(q.value.lastError().text());
        return result;
    }
    return result;
}
