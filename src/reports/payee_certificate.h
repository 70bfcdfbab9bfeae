#pragma once

#include "base/status.h"

#include <QList>
#include <QString>

// What a user (the withholding agent) paid to each payee in a year and withheld, read
// from the ledger by payment date whichever ledger year holds the record.

struct CertificateParty {
    QString name;
    QString address;
    QString postalCode;
    QString town;
    QString province;
    QString taxCode;   // codice fiscale
    QString vatNumber; // partita IVA
};

struct CertificateInvoice {
    QString number;
    QString date;           // ISO
    QString paymentDate;    // ISO
    QString remittanceDate; // ISO, empty when the tax has not been remitted
    qint64 taxable = 0;
    qint64 other = 0;
    qint64 withheld = 0;
    qint64 remitted = 0; // versato less interest and penalty
};

// Cents; every figure is an exact integer sum.
struct CertificateTotals {
    qint64 gross = 0; // taxable + other
    qint64 other = 0;
    qint64 taxable = 0;
    qint64 withheld = 0;
    qint64 remitted = 0;
    qint64 difference() const { return withheld - remitted; }
    void add(const CertificateInvoice& invoice);
    void add(const CertificateTotals& totals);
};

struct PayeeCertificate {
    qint64 subjectId = 0; // the subject's key; the records' when it is gone from the registry
    CertificateParty payee;
    QString causale;
    QString otherSumsCode;
    CertificateTotals totals;
    QList<CertificateInvoice> invoices;
    int unremitted = 0; // invoices paid whose tax has no remittance date
};

struct CertificateYear {
    CertificateParty agent;
    QString year;
    QList<PayeeCertificate> payees; // in name order
    CertificateTotals totals;
};

// The payees of user `userId` paid in `year`; `subjectPattern`, when not empty, keeps the
// payees whose name matches it as a LIKE pattern. A failed read gives the reason.
Result<CertificateYear> readCertificateYear(const QString& userId, const QString& year,
                                            const QString& subjectPattern = {});
