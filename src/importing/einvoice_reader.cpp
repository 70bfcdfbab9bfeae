#include "importing/einvoice_reader.h"

#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>

namespace einvoice {
namespace {

const QString kOrdinary12 =
    QStringLiteral("http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2");
const QString kOrdinary11 = QStringLiteral("http://www.fatturapa.gov.it/sdi/fatturapa/v1.1");
const QString kSimplified =
    QStringLiteral("http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.0");
const QString kMessages = QStringLiteral("http://www.fatturapa.gov.it/sdi/messaggi/v1.0");

// The reader's state: the names of the open elements below the root, and the pieces of
// the line or pension-fund block being read.
class InvoiceReader {
public:
    explicit InvoiceReader(const QByteArray& xml) : xml_(xml) {}

    ReadFile read() {
        ReadFile file;
        if (!readRoot(file))
            return file;
        file.invoice.format = format_;
        file.invoice.version = version_;
        while (!xml_.atEnd() && error_.isEmpty()) {
            switch (xml_.readNext()) {
            case QXmlStreamReader::StartElement:
                open(file.invoice);
                break;
            case QXmlStreamReader::EndElement:
                close(file.invoice);
                break;
            case QXmlStreamReader::Characters:
                text_ += xml_.text();
                break;
            case QXmlStreamReader::DTD:
                error_ = dtdRefused();
                break;
            default:
                break;
            }
        }
        if (error_.isEmpty() && xml_.hasError())
            error_ = damaged();
        if (!error_.isEmpty())
            return {FileKind::Refused, error_, {}};
        file.kind = FileKind::Invoice;
        return file;
    }

private:
    static QString dtdRefused() {
        return QStringLiteral("contiene una dichiarazione DTD (entità): rifiutato, una fattura "
                              "non ne ha");
    }

    QString damaged() const {
        return QStringLiteral("XML non valido o danneggiato (riga %1, colonna %2)")
            .arg(xml_.lineNumber())
            .arg(xml_.columnNumber());
    }

    bool readRoot(ReadFile& file) {
        while (!xml_.atEnd()) {
            const QXmlStreamReader::TokenType token = xml_.readNext();
            if (token == QXmlStreamReader::DTD) {
                file.reason = dtdRefused();
                return false;
            }
            if (token == QXmlStreamReader::StartElement)
                break;
        }
        if (xml_.tokenType() != QXmlStreamReader::StartElement) {
            file.reason = xml_.hasError() ? damaged() : QStringLiteral("file XML vuoto");
            return false;
        }
        const QString root = xml_.name().toString();
        const QString space = xml_.namespaceUri().toString();
        if (root == u"FileMetadati") {
            file.kind = FileKind::Skipped;
            file.reason = QStringLiteral("file di metadati del Sistema di Interscambio");
            return false;
        }
        if (space == kMessages) {
            file.kind = FileKind::Skipped;
            file.reason = QStringLiteral("notifica del Sistema di Interscambio (%1)").arg(root);
            return false;
        }
        if (root != u"FatturaElettronica" && root != u"FatturaElettronicaSemplificata") {
            file.reason =
                QStringLiteral("non è una fattura elettronica (elemento radice %1)").arg(root);
            return false;
        }
        version_ = xml_.attributes().value(QStringLiteral("versione")).toString();
        if (space == kSimplified || version_ == u"FSM10" || root.endsWith(u"Semplificata")) {
            format_ = Format::Simplified;
        } else if (space != kOrdinary12 && space != kOrdinary11) {
            file.reason =
                QStringLiteral("fattura con uno spazio dei nomi sconosciuto «%1»").arg(space);
            return false;
        }
        return true;
    }

    void open(Invoice& invoice) {
        path_.append(xml_.name().toString());
        text_.clear();
        if (path_.size() == 1 && path_.front() == u"FatturaElettronicaBody")
            invoice.bodies.append(Body());
        const QString& name = path_.back();
        if (name == u"DatiRitenuta" && !invoice.bodies.isEmpty())
            invoice.bodies.back().withholdings.append(Withholding());
        if (name == u"DettaglioLinee" || name == u"DatiCassaPrevidenziale") {
            piece_ = Amount();
            pieceWithheld_ = false;
        }
    }

    void close(Invoice& invoice) {
        if (path_.isEmpty()) // the root's own end
            return;
        const QString value = text_.trimmed();
        text_.clear();
        if (path_.size() >= 2 && path_.front() == u"FatturaElettronicaHeader")
            readParty(invoice, value);
        else if (path_.size() >= 2 && !invoice.bodies.isEmpty())
            readBody(invoice.bodies.back(), value);
        path_.removeLast();
    }

