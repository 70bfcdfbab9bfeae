#include "printing/pdf_export.h"
#include "printing/pdf_file.h"
#include "printing/report_data.h"
#include "printing/report_document.h"
#include "printing/truetype_subset.h"

#include <QFile>
#include <QPainterPath>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <zlib.h>

using namespace report;

namespace {

const QDate kDate(2024, 6, 30);
constexpr int kLeft = 600;
constexpr int kNameWidth = 5000;
constexpr int kAmountLeft = 6000;
constexpr int kAmountWidth = 2000;

ReportLayout layout() {
    ReportLayout layout;
    layout.caption = QStringLiteral("Città e importi");
    layout.page.marginLeft = kLeft;
    layout.page.marginTop = 600;
    layout.pageHeader.height = 600;
    layout.pageHeader.items = {label(QStringLiteral("Soggetto"), 0, 0, 3000, {{}, 0, true, true}),
                               hline(0, 400, 9000)};
    layout.detail.height = 400;
    layout.detail.items = {field(QStringLiteral("nome"), 0, 0, kNameWidth),
                           field(QStringLiteral("importo"), kAmountLeft - kLeft, 0, kAmountWidth,
                                 {}, Qt::AlignRight, Format::Money)};
    layout.pageFooter.height = 400;
    layout.pageFooter.items = {label(QStringLiteral("Pagina %p di %P"), 0, 0, 3000)};
    return layout;
}

std::shared_ptr<ReportData> rows(const QStringList& names) {
    auto data = std::make_shared<ReportData>(QStringList{"nome", "importo"});
    for (qsizetype i = 0; i < names.size(); ++i)
        data->addRow({names.at(i), qint64(123456 * (i + 1))});
    return data;
}

QStringList numbered(int count) {
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QStringLiteral("Soggetto %1").arg(i + 1));
    return names;
}

QByteArray written(const QStringList& names) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("prova.pdf"));
    ReportDocument document(layout(), rows(names), kDate);
    const Status status = writePdf(document, path);
    if (!status.ok())
        qWarning() << status.error();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray inflated(const QByteArray& data) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    QByteArray out;
    char buffer[16384];
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END ? out : QByteArray();
}

// A PDF tool's standard output (poppler's, qpdf); its error output must be empty.
QString tool(const QString& program, const QStringList& arguments, const QByteArray& pdf) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("in.pdf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    QProcess run;
    QStringList all = QStringList(arguments) << file.fileName();
    if (program == QLatin1String("pdftotext"))
        all << QStringLiteral("-"); // to standard output
    run.start(program, all);
    if (!run.waitForFinished(60000) || run.exitCode() != 0)
        return QStringLiteral("failed: ") +
               QString::fromUtf8(run.readAllStandardError() + run.readAllStandardOutput());
    const QByteArray errors = run.readAllStandardError();
    if (!errors.isEmpty())
        return QStringLiteral("errors: ") + QString::fromUtf8(errors);
    return QString::fromUtf8(run.readAllStandardOutput());
}

// The file read as a reader does: the table at `startxref` points at every object, each
// stream is as long as it says, and the page tree counts the pages.
struct Structure {
    QString fault; // empty when sound
    int objects = 0;
    int pages = 0;
    QList<QByteArray> streams; // inflated where compressed
    QList<QByteArray> fontFiles;
    QList<int> fontFileLengths; // the /Length1 each font file declares
};

