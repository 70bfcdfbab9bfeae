#include "importing/einvoice_envelope.h"
#include "importing/einvoice_files.h"
#include "importing/einvoice_reader.h"
#include "support/einvoice_samples.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using einvoice::FileKind;

Q_DECLARE_METATYPE(einvoice::FileKind)

namespace {

samples::Invoice personInvoice() {
    return samples::Invoice();
}

QByteArray withPrefix(const QString& prefix) {
    samples::Invoice invoice;
    invoice.prefix = prefix;
    return samples::invoiceXml(invoice);
}

// The little-endian 32-bit field at `offset` of every record starting with `signature`.
void patchSize(QByteArray& zip, const QByteArray& signature, int offset, quint32 value) {
    for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 4)) {
        for (int i = 0; i < 4; ++i)
            zip[at + offset + i] = char((value >> (8 * i)) & 0xff);
    }
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct Visited {
    QStringList read;    // names of the files read
    QStringList skipped; // "name: reason"
    QStringList refused; // "name: reason"
};

Visited visit(const QString& path) {
    Visited visited;
    const Status status = einvoice::visitInvoiceFiles(path, [&](const einvoice::FoundFile& file) {
        if (file.reason.isEmpty())
            visited.read.append(file.name);
        else
            (file.refused ? visited.refused : visited.skipped)
                .append(file.name + u": " + file.reason);
        return true;
    });
    if (!status.ok())
        visited.refused.append(u"!" + status.error());
    return visited;
}

} // namespace

class EinvoiceReadingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsInvoiceXml_data();
    void readsInvoiceXml();
    void readsPartiesAndBodies();
    void unwrapsEnvelope_data();
    void unwrapsEnvelope();
    void visitsFolderAndArchive();
    void refusesHostileArchive_data();
    void refusesHostileArchive();
};

void EinvoiceReadingTest::readsInvoiceXml_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<FileKind>("kind");
    QTest::addColumn<QString>("reason"); // part of it
    QTest::addColumn<qint64>("base");
    QTest::addColumn<qint64>("other");

    QTest::newRow("prefix p") << withPrefix(QStringLiteral("p")) << FileKind::Invoice << QString()
                              << qint64(100000) << qint64(0);
    QTest::newRow("prefix ns2") << withPrefix(QStringLiteral("ns2")) << FileKind::Invoice
                                << QString() << qint64(100000) << qint64(0);
    QTest::newRow("no prefix") << withPrefix(QString()) << FileKind::Invoice << QString()
                               << qint64(100000) << qint64(0);
    {
        samples::Invoice invoice;
        samples::Body& body = invoice.bodies.front();
        body.lines = {{QStringLiteral("1000.00"), true},
                      {QStringLiteral("2.00"), false},
                      {QStringLiteral("50.12345678"), false}};
        body.funds = {{QStringLiteral("40.00"), true}, {QStringLiteral("20.80"), false}};
        QTest::newRow("lines and funds, with and without withholding")
            << samples::invoiceXml(invoice) << FileKind::Invoice << QString() << qint64(104000)
            << qint64(200 + 5012 + 2080);
    }
    QTest::newRow("simplified") << samples::simplifiedXml(QStringLiteral("TD07"),
                                                          QStringLiteral("5"), {})
                                << FileKind::Invoice << QString() << qint64(0) << qint64(0);
    QTest::newRow("metadata") << samples::metadataXml(QStringLiteral("IT01234567897_00001.xml"))
                              << FileKind::Skipped << QStringLiteral("metadati") << qint64(0)
                              << qint64(0);
    QTest::newRow("notice") << QByteArray("<ns2:RicevutaConsegna xmlns:ns2=\"http://www.fatturapa."
                                          "gov.it/sdi/messaggi/v1.0\"/>")
                            << FileKind::Skipped << QStringLiteral("notifica") << qint64(0)
                            << qint64(0);
    QTest::newRow("another document")
        << QByteArray("<Ordine><Numero>1</Numero></Ordine>") << FileKind::Refused
        << QStringLiteral("radice Ordine") << qint64(0) << qint64(0);
    QTest::newRow("unknown namespace")
        << QByteArray("<FatturaElettronica xmlns=\"urn:altro\"/>") << FileKind::Refused
        << QStringLiteral("spazio dei nomi") << qint64(0) << qint64(0);
    QTest::newRow("cut short") << withPrefix(QStringLiteral("p")).left(900) << FileKind::Refused
                               << QStringLiteral("danneggiato") << qint64(0) << qint64(0);
    QTest::newRow("empty") << QByteArray("  ") << FileKind::Refused << QStringLiteral("vuoto")
                           << qint64(0) << qint64(0);
    QTest::newRow("comma amount") << withPrefix(QStringLiteral("p"))
                                         .replace("<PrezzoTotale>1000.00", "<PrezzoTotale>1.000,00")
                                  << FileKind::Refused
                                  << QStringLiteral("«1.000,00» non valido in PrezzoTotale")
                                  << qint64(0) << qint64(0);
    QTest::newRow("bad date")
        << withPrefix(QStringLiteral("p")).replace("<Data>2026-03-15", "<Data>15/03/2026")
        << FileKind::Refused << QStringLiteral("data «15/03/2026»") << qint64(0) << qint64(0);
    QByteArray bomb =
        "<?xml version=\"1.0\"?><!DOCTYPE p:FatturaElettronica [<!ENTITY a0 \"aaaaaaaaaa\">";
    for (int i = 1; i < 10; ++i)
        bomb +=
            QStringLiteral("<!ENTITY a%1 \"&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;\">")
                .arg(i)
                .arg(i - 1)
                .toUtf8();
    bomb += "]>" + withPrefix(QStringLiteral("p")).mid(39).replace("Mario", "&a9;");
    QTest::newRow("entity bomb") << bomb << FileKind::Refused << QStringLiteral("DTD") << qint64(0)
                                 << qint64(0);
}

