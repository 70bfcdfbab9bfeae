#include "support/einvoice_samples.h"

#include <QFile>
#include <QTemporaryDir>
#include <openssl/cms.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <zip.h>

namespace samples {
namespace {

QString element(const QString& name, const QString& value) {
    return value.isEmpty() ? QString()
                           : QStringLiteral("<%1>%2</%1>").arg(name, value.toHtmlEscaped());
}

QString party(const QString& role, const Party& p) {
    const QString name = p.name.isEmpty() ? element(QStringLiteral("Nome"), p.firstName) +
                                                element(QStringLiteral("Cognome"), p.lastName)
                                          : element(QStringLiteral("Denominazione"), p.name);
    const QString vat =
        p.vatNumber.isEmpty()
            ? QString()
            : QStringLiteral("<IdFiscaleIVA><IdPaese>IT</IdPaese><IdCodice>%1</IdCodice>"
                             "</IdFiscaleIVA>")
                  .arg(p.vatNumber);
    return QStringLiteral("<%1><DatiAnagrafici>%2%3<Anagrafica>%4</Anagrafica>%5</DatiAnagrafici>"
                          "<Sede>%6%7%8%9%10<Nazione>IT</Nazione></Sede></%1>")
        .arg(role, vat, element(QStringLiteral("CodiceFiscale"), p.taxCode), name,
             role == u"CedentePrestatore" ? QStringLiteral("<RegimeFiscale>RF01</RegimeFiscale>")
                                          : QString(),
             element(QStringLiteral("Indirizzo"), p.address),
             element(QStringLiteral("NumeroCivico"), p.houseNumber),
             element(QStringLiteral("CAP"), p.postalCode),
             element(QStringLiteral("Comune"), p.town),
             element(QStringLiteral("Provincia"), p.province));
}

QString body(const Body& b) {
    QString general =
        element(QStringLiteral("TipoDocumento"), b.type) + QStringLiteral("<Divisa>EUR</Divisa>") +
        element(QStringLiteral("Data"), b.date) + element(QStringLiteral("Numero"), b.number);
    for (const Withholding& w : b.withholdings)
        general += QStringLiteral("<DatiRitenuta><TipoRitenuta>%1</TipoRitenuta><ImportoRitenuta>%2"
                                  "</ImportoRitenuta><AliquotaRitenuta>%3</AliquotaRitenuta>"
                                  "<CausalePagamento>%4</CausalePagamento></DatiRitenuta>")
                       .arg(w.type, w.amount, w.rate, w.reason);
    for (const Fund& f : b.funds)
        general += QStringLiteral("<DatiCassaPrevidenziale><TipoCassa>TC04</TipoCassa><AlCassa>4.00"
                                  "</AlCassa><ImportoContributoCassa>%1</ImportoContributoCassa>"
                                  "<AliquotaIVA>22.00</AliquotaIVA>%2</DatiCassaPrevidenziale>")
                       .arg(f.contribution,
                            f.withheld ? QStringLiteral("<Ritenuta>SI</Ritenuta>") : QString());
    QString linked;
    if (!b.referredNumber.isEmpty())
        linked = QStringLiteral("<DatiFattureCollegate><IdDocumento>%1</IdDocumento>%2"
                                "</DatiFattureCollegate>")
                     .arg(b.referredNumber, element(QStringLiteral("Data"), b.referredDate));
    QString lines;
    int number = 0;
    for (const Line& l : b.lines)
        lines +=
            QStringLiteral("<DettaglioLinee><NumeroLinea>%1</NumeroLinea><Descrizione>Voce %1"
                           "</Descrizione><PrezzoUnitario>%2</PrezzoUnitario><PrezzoTotale>%2"
                           "</PrezzoTotale><AliquotaIVA>22.00</AliquotaIVA>%3</DettaglioLinee>")
                .arg(++number)
                .arg(l.total, l.withheld ? QStringLiteral("<Ritenuta>SI</Ritenuta>") : QString());
    return QStringLiteral("<FatturaElettronicaBody><DatiGenerali><DatiGeneraliDocumento>%1"
                          "</DatiGeneraliDocumento>%2</DatiGenerali><DatiBeniServizi>%3"
                          "<DatiRiepilogo><AliquotaIVA>22.00</AliquotaIVA><ImponibileImporto>0.00"
                          "</ImponibileImporto><Imposta>0.00</Imposta></DatiRiepilogo>"
                          "</DatiBeniServizi></FatturaElettronicaBody>")
        .arg(general, linked, lines);
}

} // namespace

QByteArray invoiceXml(const Invoice& invoice) {
    const QString root = invoice.prefix.isEmpty()
                             ? QStringLiteral("FatturaElettronica")
                             : invoice.prefix + QStringLiteral(":FatturaElettronica");
    const QString xmlns = invoice.prefix.isEmpty() ? QStringLiteral("xmlns")
                                                   : QStringLiteral("xmlns:") + invoice.prefix;
    QString bodies;
    for (const Body& b : invoice.bodies)
        bodies += body(b);
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<%1 versione=\"%2\" %3=\"http://"
               "ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2\"><FatturaElettronicaHeader>"
               "<DatiTrasmissione><ProgressivoInvio>00001</ProgressivoInvio><FormatoTrasmissione>%2"
               "</FormatoTrasmissione></DatiTrasmissione>%4%5</FatturaElettronicaHeader>%6</%1>\n")
        .arg(root, invoice.version, xmlns,
             party(QStringLiteral("CedentePrestatore"), invoice.supplier),
             party(QStringLiteral("CessionarioCommittente"), invoice.buyer), bodies)
        .toUtf8();
}

