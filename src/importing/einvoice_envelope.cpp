#include "importing/einvoice_envelope.h"

#include <QRegularExpression>
#include <memory>
#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>

namespace einvoice {
namespace {

const QByteArray kBom("\xEF\xBB\xBF");

QByteArray withoutBoms(QByteArray bytes) {
    while (bytes.startsWith(kBom))
        bytes.remove(0, kBom.size());
    return bytes;
}

bool startsAsXml(const QByteArray& bytes) {
    return bytes.trimmed().startsWith('<');
}

// The content embedded in a CMS SignedData in DER; no value when `der` is not one.
std::optional<QByteArray> cmsContent(const QByteArray& der) {
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(der.constData(), int(der.size())),
                                                  BIO_free);
    std::unique_ptr<CMS_ContentInfo, decltype(&CMS_ContentInfo_free)> cms(
        bio ? d2i_CMS_bio(bio.get(), nullptr) : nullptr, CMS_ContentInfo_free);
    std::optional<QByteArray> content;
    if (cms) {
        ASN1_OCTET_STRING** octets = CMS_get0_content(cms.get());
        if (octets && *octets)
            content = QByteArray(reinterpret_cast<const char*>(ASN1_STRING_get0_data(*octets)),
                                 ASN1_STRING_length(*octets));
    }
    ERR_clear_error();
    return content;
}

// Base64 text over one or many lines; no value for anything else.
std::optional<QByteArray> base64Of(const QByteArray& text) {
    QByteArray packed;
    packed.reserve(text.size());
    for (const char c : text) {
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t')
            packed.append(c);
    }
    QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(packed, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return std::nullopt;
    return std::move(decoded.decoded);
}

// The XML lying whole inside bytes that are not a readable envelope: from its declaration
// (or the root's opening) to the root's closing tag, with any prefix.
std::optional<QByteArray> embeddedXml(const QByteArray& bytes) {
    static const QRegularExpression kClose(
        QStringLiteral("</([A-Za-z_][\\w.-]*:)?"
                       "FatturaElettronica(Semplificata)?\\s*>"));
    qsizetype start = bytes.indexOf("<?xml");
    if (start < 0) {
        static const QRegularExpression kOpen(
            QStringLiteral("<([A-Za-z_][\\w.-]*:)?FatturaElettronica(Semplificata)?[\\s>]"));
        start = QString::fromLatin1(bytes).indexOf(kOpen);
    }
    if (start < 0)
        return std::nullopt;
    const QString text = QString::fromLatin1(bytes);
    QRegularExpressionMatch last;
    for (QRegularExpressionMatchIterator it = kClose.globalMatch(text, start); it.hasNext();)
        last = it.next();
    if (!last.hasMatch())
        return std::nullopt;
    return bytes.mid(start, last.capturedEnd() - start);
}

} // namespace

Result<Unwrapped> unwrapInvoice(const QByteArray& bytes) {
    Result<Unwrapped> result;
    const QByteArray plain = withoutBoms(bytes);
    if (startsAsXml(plain)) {
        result.value.xml = plain;
        return result;
    }
    result.value.signedEnvelope = true;
    std::optional<QByteArray> content = cmsContent(plain);
    if (!content) {
        if (const std::optional<QByteArray> decoded = base64Of(plain))
            content = cmsContent(withoutBoms(*decoded));
    }
    if (!content)
        content = embeddedXml(plain);
    if (!content) {
        if (const std::optional<QByteArray> decoded = base64Of(plain))
            content = embeddedXml(*decoded);
    }
    if (!content) {
        result.status = Status::failure(QStringLiteral(
            "busta firmata illeggibile: non è CMS/PKCS#7 e non contiene l'XML di una fattura"));
        return result;
    }
    result.value.xml = withoutBoms(*content);
    return result;
}

} // namespace einvoice
