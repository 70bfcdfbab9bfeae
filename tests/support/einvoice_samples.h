#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Electronic invoices written for the tests from the format's published structure, and
// the envelopes and archives they arrive in.
namespace samples {

struct Line {
    QString total;        // PrezzoTotale, "1000.00"
    bool withheld = true; // Ritenuta=SI
};

struct Fund {
    QString contribution; // ImportoContributoCassa
    bool withheld = false;
};

struct Withholding {
    QString type = QStringLiteral("RT01");
    QString amount = QStringLiteral("200.00");
    QString rate = QStringLiteral("20.00");
    QString reason = QStringLiteral("A");
};

struct Body {
    QString type = QStringLiteral("TD06");
    QString number = QStringLiteral("12/2026");
    QString date = QStringLiteral("2026-03-15");
    QList<Withholding> withholdings{Withholding()};
    QList<Line> lines{Line{QStringLiteral("1000.00"), true}};
    QList<Fund> funds;
    QString referredNumber; // a credit note's invoice
    QString referredDate;
};

struct Party {
    QString vatNumber = QStringLiteral("01234567897");
    QString taxCode = QStringLiteral("RSSMRA70A01H501S");
    QString name; // Denominazione; empty: the person below
    QString firstName = QStringLiteral("Mario");
    QString lastName = QStringLiteral("Rossi");
    QString address = QStringLiteral("Via Roma");
    QString houseNumber = QStringLiteral("1");
    QString postalCode = QStringLiteral("00100");
    QString town = QStringLiteral("Roma");
    QString province = QStringLiteral("RM");
};

struct Invoice {
    QString prefix = QStringLiteral("p"); // of the root; empty: the default namespace
    QString version = QStringLiteral("FPR12");
    Party supplier;
    Party buyer = {QStringLiteral("09876543217"),
                   QString(),
                   QStringLiteral("STUDIO BETA SRL"),
                   {},
                   {},
                   QStringLiteral("Corso Italia"),
                   QStringLiteral("5"),
                   QStringLiteral("20100"),
                   QStringLiteral("Milano"),
                   QStringLiteral("MI")};
    QList<Body> bodies{Body()};
};

// The invoice as the supplier's program writes it (ordinary format).
QByteArray invoiceXml(const Invoice& invoice);
// A simplified invoice (FSM10) of `supplier` to `buyer`, type TD07 or TD08.
QByteArray simplifiedXml(const QString& type, const QString& number, const QString& referred);
// The metadata file the exchange system delivers beside an invoice.
QByteArray metadataXml(const QString& invoiceFile);

// A CMS SignedData in DER embedding `content` (signed by a key made for the test).
QByteArray signedEnvelope(const QByteArray& content);

// A zip archive holding `members` (name, bytes), compressed.
QByteArray zipOf(const QList<QPair<QString, QByteArray>>& members);

} // namespace samples