void EinvoiceReadingTest::readsInvoiceXml() {
    QFETCH(QByteArray, xml);
    QFETCH(FileKind, kind);
    QFETCH(QString, reason);
    QFETCH(qint64, base);
    QFETCH(qint64, other);
    const einvoice::ReadFile read = einvoice::readInvoiceXml(xml);
    QCOMPARE(read.kind, kind);
    QVERIFY2(read.reason.contains(reason), qPrintable(read.reason));
    if (kind != FileKind::Invoice)
        return;
    QCOMPARE(read.invoice.bodies.size(), 1);
    QCOMPARE(read.invoice.bodies.front().withheldBase.cents(), base);
    QCOMPARE(read.invoice.bodies.front().otherSums.cents(), other);
}

void EinvoiceReadingTest::readsPartiesAndBodies() {
    samples::Invoice invoice = personInvoice();
    samples::Body second;
    second.type = QStringLiteral("TD04");
    second.number = QStringLiteral("NC1");
    second.withholdings.append({QStringLiteral("RT04"), QStringLiteral("5.00"),
                                QStringLiteral("1.00"), QStringLiteral("ZO")});
    second.referredNumber = QStringLiteral("12/2026");
    second.referredDate = QStringLiteral("2026-03-15");
    invoice.bodies.append(second);
    const einvoice::ReadFile read = einvoice::readInvoiceXml(samples::invoiceXml(invoice));
    QCOMPARE(read.kind, FileKind::Invoice);
    const einvoice::Party& supplier = read.invoice.supplier;
    QCOMPARE(supplier.name, QStringLiteral("Rossi Mario"));
    QCOMPARE(supplier.taxCode, QStringLiteral("RSSMRA70A01H501S"));
    QCOMPARE(supplier.vatNumber, QStringLiteral("01234567897"));
    QCOMPARE(supplier.address, QStringLiteral("Via Roma 1"));
    QCOMPARE(supplier.postalCode + supplier.town + supplier.province,
             QStringLiteral("00100RomaRM"));
    QCOMPARE(read.invoice.buyer.name, QStringLiteral("STUDIO BETA SRL"));
    QCOMPARE(read.invoice.buyer.vatNumber, QStringLiteral("09876543217"));
    QCOMPARE(read.invoice.bodies.size(), 2);
    const einvoice::Body& first = read.invoice.bodies.front();
    QCOMPARE(first.number, QStringLiteral("12/2026"));
    QCOMPARE(first.date, QDate(2026, 3, 15));
    QCOMPARE(first.withholdings.size(), 1);
    QCOMPARE(first.withholdings.front().amount.cents(), 20000);
    QCOMPARE(first.withholdings.front().rate.cents(), 2000);
    QCOMPARE(first.withholdings.front().reason, QStringLiteral("A"));
    const einvoice::Body& credit = read.invoice.bodies.back();
    QCOMPARE(credit.documentType, QStringLiteral("TD04"));
    QCOMPARE(credit.withholdings.size(), 2);
    QCOMPARE(credit.withholdings.back().type, QStringLiteral("RT04"));
    QCOMPARE(credit.referredNumber, QStringLiteral("12/2026"));
    QCOMPARE(credit.referredDate, QDate(2026, 3, 15));
}

