#include "printing/pdf_export.h"
#include "printing/report_data.h"
#include "printing/report_document.h"
#include "printing/report_preview.h"
#include "printing/report_renderer.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace report;

namespace {

const QDate kDate(2024, 6, 30);

RenderOptions onDate() {
    RenderOptions options;
    options.printDate = kDate;
    return options;
}

// Rows made on demand, counting what is read: values, and the widest row read.
class CountingRows : public RowSource {
public:
    explicit CountingRows(qint64 rows) : rows_(rows) {}

    const QStringList& columns() const override { return names_; }
    qint64 rowCount() const override { return rows_; }
    Status read(qint64 first, int count, RowWindow& window, const QList<int>& columns) override {
        window.first = first;
        window.rows = int(std::clamp<qint64>(rows_ - first, 0, count));
        window.width = int(columns.isEmpty() ? names_.size() : columns.size());
        window.values.clear();
        for (qint64 r = first; r < first + window.rows; ++r) {
            for (int c = 0; c < window.width; ++c) {
                const int column = columns.isEmpty() ? c : columns.at(c);
                window.values.push_back(column == 0 ? QVariant(QStringLiteral("R%1").arg(r + 1))
                                                    : QVariant(qint64(r % 97 - 40)));
            }
            if (window.width == names_.size())
                ++wholeRows;
        }
        values += qint64(window.values.size());
        return Status::success();
    }

    qint64 values = 0;    // values read in all
    qint64 wholeRows = 0; // rows read with every column

private:
    qint64 rows_;
    QStringList names_{QStringLiteral("nome"), QStringLiteral("importo"), QStringLiteral("nota")};
};

enum Totals { NoTotals, GrandTotals, RunningTotals, HeaderTotals };

// Ten details on the first page, eleven on the others (see tst_report_engine), with the
// sums where `totals` puts them.
ReportLayout layoutWith(Totals totals) {
    ReportLayout layout;
    layout.caption = QStringLiteral("Prova");
    layout.reportHeader.height = 1000;
    layout.reportHeader.items = {label(QStringLiteral("TESTATA"), 0, 0, 3000)};
    layout.pageHeader.height = 500;
    layout.pageHeader.items = {label(QStringLiteral("INTESTAZIONE"), 0, 0, 3000),
                               count(4000, 0, 900)};
    layout.detail.height = 1000;
    layout.detail.items = {
        field(QStringLiteral("nome"), 0, 0, 3000),
        field(QStringLiteral("importo"), 3000, 0, 1500, {}, Qt::AlignRight, Format::Money)};
    layout.pageFooter.height = 406;
    layout.pageFooter.items = {label(QStringLiteral("pag. %p di %P"), 0, 0, 3000)};
    layout.reportFooter.height = 1000;
    layout.reportFooter.items = {count(1000, 0, 1000)};
    const ReportItem total = sum(QStringLiteral("importo"), 6000, 0, 1500);
    if (totals == GrandTotals)
        layout.reportFooter.items.append(total);
    if (totals == RunningTotals) {
        layout.pageFooter.items.append(total);
        layout.detail.items.append(sum(QStringLiteral("importo"), 8000, 0, 1500));
    }
    if (totals == HeaderTotals)
        layout.reportHeader.items.append(total);
    return layout;
}

QStringList dumpOf(const RenderedPage& page) {
    QStringList lines;
    for (const TextRun& t : page.texts)
        lines.append(QStringLiteral("%1,%2 %3").arg(t.box.left()).arg(t.box.top()).arg(t.text));
    for (const LineRun& l : page.lines)
        lines.append(QStringLiteral("line %1").arg(l.line.y1()));
    return lines;
}

} // namespace

class ReportDocumentTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pageAloneAsInSequence_data();
    void pageAloneAsInSequence();
    void readsWhatThePageNeeds_data();
    void readsWhatThePageNeeds();
    void stoppedPdfLeavesNoFile();
    void previewReadsThePagesShown();
};

void ReportDocumentTest::pageAloneAsInSequence_data() {
    QTest::addColumn<int>("totals");
    QTest::addColumn<int>("rowCount");
    for (const int rows : {0, 1, 10, 21, 300, 1000}) {
        for (const auto& [name, totals] :
             {std::pair{"none", NoTotals}, std::pair{"grand", GrandTotals},
              std::pair{"running", RunningTotals}, std::pair{"header", HeaderTotals}})
            QTest::addRow("%s, %d rows", name, rows) << int(totals) << rows;
    }
}