Structure parse(const QByteArray& pdf) {
    Structure s;
    if (!pdf.startsWith("%PDF-1.") || !pdf.endsWith("%%EOF\n")) {
        s.fault = QStringLiteral("header or end");
        return s;
    }
    const qsizetype start = pdf.lastIndexOf("startxref\n");
    bool ok = false;
    const qint64 xref = pdf.mid(start + 10).split('\n').value(0).toLongLong(&ok);
    if (start < 0 || !ok || pdf.mid(xref, 7) != "xref\n0 ") {
        s.fault = QStringLiteral("startxref");
        return s;
    }
    const QList<QByteArray> head = pdf.mid(xref + 5, 30).split('\n').value(0).split(' ');
    const int size = head.value(1).toInt();
    const qsizetype entries = pdf.indexOf('\n', xref + 5) + 1;
    if (pdf.mid(entries, 20) != "0000000000 65535 f \n") {
        s.fault = QStringLiteral("free entry");
        return s;
    }
    for (int i = 1; i < size; ++i) {
        const QByteArray entry = pdf.mid(entries + 20 * i, 20);
        const qint64 offset = entry.left(10).toLongLong();
        if (!entry.endsWith(" 00000 n \n") ||
            !pdf.mid(offset).startsWith(QByteArray(QByteArray::number(i) + " 0 obj\n"))) {
            s.fault = QStringLiteral("object %1 not where the table says").arg(i);
            return s;
        }
    }
    s.objects = size - 1;
    if (pdf.count(" 0 obj\n") != s.objects ||
        !pdf.mid(entries + 20 * size)
             .startsWith(QByteArray("trailer\n<</Size " + QByteArray::number(size)))) {
        s.fault = QStringLiteral("object count");
        return s;
    }
    static const QRegularExpression streamHead(
        QStringLiteral("<<([^\n]*) /Length (\\d+)( /Filter /FlateDecode)?>>\nstream\n"));
    for (auto match = streamHead.globalMatch(QString::fromLatin1(pdf)); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        const qsizetype begin = m.capturedEnd();
        const qsizetype length = m.captured(2).toLongLong();
        if (pdf.mid(begin + length, 11) != "\nendstream\n") {
            s.fault = QStringLiteral("stream length at %1").arg(begin);
            return s;
        }
        const QByteArray data = pdf.mid(begin, length);
        const QByteArray stream = m.captured(3).isEmpty() ? data : inflated(data);
        if (stream.isEmpty()) {
            s.fault = QStringLiteral("stream does not inflate at %1").arg(begin);
            return s;
        }
        s.streams.append(stream);
        if (m.captured(1).contains(QStringLiteral("/Length1"))) {
            s.fontFiles.append(stream);
            s.fontFileLengths.append(m.captured(1).section(QLatin1Char(' '), -1).toInt());
        }
    }
    static const QRegularExpression count(
        QStringLiteral("/Type /Pages /Kids \\[[^\\]]*\\] /Count (\\d+)"));
    s.pages = count.match(QString::fromLatin1(pdf)).captured(1).toInt();
    if (pdf.count("/Type /Page ") != s.pages)
        s.fault = QStringLiteral("page objects and /Count");
    return s;
}

// The face the layouts name, in font units.
QRawFont liberationSans() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(1000);
    return QRawFont::fromFont(font);
}

QStringList nonEmptyLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    return lines;
}

} // namespace

class PdfExportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numbersAsPdfWritesThem_data();
    void numbersAsPdfWritesThem();
    void structureParses_data();
    void structureParses();
    void textReadsBack_data();
    void textReadsBack();
    void textWhereLaidOut();
    void fewPagesMakeASmallFile();
    void subsetDrawsTheFaceGlyphs_data();
    void subsetDrawsTheFaceGlyphs();
    void faceWithoutItsTablesRefused_data();
    void faceWithoutItsTablesRefused();
    void sameDocumentSameBytes();
    void stoppedAtTheLastPageLeavesNoFile();
};

void PdfExportTest::numbersAsPdfWritesThem_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("zero") << 0.0 << QByteArray("0");
    QTest::newRow("whole") << 595.0 << QByteArray("595");
    QTest::newRow("negative whole") << -12.0 << QByteArray("-12");
    QTest::newRow("half") << 0.5 << QByteArray("0.5");
    QTest::newRow("negative fraction") << -0.25 << QByteArray("-0.25");
    QTest::newRow("trailing zeros dropped") << 12.1 << QByteArray("12.1");
    QTest::newRow("three places") << 549.375 << QByteArray("549.375");
    QTest::newRow("rounded to three places") << 1234.5678 << QByteArray("1234.568");
    QTest::newRow("leading zero in the fraction") << 7.05 << QByteArray("7.05");
    QTest::newRow("rounds up to whole") << 9.9996 << QByteArray("10");
    QTest::newRow("tiny negative is zero") << -0.0004 << QByteArray("0");
    QTest::newRow("large") << 16838000.5 << QByteArray("16838000.5");
}

// Numbers in page content: no exponent, no trailing zeros, at most three decimals.
void PdfExportTest::numbersAsPdfWritesThem() {
    QFETCH(double, value);
    QFETCH(QByteArray, written);
    QByteArray out("x ");
    appendPdfNumber(out, value);
    QCOMPARE(out, "x " + written);
}

void PdfExportTest::structureParses_data() {
    QTest::addColumn<int>("rowCount");
    // 25 rows a page; 40 pages keep the workers busy past the pages held ahead.
    for (const int rows : {0, 1, 25, 26, 1000})
        QTest::addRow("%d rows", rows) << rows;
}