void EinvoiceReadingTest::unwrapsEnvelope_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("signedEnvelope");

    const QByteArray xml = withPrefix(QStringLiteral("p"));
    const QByteArray bom("\xEF\xBB\xBF");
    const QByteArray der = samples::signedEnvelope(xml);
    const QByteArray base64 = der.toBase64();
    QByteArray lines;
    for (qsizetype at = 0; at < base64.size(); at += 64)
        lines += base64.mid(at, 64) + "\r\n";
    QTest::newRow("plain") << xml << false;
    QTest::newRow("one byte-order mark") << bom + xml << false;
    QTest::newRow("two byte-order marks") << bom + bom + xml << false;
    QTest::newRow("DER") << der << true;
    QTest::newRow("DER of XML with two marks") << samples::signedEnvelope(bom + bom + xml) << true;
    QTest::newRow("base64 on one line") << der.toBase64() << true;
    QTest::newRow("base64 on many lines") << lines << true;
    QTest::newRow("base64 after a mark") << bom + lines << true;
    // Cut inside its signature: no longer ASN.1, the XML still whole inside.
    QTest::newRow("broken envelope") << der.left(der.size() - 40) << true;
    QTest::newRow("broken envelope in base64") << der.left(der.size() - 40).toBase64() << true;
}

void EinvoiceReadingTest::unwrapsEnvelope() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, signedEnvelope);
    const Result<einvoice::Unwrapped> unwrapped = einvoice::unwrapInvoice(bytes);
    QVERIFY2(unwrapped.ok(), qPrintable(unwrapped.error()));
    QCOMPARE(unwrapped.value.signedEnvelope, signedEnvelope);
    QCOMPARE(unwrapped.value.xml.trimmed(), withPrefix(QStringLiteral("p")).trimmed());
    QCOMPARE(einvoice::readInvoiceXml(unwrapped.value.xml).kind, FileKind::Invoice);

    const Result<einvoice::Unwrapped> garbage = einvoice::unwrapInvoice(QByteArray(300, '\x30'));
    QVERIFY(!garbage.ok());
    QVERIFY(garbage.error().contains(QStringLiteral("busta firmata illeggibile")));
}

