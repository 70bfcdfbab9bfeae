#pragma once

#include "base/status.h"

#include <QByteArray>

// The XML of an invoice file: the file itself, or the content of its signed envelope
// (.p7m, CMS in DER or in base64 over one or many lines). The signature was checked by
// the exchange system and is not checked again.
namespace einvoice {

struct Unwrapped {
    QByteArray xml;
    bool signedEnvelope = false; // taken out of a .p7m
};

// Byte-order marks at the start, any number of them, are dropped. An envelope that is not
// valid ASN.1 still gives the XML found whole inside it.
Result<Unwrapped> unwrapInvoice(const QByteArray& bytes);

} // namespace einvoice
