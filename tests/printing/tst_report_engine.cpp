#include "printing/pdf_export.h"
#include "printing/report_document.h"
#include "printing/report_format.h"
#include "printing/report_preview.h"
#include "printing/report_renderer.h"
#include "shell/scripted_message_boxes.h"
#include "values/stored_money.h"

#include <QAction>
#include <QElapsedTimer>
#include <QImage>
#include <QPrinter>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace report;
using money::formatCents;

Q_DECLARE_METATYPE(QList<int>)

namespace {

// A layout with round numbers: on a landscape A4 page (11906 twips high) without
// margins the page footer starts at 11500, so the first page holds 10 details after
// the report and page headers and every further page 11.
ReportLayout testLayout() {
    ReportLayout layout;
    layout.caption = QStringLiteral("Prova");
    layout.page.landscape = true;
    layout.page.marginLeft = 100;
    layout.reportHeader.height = 1000;
    layout.reportHeader.items = {label(QStringLiteral("TESTATA %d"), 0, 0, 3000)};
    layout.pageHeader.height = 500;
    layout.pageHeader.items = {label(QStringLiteral("INTESTAZIONE"), 0, 0, 3000),
                               hline(0, 400, 15000)};
    layout.detail.height = 1000;
    layout.detail.items = {
        field(QStringLiteral("nome"), 0, 0, 3000),
        named(field(QStringLiteral("importo"), 3000, 0, 1500, {}, Qt::AlignRight, Format::Money),
              QStringLiteral("Importo")),
        field(QStringLiteral("nome"), 0, 700, 3000), // second line of the same band
    };
    layout.pageFooter.height = 406;
    layout.pageFooter.items = {label(QStringLiteral("pag. %p di %P"), 0, 0, 3000)};
    layout.reportFooter.height = 1000;
    layout.reportFooter.items = {
        label(QStringLiteral("FINE"), 0, 0, 1000),
        count(1000, 0, 1000),
        sum(QStringLiteral("importo"), 3000, 0, 1500),
    };
    return layout;
}

ReportData rows(int n) {
    ReportData data({QStringLiteral("nome"), QStringLiteral("importo")});
    for (int i = 0; i < n; ++i)
        data.addRow({QStringLiteral("R%1").arg(i + 1, 3, 10, QLatin1Char('0')), qint64(100 * i)});
    return data;
}

RenderOptions fixedDate() {
    RenderOptions options;
    options.printDate = QDate(2024, 6, 30);
    return options;
}

// The pages of `layout` over `data`, laid out as the preview and the PDF lay them out.
std::shared_ptr<ReportDocument> document(const ReportLayout& layout, const ReportData& data) {
    return std::make_shared<ReportDocument>(layout, std::make_shared<ReportData>(data),
                                            fixedDate().printDate);
}

QStringList textsAt(const RenderedPage& page, int left) {
    QStringList texts;
    for (const TextRun& t : page.texts) {
        if (t.box.left() == left)
            texts.append(t.text);
    }
    return texts;
}

const TextRun* find(const RenderedPage& page, const QString& text) {
    for (const TextRun& t : page.texts) {
        if (t.text == text)
            return &t;
    }
    return nullptr;
}

} // namespace

class ReportEngineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pagination_data();
    void pagination();
    void detailNeverSplit_data();
    void detailNeverSplit();
    void pageNumbersAndDate();
    void formats_data();
    void formats();
    void sumsAndCounts_data();
    void sumsAndCounts();
    void hiddenField();
    void columnsMatchIgnoringCase();
    void runtimeCaptions();
    void oversizedBandStillEnds();
    void cancelledRender();
    void pdfPagesMatchRender();
    void largeReportIsQuick();
    void previewNavigation_data();
    void previewNavigation();
    void previewExport();
    void previewOfLargeReportOpensQuickly();
    void printRange_data();
    void printRange();
};

void ReportEngineTest::pagination_data() {
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<QList<int>>("detailsPerPage");
    QTest::addColumn<int>("footerPage"); // 1-based page of the report footer

    QTest::newRow("no rows") << 0 << QList<int>{0} << 1;
    QTest::newRow("footer fits exactly") << 9 << QList<int>{9} << 1;
    QTest::newRow("first page full") << 10 << QList<int>{10, 0} << 2;
    QTest::newRow("one on second page") << 11 << QList<int>{10, 1} << 2;
    QTest::newRow("second page leaves room") << 20 << QList<int>{10, 10} << 2;
    QTest::newRow("second page full") << 21 << QList<int>{10, 11, 0} << 3;
    QTest::newRow("three pages") << 32 << QList<int>{10, 11, 11} << 4;
}

