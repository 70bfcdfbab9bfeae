#include "importing/einvoice_rows.h"

#include "importing/einvoice_envelope.h"
#include "importing/einvoice_files.h"
#include "importing/einvoice_reader.h"
#include "ledger/withholding_record.h"
#include "ledger/withholding_rules.h"
#include "shell/message_boxes.h"
#include "store/connection.h"

#include <QSqlQuery>
#include <QVariant>

namespace importing {
namespace {

const QString kWarning = QStringLiteral("ERRORE - NON BLOCCANTE");
// The withholding-tax types; RT03-RT06 are social-security contributions.
const QStringList kTaxTypes = {QStringLiteral("RT01"), QStringLiteral("RT02")};
const QString kCodeOfReasonA = QStringLiteral("1040");

bool isCreditNote(const QString& type) {
    return type == u"TD04" || type == u"TD08";
}

QString dateText(const QDate& date) {
    return date.isValid() ? ledger::shortDateText(date) : QStringLiteral("?");
}

CandidateRow rowOf(const einvoice::Invoice& invoice, const einvoice::Body& body,
                   const einvoice::Withholding& withholding, const QString& userId) {
    const einvoice::Party& supplier = invoice.supplier;
    CandidateRow row;
    row.matchByCodes = true;
    WithholdingEntry& e = row.entry;
    e.user = userId;
    e.year = QString::number(body.date.year());
    e.subjectName = supplier.name.toUpper();
    e.invoiceNumber = body.number;
    e.invoiceDate = ledger::shortDateText(body.date);
    e.taxable = body.withheldBase.format();
    e.rate = withholding.rate.plainText();
    e.withheld = withholding.amount.format();
    e.other = body.otherSums.format();
    e.total = ledger::recomputedTotal(e).value_or(QString());
    e.period = QStringLiteral("");
    const bool reasonA = withholding.reason == u"A";
    e.taxCode = reasonA ? kCodeOfReasonA : QStringLiteral("");
    row.payee.taxCode = supplier.taxCode;
    // A foreign VAT number is not a partita IVA.
    if (supplier.vatCountry.isEmpty() || supplier.vatCountry == u"IT")
        row.payee.vatNumber = supplier.vatNumber;
    row.details.name = e.subjectName;
    row.details.address = supplier.address.toUpper();
    row.details.postalCode = supplier.postalCode;
    row.details.town = supplier.town.toUpper();
    row.details.province = supplier.province.toUpper();
    row.details.causale = withholding.reason;
    if (body.number.isEmpty())
        row.unreadable.append(
            {QStringLiteral("Numero della fattura mancante"), blockingTitle(), QString(), true});
    if (!body.date.isValid())
        row.unreadable.append(
            {QStringLiteral("Data della fattura mancante"), blockingTitle(), QString(), true});
    if (!reasonA)
        row.unreadable.append(
            {QStringLiteral("Causale %1: il codice tributo si sceglie nell'anteprima della "
                            "finestra")
                 .arg(withholding.reason),
             blockingTitle(), QStringLiteral("Cbo5"), true});
    for (const einvoice::Withholding& other : body.withholdings) {
        if (!kTaxTypes.contains(other.type))
            row.notes.append({QStringLiteral("Contributo previdenziale %1 lasciato fuori: non è "
                                             "una ritenuta d'acconto")
                                  .arg(other.type),
                              kWarning, QString(), false});
    }
    return row;
}

} // namespace

Result<QList<LedgerUser>> ledgerUsers() {
    Result<QList<LedgerUser>> result;
    Result<QSqlQuery> query = store::run(QStringLiteral(
        "SELECT ID, denominazione, codice, partita FROM Soggetti WHERE utente = 'S' ORDER BY ID"));
    result.status = query.status;
    while (query.ok() && query.value.next())
        result.value.append({query.value.value(0).toString(), query.value.value(1).toString(),
                             query.value.value(2).toString().trimmed().toUpper(),
                             query.value.value(3).toString().trimmed()});
    return result;
}

std::optional<LedgerUser> userOfBuyer(const einvoice::Party& buyer,
                                      const QList<LedgerUser>& users) {
    QStringList codes;
    for (const QString& code : {buyer.taxCode, buyer.vatNumber}) {
        if (!code.trimmed().isEmpty())
            codes.append(code.trimmed().toUpper());
    }
    for (const LedgerUser& user : users) {
        if ((!user.taxCode.isEmpty() && codes.contains(user.taxCode)) ||
            (!user.vatNumber.isEmpty() && codes.contains(user.vatNumber)))
            return user;
    }
    return std::nullopt;
}

BodyReading readBody(const einvoice::Invoice& invoice, const einvoice::Body& body,
                     const QString& userId) {
    BodyReading reading;
    if (isCreditNote(body.documentType)) {
        reading.listed =
            QStringLiteral("nota di credito (%1) della fattura %2 del %3: correggere "
                           "a mano quella registrazione")
                .arg(body.documentType,
                     body.referredNumber.isEmpty() ? QStringLiteral("?") : body.referredNumber,
                     dateText(body.referredDate));
        return reading;
    }
    if (invoice.format == einvoice::Format::Simplified) {
        reading.listed = QStringLiteral("fattura semplificata (FSM10): non ha ritenuta d'acconto");
        return reading;
    }
    QList<einvoice::Withholding> taxes;
    QStringList contributions;
    for (const einvoice::Withholding& withholding : body.withholdings) {
        if (kTaxTypes.contains(withholding.type))
            taxes.append(withholding);
        else
            contributions.append(withholding.type);
    }
    if (taxes.isEmpty()) {
        reading.listed = contributions.isEmpty()
                             ? QStringLiteral("senza ritenuta d'acconto: nessuna registrazione")
                             : QStringLiteral("solo contributi previdenziali (%1), che non sono "
                                              "ritenute d'acconto: nessuna registrazione")
                                   .arg(contributions.join(QStringLiteral(", ")));
        return reading;
    }
    if (taxes.size() > 1) {
        reading.listed = QStringLiteral("%1 blocchi di ritenuta d'acconto: da registrare a mano, "
                                        "non divisi")
                             .arg(taxes.size());
        return reading;
    }
    reading.row = rowOf(invoice, body, taxes.front(), userId);
    return reading;
}

void appendRows(InvoiceRows& into, InvoiceRows more) {
    for (importing::CandidateRow& row : more.rows) {
        row.line = int(into.rows.size()) + 1;
        into.rows.append(std::move(row));
    }
    into.listed += more.listed;
    for (auto it = more.codes.cbegin(); it != more.codes.cend(); ++it) {
        if (!into.codes.contains(it.key()))
            into.codes.insert(it.key(), it.value());
    }
    into.files += more.files;
}

Result<InvoiceRows> readInvoiceRows(const QString& path, const QList<LedgerUser>& users) {
    Result<InvoiceRows> result;
    InvoiceRows& found = result.value;
    const auto list = [&found](const QString& source, const QString& reason, bool refused) {
        found.listed.append({source, reason, refused});
    };
    result.status = einvoice::visitInvoiceFiles(path, [&](const einvoice::FoundFile& file) {
        if (!file.reason.isEmpty()) {
            list(file.name, file.reason, file.refused);
            return true;
        }
        const Result<einvoice::Unwrapped> unwrapped = einvoice::unwrapInvoice(file.bytes);
        if (!unwrapped.ok()) {
            list(file.name, unwrapped.error(), true);
            return true;
        }
        const einvoice::ReadFile read = einvoice::readInvoiceXml(unwrapped.value.xml);
        if (read.kind != einvoice::FileKind::Invoice) {
            list(file.name, read.reason, read.kind == einvoice::FileKind::Refused);
            return true;
        }
        ++found.files;
        const std::optional<LedgerUser> user = userOfBuyer(read.invoice.buyer, users);
        if (!user) {
            list(file.name,
                 QStringLiteral("il committente %1 non è un utente da importare: lasciata fuori")
                     .arg(read.invoice.buyer.name),
                 false);
            return true;
        }
        for (int i = 0; i < read.invoice.bodies.size(); ++i) {
            const QString source =
                read.invoice.bodies.size() == 1
                    ? file.name
                    : QStringLiteral("%1 (fattura %2)").arg(file.name).arg(i + 1);
            BodyReading reading = readBody(read.invoice, read.invoice.bodies.at(i), user->id);
            if (!reading.row) {
                list(source, reading.listed, false);
                continue;
            }
            CandidateRow& row = *reading.row;
            row.source = source;
            row.line = int(found.rows.size()) + 1;
            if (unwrapped.value.signedEnvelope)
                row.notes.prepend({QStringLiteral("Firma del file .p7m non verificata di nuovo: "
                                                  "l'ha verificata il Sistema di Interscambio"),
                                   kWarning, QString(), false});
            PayeeCodes& codes = found.codes[row.entry.subjectName.trimmed().toCaseFolded()];
            if (codes.taxCode.isEmpty())
                codes.taxCode = row.payee.taxCode;
            if (codes.vatNumber.isEmpty())
                codes.vatNumber = row.payee.vatNumber;
            found.rows.append(std::move(row));
        }
        return true;
    });
    return result;
}

} // namespace importing
