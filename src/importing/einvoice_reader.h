#pragma once

#include "importing/einvoice.h"

#include <QByteArray>
#include <QString>

// The reading of one file's XML into an invoice, namespace-aware (any prefix on the
// root) with Qt's stream reader.
namespace einvoice {

enum class FileKind {
    Invoice, // ordinary or simplified
    Skipped, // metadata or an exchange-system notice: not an invoice, nothing wrong
    Refused, // not an invoice, damaged or hostile: listed with the reason
};

struct ReadFile {
    FileKind kind = FileKind::Refused;
    QString reason; // Italian; empty for an invoice
    Invoice invoice;
};

// The invoice in `xml`. A document type declaration is refused outright: an invoice has
// none, and its entities are how an XML bomb is built.
ReadFile readInvoiceXml(const QByteArray& xml);

// An amount of the format ("1234.50", "-3.00", "12.34567800"): a point before the
// decimals, no grouping; digits beyond the cents round half away from zero. No value
// for anything else.
std::optional<Amount> amountOfXml(QStringView text);

} // namespace einvoice