void ReportEngineTest::pagination() {
    QFETCH(int, rowCount);
    QFETCH(QList<int>, detailsPerPage);
    QFETCH(int, footerPage);
    const RenderedReport r = render(testLayout(), rows(rowCount), fixedDate());
    QVERIFY(footerPage >= detailsPerPage.size());
    QCOMPARE(r.pageCount(), std::max<int>(int(detailsPerPage.size()), footerPage));
    int next = 1;
    for (int p = 0; p < r.pageCount(); ++p) {
        const RenderedPage& page = r.pages.at(p);
        // Report header once, on the first page above the page header.
        const TextRun* header = find(page, QStringLiteral("TESTATA 30/06/2024"));
        QCOMPARE(header != nullptr, p == 0);
        const TextRun* pageHeader = find(page, QStringLiteral("INTESTAZIONE"));
        QVERIFY2(pageHeader, qPrintable(QStringLiteral("page %1").arg(p + 1)));
        QCOMPARE(pageHeader->box.top(), p == 0 ? 1000 : 0);
        QCOMPARE(pageHeader->box.left(), 100);
        QCOMPARE(page.lines.size(), 1);
        QCOMPARE(page.lines.first().line,
                 QLine(100, pageHeader->box.top() + 400, 15100, pageHeader->box.top() + 400));
        // Page footer on every page, at the foot.
        const QString footer = QStringLiteral("pag. %1 di %2").arg(p + 1).arg(r.pageCount());
        const TextRun* pageFooter = find(page, footer);
        QVERIFY2(pageFooter, qPrintable(footer));
        QCOMPARE(pageFooter->box.top(), 11500);
        // Rows in order, none lost or repeated.
        const int expected = p < detailsPerPage.size() ? detailsPerPage.at(p) : 0;
        int firstLines = 0;
        for (const TextRun& t : page.texts) {
            if (t.text.startsWith(QLatin1Char('R')) &&
                (t.box.top() - pageHeader->box.top()) % 1000 == 500) {
                QCOMPARE(t.text, QStringLiteral("R%1").arg(next++, 3, 10, QLatin1Char('0')));
                ++firstLines;
            }
        }
        QCOMPARE(firstLines, expected);
        QCOMPARE(find(page, QStringLiteral("FINE")) != nullptr, p + 1 == footerPage);
    }
    QCOMPARE(next, rowCount + 1);
}

void ReportEngineTest::detailNeverSplit_data() {
    QTest::addColumn<int>("detailHeight");
    QTest::addColumn<int>("rowCount");
    QTest::newRow("even fit") << 1000 << 40;
    QTest::newRow("uneven 1217") << 1217 << 60;
    QTest::newRow("uneven 1449") << 1449 << 60;
    QTest::newRow("tall 4000") << 4000 << 10;
}

void ReportEngineTest::detailNeverSplit() {
    QFETCH(int, detailHeight);
    QFETCH(int, rowCount);
    ReportLayout layout = testLayout();
    layout.detail.height = detailHeight;
    layout.detail.items.last().top = detailHeight - 300; // the band's last line
    const RenderedReport r = render(layout, rows(rowCount), fixedDate());
    QSet<QString> seen;
    for (int p = 0; p < r.pageCount(); ++p) {
        QHash<QString, int> linesOf;
        for (const TextRun& t : r.pages.at(p).texts) {
            if (!t.text.startsWith(QLatin1Char('R')))
                continue;
            ++linesOf[t.text];
            QVERIFY2(t.box.top() + 300 <= 11500, qPrintable(t.text));
        }
        for (auto it = linesOf.cbegin(); it != linesOf.cend(); ++it) {
            QVERIFY2(it.value() == 2, qPrintable(QStringLiteral("%1 split").arg(it.key())));
            QVERIFY2(!seen.contains(it.key()), qPrintable(it.key()));
            seen.insert(it.key());
        }
    }
    QCOMPARE(seen.size(), rowCount);
}