// Any page laid out on its own, in any order, is the page the whole report has in that
// place: the same rows, running totals, counts and page numbers.
void ReportDocumentTest::pageAloneAsInSequence() {
    QFETCH(int, totals);
    QFETCH(int, rowCount);
    const ReportLayout layout = layoutWith(Totals(totals));
    const RenderedReport whole = render(layout, std::make_shared<CountingRows>(rowCount), onDate());
    QVERIFY(whole.error.isEmpty());
    ReportDocument document(layout, std::make_shared<CountingRows>(rowCount), kDate);
    QCOMPARE(document.pageCount(), whole.pageCount());
    const int last = whole.pageCount() - 1;
    for (const int index : {last, 0, last / 2, last, std::max(0, last - 1), last / 3}) {
        RenderedPage page;
        QVERIFY(document.layOut(index, page).ok());
        QCOMPARE(dumpOf(page), dumpOf(whole.pages.at(index)));
    }
}

void ReportDocumentTest::readsWhatThePageNeeds_data() {
    QTest::addColumn<int>("totals");
    QTest::addColumn<bool>("lastPage");
    QTest::addColumn<qint64>("maxWholeRows");
    QTest::addColumn<qint64>("maxValues");
    const qint64 window = 256 * 3; // one window of rows, three columns each
    QTest::newRow("first page") << int(NoTotals) << false << qint64(256) << window;
    QTest::newRow("last page") << int(NoTotals) << true << qint64(256) << window;
    QTest::newRow("first page of running totals")
        << int(RunningTotals) << false << qint64(256) << window;
    // The grand total reads the summed column of every row, and only that.
    QTest::newRow("last page with grand totals")
        << int(GrandTotals) << true << qint64(256) << window + 100000;
    QTest::newRow("first page with totals in its header")
        << int(HeaderTotals) << false << qint64(256) << window + 100000;
}

// A long report is read a page at a time: never every row, never every column.
void ReportDocumentTest::readsWhatThePageNeeds() {
    QFETCH(int, totals);
    QFETCH(bool, lastPage);
    QFETCH(qint64, maxWholeRows);
    QFETCH(qint64, maxValues);
    auto rows = std::make_shared<CountingRows>(100000);
    ReportDocument document(layoutWith(Totals(totals)), rows, kDate);
    // Ten rows on the first page, eleven on the others, the report footer alone.
    QCOMPARE(document.pageCount(), 1 + (100000 - 10) / 11 + 1);
    RenderedPage page;
    QVERIFY(document.layOut(lastPage ? document.pageCount() - 1 : 0, page).ok());
    QVERIFY2(rows->wholeRows <= maxWholeRows, qPrintable(QString::number(rows->wholeRows)));
    QVERIFY2(rows->values <= maxValues, qPrintable(QString::number(rows->values)));
    QVERIFY(!page.texts.isEmpty());
}

// Stopped half way, the export leaves nothing behind, and a file of that name as it was.
void ReportDocumentTest::stoppedPdfLeavesNoFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stampa.pdf"));
    ReportDocument document(layoutWith(GrandTotals), std::make_shared<CountingRows>(2000), kDate);
    int calls = 0;
    Status s = writePdf(document, path, [&calls](int done, int total) {
        ++calls;
        return done < total / 4;
    });
    QVERIFY(!s.ok());
    QCOMPARE(s.kind(), ErrorKind::Stopped);
    QVERIFY(calls > 1);
    QVERIFY(!QFile::exists(path));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("vecchio");
    old.close();
    s = writePdf(document, path, [](int, int) { return false; });
    QVERIFY(!s.ok());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("vecchio"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    // Let run to the end, the file is written whole.
    QVERIFY(writePdf(document, path).ok());
    QVERIFY(QFile(path).size() > 10000);
}

// The preview lays out the page it shows and no other; the last page reads the summed
// column of the rows before it, not the rows.
void ReportDocumentTest::previewReadsThePagesShown() {
    auto rows = std::make_shared<CountingRows>(100000);
    ReportPreview preview(std::make_shared<ReportDocument>(layoutWith(GrandTotals), rows, kDate));
    preview.resize(1000, 700);
    preview.grab();
    QCOMPARE(preview.currentPage(), 0);
    QVERIFY(rows->wholeRows <= 256);
    preview.findChild<QAction*>(QStringLiteral("UltimaPagina"))->trigger();
    QCOMPARE(preview.currentPage(), preview.pageCount() - 1);
    QVERIFY2(rows->wholeRows <= 2 * 256, qPrintable(QString::number(rows->wholeRows)));
    const QStringList texts = pageTexts(preview.shownPage());
    QVERIFY(texts.contains(QStringLiteral("100000")));
    QVERIFY(texts.contains(QStringLiteral("pag. %1 di %1").arg(preview.pageCount())));
    // The report footer stands alone on the last page, under the last row's page.
    preview.findChild<QAction*>(QStringLiteral("PaginaPrecedente"))->trigger();
    QVERIFY(pageTexts(preview.shownPage()).contains(QStringLiteral("R100000")));
}

QTEST_MAIN(ReportDocumentTest)
#include "tst_report_document.moc"