void EinvoiceReadingTest::visitsFolderAndArchive() {
    QTemporaryDir dir;
    const QByteArray xml = withPrefix(QStringLiteral("p"));
    const QString download = dir.filePath(QStringLiteral("download"));
    QVERIFY(writeFile(download + QStringLiteral("/IT01234567897_00001.xml"), xml));
    QVERIFY(writeFile(download + QStringLiteral("/IT01234567897_00001_MT_001.xml"),
                      samples::metadataXml(QStringLiteral("IT01234567897_00001.xml"))));
    QVERIFY(writeFile(download + QStringLiteral("/2026/03/IT01234567897_00002.xml.p7m"),
                      samples::signedEnvelope(xml)));
    QVERIFY(writeFile(download + QStringLiteral("/leggimi.pdf"), "%PDF-1.4"));
    const QByteArray zip = samples::zipOf(
        {{QStringLiteral("IT01234567897_00003.xml"), xml},
         {QStringLiteral("IT01234567897_00003_metaDato.xml"), samples::metadataXml({})},
         {QStringLiteral("sub/IT01234567897_00004.xml.p7m"),
          samples::signedEnvelope(xml).toBase64()},
         {QStringLiteral("sub/IT01234567897_00004_RC_001.xml"), "<RicevutaConsegna/>"},
         {QStringLiteral("interno.zip"), "PK"}});
    QVERIFY(writeFile(download + QStringLiteral("/massivo.zip"), zip));

    const Visited visited = visit(download);
    QCOMPARE(visited.read,
             QStringList({QStringLiteral("2026/03/IT01234567897_00002.xml.p7m"),
                          QStringLiteral("IT01234567897_00001.xml"),
                          QStringLiteral("massivo.zip/IT01234567897_00003.xml"),
                          QStringLiteral("massivo.zip/sub/IT01234567897_00004.xml.p7m")}));
    QCOMPARE(visited.skipped.size(), 5);
    QVERIFY(visited.skipped.filter(QStringLiteral("metadati")).size() == 2);
    QVERIFY(visited.skipped.filter(QStringLiteral("_RC_001.xml: notifica")).size() == 1);
    QVERIFY(visited.skipped.filter(QStringLiteral("interno.zip: archivio zip dentro")).size() == 1);
    QVERIFY(visited.skipped.filter(QStringLiteral("leggimi.pdf: non è una fattura")).size() == 1);
    QVERIFY(visited.refused.isEmpty());

    // A damaged archive in the folder is listed; the zip itself, given alone, fails.
    QVERIFY(writeFile(download + QStringLiteral("/rotto.zip"), "non zip"));
    QCOMPARE(
        visit(download).refused,
        QStringList(QStringLiteral("rotto.zip: il file non è un archivio zip o è danneggiato")));
    QCOMPARE(visit(download + QStringLiteral("/rotto.zip")).refused,
             QStringList(QStringLiteral("!il file non è un archivio zip o è danneggiato")));
    QVERIFY(!visit(dir.filePath(QStringLiteral("manca"))).refused.isEmpty());
}

void EinvoiceReadingTest::refusesHostileArchive_data() {
    QTest::addColumn<QByteArray>("zip");
    QTest::addColumn<QString>("reason");

    const QByteArray xml = withPrefix(QStringLiteral("p"));
    const QByteArray zeros(einvoice::kFileLimit + 1, '\0');
    QTest::newRow("bomb declared") << samples::zipOf({{QStringLiteral("a.xml"), zeros}})
                                   << QStringLiteral("dichiara 16777217 byte");
    QByteArray lying = samples::zipOf({{QStringLiteral("a.xml"), zeros}});
    patchSize(lying, "PK\x01\x02", 24, 1000);
    patchSize(lying, "PK\x03\x04", 22, 1000);
    QTest::newRow("bomb declaring little") << lying << QString();
    QByteArray huge = samples::zipOf({{QStringLiteral("a.xml"), xml}});
    patchSize(huge, "PK\x01\x02", 24, 0x80000000u);
    patchSize(huge, "PK\x03\x04", 22, 0x80000000u);
    QTest::newRow("member declaring 2 GB") << huge << QStringLiteral("dichiara 2147483648 byte");
    QTest::newRow("parent path") << samples::zipOf({{QStringLiteral("../../x.xml"), xml}})
                                 << QStringLiteral("percorso non sicuro");
    QTest::newRow("absolute path") << samples::zipOf({{QStringLiteral("/tmp/x.xml"), xml}})
                                   << QStringLiteral("percorso non sicuro");
}

void EinvoiceReadingTest::refusesHostileArchive() {
    QFETCH(QByteArray, zip);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.zip"));
    QVERIFY(writeFile(path, zip));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const Visited visited = visit(path);
    QVERIFY(visited.read.isEmpty());
    QCOMPARE(visited.refused.size(), 1);
    QVERIFY2(visited.refused.front().contains(reason), qPrintable(visited.refused.front()));
    // Nothing written anywhere: the folder holds the archive only.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(!QFile::exists(QStringLiteral("/tmp/x.xml")));
}

QTEST_GUILESS_MAIN(EinvoiceReadingTest)
#include "tst_einvoice_reading.moc"