void ReportEngineTest::pageNumbersAndDate() {
    ReportLayout layout = testLayout();
    layout.reportFooter.items.append(label(QStringLiteral("Pagina %p  di %P"), 0, 500, 2000));
    layout.pageHeader.items.append(label(QStringLiteral("%d"), 5000, 0, 1500));
    const RenderedReport r = render(layout, rows(25), fixedDate());
    QCOMPARE(r.pageCount(), 3);
    for (const RenderedPage& page : r.pages)
        QVERIFY(find(page, QStringLiteral("30/06/2024")));
    // In the report footer the number prints once, with the page it lands on.
    QStringList footers;
    for (const RenderedPage& page : r.pages) {
        for (const TextRun& t : page.texts) {
            if (t.text.startsWith(QLatin1String("Pagina")))
                footers.append(t.text);
        }
    }
    QCOMPARE(footers, QStringList{QStringLiteral("Pagina 3  di 3")});
}

void ReportEngineTest::formats_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("expected");
    const int money = int(Format::Money), date = int(Format::Date), rate = int(Format::Rate),
              text = int(Format::Text);
    QTest::newRow("money grouped") << QVariant(qint64(123450)) << money << "1.234,50";
    QTest::newRow("money millions") << QVariant(qint64(100000000)) << money << "1.000.000,00";
    QTest::newRow("money zero") << QVariant(qint64(0)) << money << "0,00";
    QTest::newRow("money cents") << QVariant(qint64(4)) << money << "0,04";
    QTest::newRow("money negative") << QVariant(qint64(-123456)) << money << "-1.234,56";
    QTest::newRow("money negative cents") << QVariant(qint64(-5)) << money << "-0,05";
    QTest::newRow("money largest")
        << QVariant(std::numeric_limits<qint64>::max()) << money << "92.233.720.368.547.758,07";
    QTest::newRow("money beyond range")
        << QVariant(std::numeric_limits<qint64>::min()) << money << "-9223372036854775808";
    QTest::newRow("money from int") << QVariant(int(999)) << money << "9,99";
    // A server's driver hands amounts that are not negative back unsigned.
    QTest::newRow("money unsigned") << QVariant(qulonglong(123450)) << money << "1.234,50";
    QTest::newRow("money unsigned beyond range")
        << QVariant(std::numeric_limits<qulonglong>::max()) << money << "18446744073709551615";
    QTest::newRow("money from text") << QVariant(QStringLiteral("250000")) << money << "2.500,00";
    QTest::newRow("money null") << QVariant() << money << "";
    QTest::newRow("money whole double") << QVariant(2500.0) << money << "25,00";
    // A fraction of a cent (older files) prints rounded, as the grid shows it.
    QTest::newRow("money fraction of a cent") << QVariant(12.5) << money << "0,13";
    QTest::newRow("money 123,456 euros") << QVariant(12345.6) << money << "123,46";
    QTest::newRow("money 123,454 euros") << QVariant(12345.4) << money << "123,45";
    QTest::newRow("money negative fraction") << QVariant(-12345.5) << money << "-123,46";
    QTest::newRow("money fraction as text")
        << QVariant(QStringLiteral("12345.6")) << money << "123,46";
    QTest::newRow("money two points") << QVariant(QStringLiteral("1.2.3")) << money << "1.2.3";
    QTest::newRow("money not a number") << QVariant(QStringLiteral("abc")) << money << "abc";
    QTest::newRow("date") << QVariant(QStringLiteral("2024-03-05")) << date << "05/03/2024";
    QTest::newRow("date null") << QVariant() << date << "";
    QTest::newRow("date not ISO") << QVariant(QStringLiteral("31/02/2024")) << date << "31/02/2024";
    QTest::newRow("rate whole") << QVariant(qint64(2000)) << rate << "20";
    QTest::newRow("rate four") << QVariant(qint64(400)) << rate << "4";
    QTest::newRow("rate half") << QVariant(qint64(450)) << rate << "4,5";
    QTest::newRow("rate cents") << QVariant(qint64(425)) << rate << "4,25";
    QTest::newRow("rate below one") << QVariant(qint64(5)) << rate << "0,05";
    QTest::newRow("text flag") << QVariant(QStringLiteral("S")) << text << "S";
    QTest::newRow("text number") << QVariant(qint64(12)) << text << "12";
    QTest::newRow("text keeps blanks") << QVariant(QStringLiteral(" a  b ")) << text << " a  b ";
}