void PdfExportTest::structureParses() {
    QFETCH(int, rowCount);
    const int pageCount = ReportDocument(layout(), rows(numbered(rowCount)), kDate).pageCount();
    QCOMPARE(pageCount, std::max(1, (rowCount + 24) / 25));
    const Structure s = parse(written(numbered(rowCount)));
    QVERIFY2(s.fault.isEmpty(), qPrintable(s.fault));
    QCOMPARE(s.pages, pageCount);
    // Catalog, pages, resources, information; content and page object per page; six
    // objects for each of the two faces, regular and bold.
    QCOMPARE(s.objects, 4 + 2 * pageCount + 6 * 2);
    QCOMPARE(s.fontFiles.size(), 2);
    for (qsizetype i = 0; i < s.fontFiles.size(); ++i) {
        const QByteArray& font = s.fontFiles.at(i);
        QCOMPARE(font.size(), s.fontFileLengths.at(i));
        QVERIFY(font.startsWith(QByteArray("\0\1\0\0", 4)));
        QVERIFY(font.contains("glyf") && font.contains("hmtx") && font.contains("loca"));
    }
}

void PdfExportTest::textReadsBack_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QStringLiteral("Rossi Mario");
    QTest::newRow("accents") << QStringLiteral("àèéìòù ÀÈÉÌÒÙ");
    QTest::newRow("apostrophes") << QStringLiteral("Sant'Agata de' Goti, L’Aquila");
    QTest::newRow("euro") << QStringLiteral("€ 1.234,56");
    QTest::newRow("pdf syntax") << QStringLiteral("(parentesi) \\barra <minore> %cento");
    QTest::newRow("quotes") << QStringLiteral("«così» “detto”");
    // Their glyph ids hold the bytes a string escapes: ), \, the carriage return, (.
    QTest::newRow("escaped glyph ids") << QStringLiteral("Fy* E");
}

// What a reader copies out of the file is the text of the runs, character for character,
// drawn in fonts embedded as subsets of their faces that the readers parse.
void PdfExportTest::textReadsBack() {
    QFETCH(QString, text);
    const QByteArray pdf = written({text, QStringLiteral("Bianchi")});
    const QString extracted = tool(QStringLiteral("pdftotext"), {QStringLiteral("-raw")}, pdf);
    QCOMPARE(nonEmptyLines(extracted),
             (QStringList{QStringLiteral("Soggetto"), text + QStringLiteral(" 1.234,56"),
                          QStringLiteral("Bianchi 2.469,12"), QStringLiteral("Pagina 1 di 1")}));
    const QString checked = tool(QStringLiteral("qpdf"), {QStringLiteral("--check")}, pdf);
    QVERIFY2(checked.contains(QLatin1String("No syntax or stream encoding errors")),
             qPrintable(checked));
    const QString fonts = tool(QStringLiteral("pdffonts"), {}, pdf);
    const QStringList lines = nonEmptyLines(fonts).mid(2); // past the heading and its rule
    QCOMPARE(lines.size(), 2);
    static const QRegularExpression subsetName(QStringLiteral("^[A-Z]{6}\\+LiberationSans-"));
    for (const QString& line : lines) {
        // name, type (two words), encoding, embedded, subset, to-Unicode map, object
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(fields.size(), 9);
        QVERIFY2(subsetName.match(fields.at(0)).hasMatch(), qPrintable(line));
        QCOMPARE(fields.mid(1, 6),
                 (QStringList{"CID", "TrueType", "Identity-H", "yes", "yes", "yes"}));
    }
}

// Each word starts where its run's box starts, or, aligned right, ends where it ends.
void PdfExportTest::textWhereLaidOut() {
    const QByteArray pdf = written(numbered(3));
    const QString boxes = tool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox")}, pdf);
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\" yMax=\"[\\d.]+\">([^<]*)<"));
    int names = 0;
    int amounts = 0;
    for (auto match = word.globalMatch(boxes); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        const double left = m.captured(1).toDouble();
        const double right = m.captured(2).toDouble();
        if (m.captured(3) == QLatin1String("Soggetto")) {
            QVERIFY2(std::abs(left - kLeft / 20.0) < 0.05, qPrintable(m.captured(0)));
            ++names;
        }
        if (m.captured(3).contains(QLatin1Char(','))) {
            QVERIFY2(std::abs(right - (kAmountLeft + kAmountWidth) / 20.0) < 0.05,
                     qPrintable(m.captured(0)));
            ++amounts;
        }
    }
    QCOMPARE(names, 4); // the header and three rows
    QCOMPARE(amounts, 3);
}

// Two pages in two faces: small enough to send by mail.
void PdfExportTest::fewPagesMakeASmallFile() {
    const QByteArray pdf = written(numbered(40));
    QCOMPARE(parse(pdf).pages, 2);
    QVERIFY2(pdf.size() < 20000, QByteArray::number(pdf.size()).constData());
}