QByteArray simplifiedXml(const QString& type, const QString& number, const QString& referred) {
    const QString rectified =
        referred.isEmpty()
            ? QString()
            : QStringLiteral("<DatiFatturaRettificata><NumeroFR>%1</NumeroFR><DataFR>"
                             "2026-01-10</DataFR><ElementiRettificati>Importo"
                             "</ElementiRettificati></DatiFatturaRettificata>")
                  .arg(referred);
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ns3:FatturaElettronicaSemplificata "
               "versione=\"FSM10\" xmlns:ns3=\"http://ivaservizi.agenziaentrate.gov.it/docs/xsd/"
               "fatture/"
               "v1.0\"><FatturaElettronicaHeader><CedentePrestatore><IdFiscaleIVA><IdPaese>IT"
               "</IdPaese><IdCodice>01234567897</IdCodice></IdFiscaleIVA><Denominazione>BAR SPORT"
               "</Denominazione><Sede><Indirizzo>Via Po</Indirizzo><CAP>10100</CAP><Comune>Torino"
               "</Comune></Sede><RegimeFiscale>RF01</RegimeFiscale></CedentePrestatore>"
               "<CessionarioCommittente><IdentificativiFiscali><IdFiscaleIVA><IdPaese>IT</IdPaese>"
               "<IdCodice>09876543217</IdCodice></IdFiscaleIVA></IdentificativiFiscali>"
               "</CessionarioCommittente></FatturaElettronicaHeader><FatturaElettronicaBody>"
               "<DatiGenerali><TipoDocumento>%1</TipoDocumento><Divisa>EUR</Divisa><Data>2026-02-01"
               "</Data><Numero>%2</Numero>%3</DatiGenerali><DatiBeniServizi><Descrizione>Caffè"
               "</Descrizione><Importo>12.20</Importo><DatiIVA><Aliquota>22.00</Aliquota></DatiIVA>"
               "</DatiBeniServizi></FatturaElettronicaBody></ns3:FatturaElettronicaSemplificata>")
        .arg(type, number, rectified)
        .toUtf8();
}

QByteArray metadataXml(const QString& invoiceFile) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><ns2:FileMetadati xmlns:ns2="
                          "\"http://www.fatturapa.gov.it/sdi/messaggi/v1.0\" versione=\"1.0\">"
                          "<IdentificativoSdI>111</IdentificativoSdI><NomeFile>%1</NomeFile>"
                          "</ns2:FileMetadati>")
        .arg(invoiceFile)
        .toUtf8();
}

QByteArray signedEnvelope(const QByteArray& content) {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* certificate = X509_new();
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate), 0);
    X509_gmtime_adj(X509_getm_notAfter(certificate), 3600);
    X509_set_pubkey(certificate, key);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Mario Rossi"), -1, -1, 0);
    X509_set_issuer_name(certificate, name);
    X509_sign(certificate, key, EVP_sha256());
    BIO* data = BIO_new_mem_buf(content.constData(), int(content.size()));
    CMS_ContentInfo* cms = CMS_sign(certificate, key, nullptr, data, CMS_BINARY);
    BIO* out = BIO_new(BIO_s_mem());
    i2d_CMS_bio(out, cms);
    char* bytes = nullptr;
    const long size = BIO_get_mem_data(out, &bytes);
    QByteArray der(bytes, int(size));
    BIO_free(out);
    BIO_free(data);
    CMS_ContentInfo_free(cms);
    X509_free(certificate);
    EVP_PKEY_free(key);
    return der;
}

QByteArray zipOf(const QList<QPair<QString, QByteArray>>& members) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.zip"));
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, bytes] : members) {
        zip_source_t* source =
            zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    }
    zip_close(zip);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace samples