void ReportEngineTest::formats() {
    QFETCH(QVariant, value);
    QFETCH(int, format);
    QFETCH(QString, expected);
    QCOMPARE(formatValue(value, Format(format)), expected);
    // The same value through a field of a rendered page; an empty text prints no run.
    ReportLayout layout;
    layout.detail.height = 300;
    layout.detail.items = {
        field(QStringLiteral("v"), 0, 0, 3000, {}, Qt::AlignLeft, Format(format))};
    ReportData data({QStringLiteral("v")});
    data.addRow({value});
    const RenderedReport r = render(layout, data);
    QCOMPARE(r.pages.first().texts.size(), expected.isEmpty() ? 0 : 1);
    if (!expected.isEmpty())
        QCOMPARE(r.pages.first().texts.first().text, expected);
}

void ReportEngineTest::sumsAndCounts_data() {
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("sum");
    QTest::addColumn<QString>("count");
    QTest::newRow("no rows") << QVariantList{} << "0,00"
                             << "0";
    QTest::newRow("plain") << QVariantList{qint64(10), qint64(20), qint64(30)} << "0,60"
                           << "3";
    QTest::newRow("negatives") << QVariantList{qint64(-150), qint64(100)} << "-0,50"
                               << "2";
    QTest::newRow("empty values skipped")
        << QVariantList{qint64(100), QVariant(), qint64(5)} << "1,05"
        << "3";
    QTest::newRow("all empty") << QVariantList{QVariant(), QVariant()} << ""
                               << "2";
    // Beyond 2^53 a double would lose the last cent.
    QTest::newRow("exact beyond double")
        << QVariantList{qint64(9007199254740993LL), qint64(1), qint64(1)} << "90.071.992.547.409,95"
        << "3";
    QTest::newRow("overflow is marked, not wrapped")
        << QVariantList{std::numeric_limits<qint64>::max(), qint64(1)} << "######"
        << "2";
    // Fractions of a cent add up exactly and the total is rounded once.
    QTest::newRow("fractions summed before rounding") << QVariantList{12345.6, 12345.6} << "246,91"
                                                      << "2";
    QTest::newRow("halves rounded once") << QVariantList{0.5, 0.5, 0.5} << "0,02"
                                         << "3";
    QTest::newRow("fraction and whole cents")
        << QVariantList{12345.6, qint64(100), QStringLiteral("0.4")} << "124,46"
        << "3";
    QTest::newRow("fraction back into range")
        << QVariantList{std::numeric_limits<qint64>::max(), 0.4, -0.4}
        << "92.233.720.368.547.758,07"
        << "3";
    QTest::newRow("cents add up") << QVariantList{qint64(10), qint64(20), qint64(-30), qint64(1)}
                                  << "0,01"
                                  << "4";
}

void ReportEngineTest::sumsAndCounts() {
    QFETCH(QVariantList, values);
    QFETCH(QString, sum);
    QFETCH(QString, count);
    ReportLayout layout;
    layout.detail.height = 100;
    layout.reportFooter.height = 300;
    layout.reportFooter.items = {report::count(0, 0, 1000),
                                 report::sum(QStringLiteral("IMPORTO"), 2000, 0, 3000)};
    // A sum in the report header prints the grand total before any row.
    layout.reportHeader.height = 300;
    layout.reportHeader.items = {report::sum(QStringLiteral("importo"), 2000, 0, 3000),
                                 report::count(0, 0, 1000)};
    ReportData data({QStringLiteral("importo")});
    for (const QVariant& v : values)
        data.addRow({v});
    const RenderedReport r = render(layout, data);
    QCOMPARE(r.pageCount(), 1);
    QCOMPARE(textsAt(r.pages.first(), 0), (QStringList{count, count}));
    QCOMPARE(textsAt(r.pages.first(), 2000),
             (sum.isEmpty() ? QStringList{} : QStringList{sum, sum}));
}

void ReportEngineTest::hiddenField() {
    ReportLayout layout = testLayout();
    QVERIFY(layout.setVisible(QStringLiteral("importo"), false)); // names ignore case
    QVERIFY(!layout.setVisible(QStringLiteral("nessuno"), false));
    const RenderedReport r = render(layout, rows(3));
    const RenderedPage& page = r.pages.first();
    QCOMPARE(textsAt(page, 3100), QStringList{QStringLiteral("3,00")}); // the total stays
    QCOMPARE(textsAt(page, 100).filter(QStringLiteral("R0")).size(), 6);
}