void PdfExportTest::subsetDrawsTheFaceGlyphs_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("components"); // glyphs kept only as parts of the text's glyphs
    QTest::newRow("only ASCII") << QStringLiteral("Rossi Mario, via Roma 1") << 0;
    QTest::newRow("accented capitals") << QStringLiteral("ÀÈÉÌÒÙ") << 7;
    QTest::newRow("accented capitals and their letters") << QStringLiteral("ÀÈÉAE") << 2;
    QTest::newRow("euro") << QStringLiteral("€ 1.234,56") << 0;
}

// Each glyph of the text has, in the subset, the outline it has in the face, composites
// (accented capitals) drawn from their renumbered parts; glyph 0 and those parts are kept.
void PdfExportTest::subsetDrawsTheFaceGlyphs() {
    QFETCH(QString, text);
    QFETCH(int, components);
    const QRawFont face = liberationSans();
    QCOMPARE(face.familyName(), QStringLiteral("Liberation Sans"));
    const QList<quint32> glyphs = face.glyphIndexesForString(text);
    const TrueTypeSubset subset =
        subsetTrueType([&face](const char* tag) { return face.fontTable(tag); }, glyphs);
    QCOMPARE(int(subset.fault), int(SubsetFault::None));
    static const QRegularExpression sixCapitals(QStringLiteral("^[A-Z]{6}$"));
    QVERIFY2(sixCapitals.match(QString::fromLatin1(subset.tag)).hasMatch(), subset.tag.constData());
    const QRawFont part(subset.file, 1000);
    QVERIFY(part.isValid());
    const QSet<quint32> distinct(glyphs.cbegin(), glyphs.cend());
    QCOMPARE(int(fontWord(part.fontTable("maxp"), 4)), int(1 + distinct.size()) + components);
    for (const quint32 glyph : glyphs) {
        const quint16 kept = fontWord(subset.newIds, int(2 * glyph));
        QVERIFY(kept > 0);
        QCOMPARE(part.pathForGlyph(kept), face.pathForGlyph(glyph));
    }
}

void PdfExportTest::faceWithoutItsTablesRefused_data() {
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<int>("kept"); // bytes of it the face gives; 0: none
    QTest::addColumn<int>("fault");
    QTest::newRow("CFF outlines, no glyf")
        << QByteArray("glyf") << 0 << int(SubsetFault::NoOutlines);
    QTest::newRow("glyf shorter than loca says")
        << QByteArray("glyf") << 1000 << int(SubsetFault::Damaged);
    QTest::newRow("no loca") << QByteArray("loca") << 0 << int(SubsetFault::Damaged);
    QTest::newRow("hmtx short") << QByteArray("hmtx") << 8 << int(SubsetFault::Damaged);
    QTest::newRow("no maxp") << QByteArray("maxp") << 0 << int(SubsetFault::Damaged);
}

// A face that cannot give TrueType outlines is refused, with its reason, rather than
// embedded without them.
void PdfExportTest::faceWithoutItsTablesRefused() {
    QFETCH(QByteArray, table);
    QFETCH(int, kept);
    QFETCH(int, fault);
    const QRawFont face = liberationSans();
    const auto tables = [&](const char* tag) {
        return table == tag ? face.fontTable(tag).left(kept) : face.fontTable(tag);
    };
    const TrueTypeSubset subset =
        subsetTrueType(tables, face.glyphIndexesForString(QStringLiteral("Rossi")));
    QCOMPARE(int(subset.fault), fault);
    QVERIFY(subset.file.isEmpty());
    QVERIFY(!describe(subset.fault).isEmpty());
}

// Pages are encoded on several threads and still written in order: one document, one file.
void PdfExportTest::sameDocumentSameBytes() {
    const QByteArray first = written(numbered(2000));
    QVERIFY(first.size() > 50000);
    for (int run = 0; run < 3; ++run)
        QCOMPARE(written(numbered(2000)), first);
    QVERIFY(written(numbered(1999)) != first);
}

// Stopped as the last page is laid out, the pages before it written.
void PdfExportTest::stoppedAtTheLastPageLeavesNoFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("prova.pdf"));
    ReportDocument document(layout(), rows(numbered(500)), kDate);
    int calls = 0; // one after each page laid out, more while waiting
    const Status status =
        writePdf(document, path, [&calls](int, int total) { return ++calls < total; });
    QCOMPARE(status.kind(), ErrorKind::Stopped);
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

QTEST_MAIN(PdfExportTest)
#include "tst_pdf_export.moc"