    void readParty(Invoice& invoice, const QString& value) {
        const QString& top = path_.at(1);
        if (top != u"CedentePrestatore" && top != u"CessionarioCommittente")
            return;
        if (path_.size() > 2 &&
            (path_.at(2) == u"RappresentanteFiscale" || path_.at(2) == u"StabileOrganizzazione"))
            return;
        Party& party = top == u"CedentePrestatore" ? invoice.supplier : invoice.buyer;
        const QString& name = path_.back();
        const QString& parent = path_.at(path_.size() - 2);
        if (parent == u"IdFiscaleIVA") {
            if (name == u"IdPaese")
                party.vatCountry = value;
            else if (name == u"IdCodice")
                party.vatNumber = value;
        } else if (parent == u"Sede") {
            if (name == u"Indirizzo")
                party.address = joined(value, party.address);
            else if (name == u"NumeroCivico")
                party.address = joined(party.address, value);
            else if (name == u"CAP")
                party.postalCode = value;
            else if (name == u"Comune")
                party.town = value;
            else if (name == u"Provincia")
                party.province = value;
        } else if (name == u"CodiceFiscale") {
            party.taxCode = value.toUpper();
        } else if (name == u"Denominazione") {
            party.name = value;
        } else if (name == u"Cognome") {
            party.name = joined(value, party.name);
        } else if (name == u"Nome") {
            party.name = joined(party.name, value);
        }
    }

    static QString joined(const QString& first, const QString& second) {
        return QString(first + u' ' + second).trimmed();
    }

    void readBody(Body& body, const QString& value) {
        const QString& name = path_.back();
        const QString& parent = path_.at(path_.size() - 2);
        if (name == u"DettaglioLinee" || name == u"DatiCassaPrevidenziale") {
            Amount& sum = pieceWithheld_ ? body.withheldBase : body.otherSums;
            sum = sum.plus(piece_).value_or(sum);
        } else if (parent == u"DatiGeneraliDocumento" || parent == u"DatiGenerali") {
            if (name == u"TipoDocumento")
                body.documentType = value;
            else if (name == u"Numero")
                body.number = value;
            else if (name == u"Data")
                body.date = dateOf(value, name);
        } else if (parent == u"DatiRitenuta" && !body.withholdings.isEmpty()) {
            Withholding& withholding = body.withholdings.back();
            if (name == u"TipoRitenuta")
                withholding.type = value;
            else if (name == u"ImportoRitenuta")
                withholding.amount = amountOf(value, name);
            else if (name == u"AliquotaRitenuta")
                withholding.rate = amountOf(value, name);
            else if (name == u"CausalePagamento")
                withholding.reason = value;
        } else if (parent == u"DatiFattureCollegate" || parent == u"DatiFatturaRettificata") {
            // The first invoice referred to.
            if ((name == u"IdDocumento" || name == u"NumeroFR") && body.referredNumber.isEmpty())
                body.referredNumber = value;
            else if ((name == u"Data" || name == u"DataFR") && body.referredDate.isNull())
                body.referredDate = dateOf(value, name);
        } else if (parent == u"DettaglioLinee" || parent == u"DatiCassaPrevidenziale") {
            if (name == u"PrezzoTotale" || name == u"ImportoContributoCassa")
                piece_ = amountOf(value, name);
            else if (name == u"Ritenuta")
                pieceWithheld_ = value == u"SI";
        }
    }

    Amount amountOf(const QString& value, const QString& name) {
        if (const std::optional<Amount> amount = amountOfXml(value))
            return *amount;
        failOnce(QStringLiteral("importo «%1» non valido in %2").arg(value.left(40), name));
        return {};
    }

    QDate dateOf(const QString& value, const QString& name) {
        const QDate date = QDate::fromString(value, Qt::ISODate);
        if (!date.isValid() || value.size() != 10)
            failOnce(QStringLiteral("data «%1» non valida in %2").arg(value.left(40), name));
        return date;
    }

    void failOnce(const QString& reason) {
        if (error_.isEmpty())
            error_ = reason;
    }

    QXmlStreamReader xml_;
    QStringList path_;
    QString text_;
    QString error_;
    QString version_;
    Format format_ = Format::Ordinary;
    Amount piece_;
    bool pieceWithheld_ = false;
};

} // namespace

ReadFile readInvoiceXml(const QByteArray& xml) {
    if (xml.trimmed().isEmpty())
        return {FileKind::Refused, QStringLiteral("file vuoto"), {}};
    return InvoiceReader(xml).read();
}

std::optional<Amount> amountOfXml(QStringView text) {
    static const QRegularExpression kDecimal(QStringLiteral("^-?[0-9]{1,15}(\\.[0-9]{1,8})?$"));
    const QString trimmed = text.trimmed().toString();
    if (!kDecimal.match(trimmed).hasMatch())
        return std::nullopt;
    return Amount::parse(QString(trimmed).replace(u'.', u','));
}

} // namespace einvoice