void ReportEngineTest::columnsMatchIgnoringCase() {
    ReportLayout layout;
    layout.detail.height = 300;
    layout.detail.items = {field(QStringLiteral("Denominazione"), 0, 0, 2000),
                           field(QStringLiteral("CAP"), 2000, 0, 1000),
                           field(QStringLiteral("assente"), 3000, 0, 1000)};
    ReportData data({QStringLiteral("denominazione"), QStringLiteral("cap")});
    data.addRow({QStringLiteral("ROSSI"), QStringLiteral("00100")});
    const RenderedReport r = render(layout, data);
    QCOMPARE(pageTexts(r.pages.first()),
             (QStringList{QStringLiteral("ROSSI"), QStringLiteral("00100")}));
    QCOMPARE(data.columnIndex(QStringLiteral("DENOMINAZIONE")), 0);
    QCOMPARE(data.value(0, QStringLiteral("Cap")).toString(), QStringLiteral("00100"));
}

void ReportEngineTest::runtimeCaptions() {
    ReportLayout layout = testLayout();
    layout.reportHeader.items.append(
        named(label(QString(), 4000, 0, 2000), QStringLiteral("Label14")));
    const RenderedReport before = render(layout, rows(0));
    QCOMPARE(textsAt(before.pages.first(), 4100), QStringList{});
    QVERIFY(layout.setCaption(QStringLiteral("LABEL14"), QStringLiteral("2024")));
    const RenderedReport after = render(layout, rows(0));
    QCOMPARE(textsAt(after.pages.first(), 4100), QStringList{QStringLiteral("2024")});
    const TextRun* year = find(after.pages.first(), QStringLiteral("2024"));
    QCOMPARE(year->box, QRect(4100, 0, 2000, kDefaultItemHeight));
}

void ReportEngineTest::oversizedBandStillEnds() {
    ReportLayout layout = testLayout();
    layout.detail.height = 20000; // taller than any page
    const RenderedReport r = render(layout, rows(3));
    // One band per page, then the footer on a page of its own.
    QCOMPARE(r.pageCount(), 4);
    for (int p = 0; p < 3; ++p)
        QVERIFY(find(r.pages.at(p), QStringLiteral("R%1").arg(p + 1, 3, 10, QLatin1Char('0'))));
}

void ReportEngineTest::cancelledRender() {
    RenderOptions options;
    int calls = 0;
    options.progress = [&calls](int done, int total) {
        ++calls;
        return done < total / 2;
    };
    const RenderedReport r = render(testLayout(), rows(2000), options);
    QVERIFY(r.cancelled);
    QCOMPARE(r.pageCount(), 0);
    QVERIFY(calls > 1);
}

void ReportEngineTest::pdfPagesMatchRender() {
    QTemporaryDir dir;
    const RenderedReport r = render(testLayout(), rows(25), fixedDate());
    const QString path = dir.filePath(QStringLiteral("prova.pdf"));
    const auto pages = document(testLayout(), rows(25));
    const Status written = writePdf(*pages, path);
    QVERIFY2(written.ok(), qPrintable(written.error()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QVERIFY(pdf.startsWith("%PDF"));
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "),
             qsizetype(r.pageCount()));
    // A folder that does not exist: an error with a reason, and no file.
    const QString bad = dir.filePath(QStringLiteral("manca/prova.pdf"));
    const Status failed = writePdf(*pages, bad);
    QVERIFY(!failed.ok());
    QVERIFY(!failed.error().isEmpty());
    QVERIFY(!QFile::exists(bad));
}

void ReportEngineTest::largeReportIsQuick() {
    ReportLayout layout = testLayout();
    ReportData data = rows(10000);
    QElapsedTimer timer;
    timer.start();
    const RenderedReport r = render(layout, data);
    const qint64 elapsed = timer.elapsed();
    // 10 rows on the first page, 11 on each further one, the footer after the last.
    QCOMPARE(r.pageCount(), 1 + (9990 + 10) / 11);
    // Generous for a debug build on a busy machine; a release build takes a few tens of ms.
    QVERIFY2(elapsed < 3000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    QCOMPARE(textsAt(r.pages.last(), 3100).last(), formatCents(qint64(100) * 9999 * 10000 / 2));
}

void ReportEngineTest::previewNavigation_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("next") << "PaginaSuccessiva" << 0 << 1;
    QTest::newRow("next at the end stays") << "PaginaSuccessiva" << 2 << 2;
    QTest::newRow("previous") << "PaginaPrecedente" << 2 << 1;
    QTest::newRow("previous at the start stays") << "PaginaPrecedente" << 0 << 0;
    QTest::newRow("last") << "UltimaPagina" << 0 << 2;
    QTest::newRow("first") << "PrimaPagina" << 2 << 0;
}

void ReportEngineTest::previewNavigation() {
    QFETCH(QString, action);
    QFETCH(int, from);
    QFETCH(int, to);
    ReportPreview preview(document(testLayout(), rows(25)));
    QCOMPARE(preview.windowTitle(), QStringLiteral("Prova"));
    QCOMPARE(preview.pageCount(), 3);
    preview.setCurrentPage(from);
    auto* step = preview.findChild<QAction*>(action);
    QVERIFY(step);
    step->trigger();
    QCOMPARE(preview.currentPage(), to);
    auto* pageBox = preview.findChild<QSpinBox*>(QStringLiteral("Pagina"));
    QCOMPARE(pageBox->value(), to + 1);
    QCOMPARE(preview.findChild<QAction*>(QStringLiteral("PaginaSuccessiva"))->isEnabled(), to < 2);
    QCOMPARE(preview.findChild<QAction*>(QStringLiteral("PaginaPrecedente"))->isEnabled(), to > 0);
    // Typing a page number goes there; zoom stays within its bounds.
    pageBox->setValue(2);
    QCOMPARE(preview.currentPage(), 1);
    preview.setZoom(100);
    QCOMPARE(preview.zoom(), 4.0);
    preview.zoomOut();
    QVERIFY(preview.zoom() < 4.0);
}

void ReportEngineTest::previewExport() {
    QTemporaryDir dir;
    ReportPreview preview(document(testLayout(), rows(25)));
    ScriptedMessageBoxes boxes;
    preview.setMessageBoxes(&boxes);
    QString askedFor;
    QString answer;
    preview.setPdfPathChooser([&](QWidget*, const QString& caption) {
        askedFor = caption;
        return answer;
    });
    // Cancelled file choice: nothing written, nothing said.
    QVERIFY(!preview.exportPdf());
    QCOMPARE(askedFor, QStringLiteral("Prova"));
    QCOMPARE(boxes.shown().size(), 0);

    answer = dir.filePath(QStringLiteral("anteprima.pdf"));
    preview.findChild<QAction*>(QStringLiteral("EsportaPdf"))->trigger();
    QVERIFY(QFileInfo(answer).size() > 1000);
    QCOMPARE(boxes.shown().size(), 0);
    // The file the headless export writes, byte for byte.
    const QString headless = dir.filePath(QStringLiteral("senza-finestra.pdf"));
    QVERIFY(writePdf(*document(testLayout(), rows(25)), headless).ok());
    QFile exported(answer);
    QFile expected(headless);
    QVERIFY(exported.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
    QCOMPARE(exported.readAll(), expected.readAll());

    // A file that cannot be written is reported, not passed over.
    answer = dir.filePath(QStringLiteral("manca/anteprima.pdf"));
    QVERIFY(!preview.exportPdf());
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY(boxes.last().text.startsWith(QStringLiteral("Esportazione PDF non riuscita")));
}

void ReportEngineTest::previewOfLargeReportOpensQuickly() {
    ReportLayout layout = testLayout();
    const ReportData data = rows(10000);
    QElapsedTimer timer;
    timer.start();
    ReportPreview preview(document(layout, data));
    preview.resize(1200, 800);
    const QImage first = preview.grab().toImage();
    const qint64 elapsed = timer.elapsed();
    QVERIFY(!first.isNull());
    QVERIFY2(elapsed < 3000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    preview.lastPage();
    QCOMPARE(preview.currentPage(), preview.pageCount() - 1);
}

void ReportEngineTest::printRange_data() {
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("pages");
    QTest::newRow("all") << int(QPrinter::AllPages) << 0 << 0 << 3;
    QTest::newRow("range") << int(QPrinter::PageRange) << 2 << 3 << 2;
    QTest::newRow("range past the end") << int(QPrinter::PageRange) << 3 << 9 << 1;
    QTest::newRow("current page") << int(QPrinter::CurrentPage) << 0 << 0 << 1;
}

// The printer path of the preview, with a printer that writes a PDF file.
void ReportEngineTest::printRange() {
    QFETCH(int, range);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, pages);
    QTemporaryDir dir;
    ReportPreview preview(document(testLayout(), rows(25)));
    preview.setCurrentPage(1);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("stampa.pdf")));
    printer.setPrintRange(QPrinter::PrintRange(range));
    if (from > 0)
        printer.setFromTo(from, to);
    QVERIFY(preview.printOn(printer));
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    QFile file(printer.outputFileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "),
             qsizetype(pages));
}

QTEST_MAIN(ReportEngineTest)
#include "tst_report_engine.moc"
