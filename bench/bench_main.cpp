// velarco-bench: builds a large ledger and measures the figures that matter, each
// beside the same work done by the sqlite3 shell where there is one.
//   velarco-bench generate FILE [--subjects N] [--users U] [--records R] [--years Y]
//                               [--big R2] [--seed S]
//   velarco-bench measure FILE [--runs N]
//   velarco-bench measure-exports FILE [--runs N]   (the spreadsheet exports only)
//   velarco-bench measure-reports FILE [--runs N]   (the PDF reports, the preview and the
//                                                    770 prospectus only)
//   velarco-bench measure-import FILE [--runs N]    (a user's year back from Excel)
//   velarco-bench measure-server URL FILE [--runs N]   (FILE: the same ledger in SQLite)
//   velarco-bench check README FIGURES   (a run's figures against the README's targets)
//   velarco-bench measure-fatture [--count N] [--runs N]   (a zip of N electronic invoices)

#include "app/nota.h"
#include "figure_check.h"
#include "importing/einvoice_rows.h"
#include "importing/sheet_import.h"
#include "ledger/withholding_record.h"
#include "ledger/withholding_store.h"
#include "ledger_generator.h"
#include "printing/report_preview.h"
#include "registry/subject_store.h"
#include "reports/report_catalogue.h"
#include "reports/st770_document.h"
#include "reports/st770_rows.h"
#include "reports/year_deletion_store.h"
#include "shell/scripted_message_boxes.h"
#include "spreadsheets/spreadsheet_file.h"
#include "store/change_record.h"
#include "store/connection.h"
#include "store/ledger_address.h"
#include "support/einvoice_samples.h"
#include "widgets/data_grid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariant>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <optional>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const std::size_t index = std::min(values.size() - 1, std::size_t(p * double(values.size())));
    return values[index];
}

void figure(const char* name, double value, const char* unit) {
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

double millisecondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

double medianOf(int runs, const std::function<double()>& run) {
    std::vector<double> values;
    for (int i = 0; i < runs; ++i)
        values.push_back(run());
    return median(values);
}

bool fail(const QString& what) {
    std::fprintf(stderr, "velarco-bench: %s\n", qPrintable(what));
    return false;
}

// The shell's time for the same SQL, output thrown away: the physical floor.
double sqliteShellMs(const QString& file, const QString& sql) {
    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    return millisecondsOf([&] {
        shell.start(QStringLiteral("sqlite3"), {file, sql});
        shell.waitForFinished(-1);
    });
}

struct UserYear {
    QString user;
    QString name;
    QString year;
    int rows = 0;
};

// The user-year whose size is nearest to `rows`.
UserYear userYearNear(int rows) {
    UserYear best;
    Result<QSqlQuery> q = store::run(
        QStringLiteral("SELECT r.utente, s.denominazione, r.anno, count(*) AS n FROM Ritenute r "
                       "JOIN Soggetti s ON CAST(s.ID AS TEXT) = r.utente "
                       "GROUP BY r.utente, s.denominazione, r.anno"));
    while (q.ok() && q.value.next()) {
        const int n = q.value.value(3).toInt();
        if (best.rows == 0 || std::abs(n - rows) < std::abs(best.rows - rows))
            best = {q.value.value(0).toString(), q.value.value(1).toString(),
                    q.value.value(2).toString(), n};
    }
    return best;
}

// Opens the window on `user` and `year` as the operator would, through "Accedi".
void enter(Nota& window, const UserYear& target) {
    auto* users = window.findChild<QComboBox*>(QStringLiteral("cbo1"));
    users->setCurrentIndex(users->findText(target.name));
    Q_EMIT users->activated(users->currentIndex());
    window.findChild<QComboBox*>(QStringLiteral("cbo2"))->setEditText(target.year);
    window.findChild<QPushButton*>(QStringLiteral("Cmd1"))->click();
}

// Every cell's display text, as scrolling to the end would ask for it.
void readEveryCell(const DataGrid& grid) {
    qint64 characters = 0;
    const QAbstractItemModel* model = grid.model();
    for (int r = 0; model && r < model->rowCount(); ++r)
        for (int c = 0; c < model->columnCount(); ++c)
            characters += model->index(r, c).data().toString().size();
    if (characters == 0)
        fail(QStringLiteral("la griglia è vuota"));
}

// `file` empty: no shell to compare with (a server ledger).
void measureGrid(const char* label, const UserYear& target, const QString& file, int runs) {
    ScriptedMessageBoxes boxes;
    Nota window(boxes);
    window.show();
    QApplication::processEvents();
    enter(window, target);
    std::vector<double> firstScreen;
    std::vector<double> full;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        window.action("Rmodifica")->trigger();
        QApplication::processEvents();
        firstScreen.push_back(double(timer.nsecsElapsed()) / 1e6);
        readEveryCell(window.selectionGrid());
        full.push_back(double(timer.nsecsElapsed()) / 1e6);
        QMetaObject::invokeMethod(window.findChild<QObject*>(QStringLiteral("Label10")), "clicked");
    }
    const QString sql = QStringLiteral("SELECT * FROM Ritenute WHERE anno='%1' AND utente='%2' "
                                       "ORDER BY ordine, denominazione, data, ID")
                            .arg(target.year, target.user);
    std::printf("# %s: user %s, year %s, %d rows\n", label, qPrintable(target.user),
                qPrintable(target.year), target.rows);
    figure(qPrintable(QStringLiteral("grid_%1_first_screen").arg(label)), median(firstScreen),
           "ms");
    figure(qPrintable(QStringLiteral("grid_%1_open_and_fetch_all").arg(label)), median(full), "ms");
    if (file.isEmpty())
        return;
    const double shell = medianOf(runs, [&] { return sqliteShellMs(file, sql); });
    figure(qPrintable(QStringLiteral("grid_%1_sqlite3_shell").arg(label)), shell, "ms");
    figure(qPrintable(QStringLiteral("grid_%1_shell_ratio").arg(label)), median(full) / shell, "x");
}

// A figure of /proc/self/status in KiB ("VmHWM", "RssAnon", ...).
long statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The child process of measureGridMemory: the program as the operator runs it, with
// the grid of `target` open and every cell read. Prints "peak anonymous file" in KiB.
int gridMemory(const QString& file, const UserYear& target) {
    if (Status s = store::openDatabase(file); !s.ok())
        return fail(s.error()), 1;
    ScriptedMessageBoxes boxes;
    Nota window(boxes);
    window.show();
    QApplication::processEvents();
    enter(window, target);
    window.action("Rmodifica")->trigger();
    QApplication::processEvents();
    readEveryCell(window.selectionGrid());
    std::printf("%ld %ld %ld\n", statusKb("VmHWM"), statusKb("RssAnon"), statusKb("RssFile"));
    return 0;
}

// Measured in a fresh process: this one has walked the whole file to choose its
// user-years, and the mapped pages of that walk would count as its own.
void measureGridMemory(const QString& file, const UserYear& target) {
    QProcess child;
    child.start(QApplication::applicationFilePath(),
                {QStringLiteral("grid-memory"), file, target.user, target.name, target.year});
    child.waitForFinished(-1);
    const QList<QByteArray> kb = child.readAllStandardOutput().trimmed().split(' ');
    if (child.exitCode() != 0 || kb.size() != 3) {
        fail(QStringLiteral("misura della memoria non riuscita"));
        return;
    }
    std::printf("# with the 100k grid open: %.1f MiB anonymous, %.1f MiB mapped from files\n",
                kb.at(1).toDouble() / 1024.0, kb.at(2).toDouble() / 1024.0);
    figure("peak_memory_with_100k_grid", kb.at(0).toDouble() / 1024.0, "MiB");
}

// The child process of measureReport: the program writing one report to PDF, as
// `velarco --report` does. Prints the milliseconds of the report and the peak resident
// size in KiB.
int reportChild(const QString& file, const ReportRequest& request) {
    if (Status s = store::openDatabase(file); !s.ok())
        return fail(s.error()), 1;
    QTemporaryDir dir;
    Status written = Status::success();
    const double ms = millisecondsOf(
        [&] { written = exportReport(request, dir.filePath(QStringLiteral("report.pdf"))); });
    if (!written.ok())
        return fail(written.error()), 1;
    std::printf("%.3f %ld\n", ms, statusKb("VmHWM"));
    return 0;
}

// `sql` with its values written in, as the shell would run it.
QString withValues(QString sql, const QVariantList& values) {
    for (const QVariant& value : values)
        sql.replace(sql.indexOf(QLatin1Char('?')), 1,
                    QLatin1Char('\'') + value.toString() + QLatin1Char('\''));
    return sql;
}

// The report's own query, its values written in, as the shell would run it.
QString shellSql(const ReportRequest& request) {
    const KeyedQuery query = reportQuery(request);
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4")
        .arg(query.columns, query.table, withValues(query.filter, query.values), query.order);
}

// Each run in a fresh process, so that its peak memory is the report's alone. The shell
// runs `sql`, or the report's own query when it is empty. Gives the peak in MiB, 0 when a
// run failed.
double measureReport(const char* label, const ReportRequest& request, const QString& file, int runs,
                     const QString& sql = {}) {
    std::vector<double> times;
    long peakKb = 0;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.start(
            QApplication::applicationFilePath(),
            {QStringLiteral("report-pdf"), file, request.name, request.userId, request.year});
        child.waitForFinished(-1);
        const QList<QByteArray> out = child.readAllStandardOutput().trimmed().split(' ');
        if (child.exitCode() != 0 || out.size() != 2) {
            fail(QStringLiteral("stampa %1 non riuscita").arg(request.name));
            return 0;
        }
        times.push_back(out.at(0).toDouble());
        peakKb = std::max(peakKb, out.at(1).toLong());
    }
    figure(qPrintable(QStringLiteral("report_%1_pdf").arg(QLatin1String(label))), median(times),
           "ms");
    figure(qPrintable(QStringLiteral("report_%1_peak_memory").arg(QLatin1String(label))),
           double(peakKb) / 1024.0, "MiB");
    const QString shellQuery = sql.isEmpty() ? shellSql(request) : sql;
    const double shell = medianOf(runs, [&] { return sqliteShellMs(file, shellQuery); });
    figure(qPrintable(QStringLiteral("report_%1_sqlite3_shell").arg(QLatin1String(label))), shell,
           "ms");
    figure(qPrintable(QStringLiteral("report_%1_shell_ratio").arg(QLatin1String(label))),
           median(times) / shell, "x");
    return double(peakKb) / 1024.0;
}

// The program as the operator starts it, beside this one.
QString programPath() {
    return QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("../src/velarco"));
}

// Milliseconds of a whole process, run to its end; negative when it fails.
double processMs(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    const double ms = millisecondsOf([&] {
        process.start(program, arguments);
        process.waitForFinished(-1);
    });
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? ms : -1;
}

// ElencoR of a 10,000-record year to PDF as a whole process, beside LibreOffice turning the
// same rows, written as CSV by the program, into a PDF (skipped without `soffice`).
void measureElencoProcess(const QString& file, const UserYear& ten, int runs) {
    // The reports written before (tens of megabytes) reach the disk first, so that neither
    // program is charged with their flushing.
    ::sync();
    QTemporaryDir dir;
    const QStringList report = {QStringLiteral("--database"), file,
                                QStringLiteral("--report"),   QStringLiteral("ElencoR"),
                                QStringLiteral("--utente"),   ten.user,
                                QStringLiteral("--anno"),     ten.year};
    const double velarco = medianOf(runs, [&] {
        return processMs(programPath(),
                         report + QStringList{QStringLiteral("--pdf"), dir.filePath("e.pdf")});
    });
    figure("report_ElencoR_10k_process", velarco, "ms");
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        std::printf("report_ElencoR_10k_soffice: skipped (soffice not installed)\n");
        std::printf("report_ElencoR_10k_soffice_ratio: skipped (soffice not installed)\n");
        return;
    }
    const QString csv = dir.filePath(QStringLiteral("ElencoR.csv"));
    if (processMs(programPath(), report + QStringList{QStringLiteral("--csv"), csv}) < 0) {
        fail(QStringLiteral("esportazione CSV non riuscita"));
        return;
    }
    // Its own profile, made by a first run that is not counted.
    const QStringList convert = {QStringLiteral("-env:UserInstallation=file://") +
                                     dir.filePath(QStringLiteral("profile")),
                                 QStringLiteral("--headless"),
                                 QStringLiteral("--convert-to"),
                                 QStringLiteral("pdf"),
                                 QStringLiteral("--outdir"),
                                 dir.filePath(QStringLiteral("soffice")),
                                 csv};
    processMs(soffice, convert);
    const double office = medianOf(runs, [&] { return processMs(soffice, convert); });
    figure("report_ElencoR_10k_soffice", office, "ms");
    figure("report_ElencoR_10k_soffice_ratio", office / velarco, "x");
}

// The size of a document a payee receives by mail: the F24 plan of one month of the
// user-year and the certification of one of its payees.
void measureDocumentSizes(const UserYear& ten) {
    QTemporaryDir dir;
    Result<QSqlQuery> payee = store::run(
        QStringLiteral("SELECT denominazione FROM Ritenute WHERE utente = ? AND anno = ? AND "
                       "datap IS NOT NULL ORDER BY ID"),
        {ten.user, ten.year});
    const QString payeeName =
        payee.ok() && payee.value.next() ? payee.value.value(0).toString() : QString();
    payee.value.finish();
    const std::pair<const char*, ReportRequest> documents[] = {
        {"document_F24_one_month_size",
         {QStringLiteral("F24"), ten.user, ten.name, ten.year, 6, {}, {}, {}}},
        {"document_Attestazione_one_payee_size",
         {QStringLiteral("Attestazione"), ten.user, ten.name, ten.year, 0, {}, payeeName, {}}},
    };
    for (const auto& [label, request] : documents) {
        const QString pdf = dir.filePath(QLatin1String(label) + QStringLiteral(".pdf"));
        if (Status s = exportReport(request, pdf); !s.ok()) {
            fail(s.error());
            continue;
        }
        figure(label, double(QFileInfo(pdf).size()) / 1000.0, "KB");
    }
}

// The 770 prospectus of the user whose reference year (fees paid in it) is nearest
// 100,000 records, and the general one of the reference year with the most records
// (every user): the grouping query in the program beside the shell, and the whole
// report to PDF. Its peak memory beside that of the user-year nearest 1,000 records: in
// constant memory, the larger years add little to it.
void measureProspectus(const QString& file, int runs) {
    struct Year {
        QString user;
        int year = 0;
        int rows = 0;
    } near, busiest, small;
    Result<QSqlQuery> q =
        store::run(QStringLiteral("SELECT utente, substr(datap, 1, 4), count(*) FROM Ritenute "
                                  "WHERE datap IS NOT NULL GROUP BY 1, 2"));
    QMap<int, int> perYear;
    while (q.ok() && q.value.next()) {
        const Year y{q.value.value(0).toString(), q.value.value(1).toInt(),
                     q.value.value(2).toInt()};
        if (near.rows == 0 || std::abs(y.rows - 100000) < std::abs(near.rows - 100000))
            near = y;
        if (small.rows == 0 || std::abs(y.rows - 1000) < std::abs(small.rows - 1000))
            small = y;
        perYear[y.year] += y.rows;
    }
    for (auto it = perYear.cbegin(); it != perYear.cend(); ++it) {
        if (it.value() > busiest.rows)
            busiest = {QString(), it.key(), it.value()};
    }
    const auto requestOf = [](const Year& y) {
        return ReportRequest{y.user.isEmpty() ? st770::kGeneralName : st770::kName,
                             y.user,
                             {},
                             QString::number(y.year),
                             0,
                             {},
                             {},
                             {}};
    };
    std::printf("# Prospetto770 small: user %s, reference year %d, %d records\n",
                qPrintable(small.user), small.year, small.rows);
    const st770::Query smallQuery = st770::groupingQuery(small.user, small.year);
    const double smallPeak =
        measureReport("Prospetto770_small", requestOf(small), file, std::max(1, runs / 3),
                      withValues(smallQuery.sql, smallQuery.values));
    for (const auto& [label, y] : {std::pair("100k", near), std::pair("busiest_year", busiest)}) {
        std::printf("# Prospetto770 %s: user %s, reference year %d, %d records\n", label,
                    qPrintable(y.user.isEmpty() ? QStringLiteral("(all)") : y.user), y.year,
                    y.rows);
        const st770::Query query = st770::groupingQuery(y.user, y.year);
        const QString name = QStringLiteral("st770_query_%1").arg(QLatin1String(label));
        figure(qPrintable(name),
               medianOf(runs,
                        [&] {
                            return millisecondsOf([&] {
                                Result<QSqlQuery> rows = store::run(query.sql, query.values);
                                while (rows.ok() && rows.value.next()) {
                                }
                            });
                        }),
               "ms");
        const QString sql = withValues(query.sql, query.values);
        figure(qPrintable(name + QStringLiteral("_sqlite3_shell")),
               medianOf(runs, [&] { return sqliteShellMs(file, sql); }), "ms");
        const char* report = y.user.isEmpty() ? "Prospetto770G_busiest_year" : "Prospetto770_100k";
        const double peak = measureReport(report, requestOf(y), file, std::max(1, runs / 3), sql);
        if (peak > 0 && smallPeak > 0)
            figure(qPrintable(
                       QStringLiteral("report_%1_peak_ratio_to_small").arg(QLatin1String(report))),
                   peak / smallPeak, "x");
    }
}

// The child process of measureExport: one report written to a spreadsheet file, as the
// command line does it. Prints the peak resident memory in KiB.
int exportMemory(const QString& file, const ReportRequest& request, const QString& format,
                 const QString& out) {
    if (Status s = store::openDatabase(file); !s.ok())
        return fail(s.error()), 1;
    const auto kind =
        format == u"xlsx" ? table_export::FileFormat::Xlsx : table_export::FileFormat::Csv;
    if (Status s = exportReportAsTable(request, kind, out); !s.ok())
        return fail(s.error()), 1;
    std::printf("%ld\n", statusKb("VmHWM"));
    return 0;
}

// A report to a spreadsheet file: the median time in this process over `runs`, and the
// peak memory of a fresh process doing the same.
void measureExport(const char* label, const QString& file, const ReportRequest& request, int runs) {
    QTemporaryDir dir;
    for (const char* format : {"xlsx", "csv"}) {
        const QString out = dir.filePath(QStringLiteral("report.") + QLatin1String(format));
        const auto kind = QLatin1String(format) == u"xlsx" ? table_export::FileFormat::Xlsx
                                                           : table_export::FileFormat::Csv;
        const double ms = medianOf(runs, [&] {
            return millisecondsOf([&] {
                if (Status s = exportReportAsTable(request, kind, out); !s.ok())
                    fail(s.error());
            });
        });
        std::printf("# %s %s: %.1f MiB\n", label, format, QFileInfo(out).size() / 1048576.0);
        figure(qPrintable(QStringLiteral("report_%1_%2").arg(QLatin1String(label), format)), ms,
               "ms");
        QProcess child;
        child.start(QApplication::applicationFilePath(),
                    {QStringLiteral("export-memory"), file, request.name, request.userId,
                     request.year, QLatin1String(format), out});
        child.waitForFinished(-1);
        const long kb = child.readAllStandardOutput().trimmed().toLong();
        if (child.exitCode() != 0 || kb <= 0) {
            fail(QStringLiteral("misura della memoria non riuscita"));
            continue;
        }
        figure(qPrintable(QStringLiteral("peak_memory_%1_%2").arg(QLatin1String(label), format)),
               kb / 1024.0, "MiB");
    }
}

void measureExports(const QString& file, const UserYear& ten, int runs) {
    measureExport("ElencoR_10k", file,
                  {QStringLiteral("ElencoR"), ten.user, ten.name, ten.year, 0, {}, {}}, runs);
    // The whole ledger once: it takes long enough to be its own median.
    measureExport("StampaS_whole_ledger", file, {QStringLiteral("StampaS"), {}, {}, {}, 0, {}, {}},
                  1);
}

// The preview of a report as the operator meets it: prepared and open on its first page,
// then the last page shown. Both in the measuring process, one after the other.
void measurePreview(const char* label, const ReportRequest& request, int runs) {
    std::vector<double> opened;
    std::vector<double> last;
    for (int i = 0; i < runs; ++i) {
        std::unique_ptr<report::ReportPreview> preview;
        opened.push_back(millisecondsOf([&] {
            const Result<PreparedReport> prepared = prepareReport(request);
            if (!prepared.ok() || prepared.value.outcome != ReportOutcome::Ready)
                return;
            preview =
                std::make_unique<report::ReportPreview>(std::make_shared<report::ReportDocument>(
                    prepared.value.layout, prepared.value.rows));
            preview->show();
            QApplication::processEvents();
        }));
        if (!preview) {
            fail(QStringLiteral("anteprima %1 non riuscita").arg(request.name));
            return;
        }
        last.push_back(millisecondsOf([&] {
            preview->lastPage();
            QApplication::processEvents();
        }));
    }
    figure(qPrintable(QStringLiteral("preview_%1_first_page").arg(QLatin1String(label))),
           median(opened), "ms");
    figure(qPrintable(QStringLiteral("preview_%1_last_page").arg(QLatin1String(label))),
           median(last), "ms");
}

// The saves measured: kSaveRounds sessions of kSaveCount saves of each kind.
constexpr int kSaveRounds = 20;
constexpr int kSaveCount = 1000;

// The times of the saves, in milliseconds.
struct SaveTimes {
    std::vector<double> recorded;
    std::vector<double> unrecorded;
};

// One round: the ledger opened afresh, as an operator's session starts, then 2 * kSaveCount
// records saved, each in its own transaction, and taken away again: kSaveCount with their
// entry in the record of changes, as every save of the program, and kSaveCount without, as
// the program's own upkeep writes, mixed so that both meet the same ledger and the same disk.
// The mix is drawn at random, the same in every run: taken strictly in turn, the save that
// fills the log and pays its checkpoint (after some 150 pairs) fell on the same kind each
// time, nearly always the larger one.
bool saveRound(const UserYear& target, const QString& location, int round, SaveTimes& times) {
    store::closeDatabase();
    if (Status s = store::openDatabase(location); !s.ok())
        return fail(s.error());
    // The files the figures before wrote (reports of tens of megabytes) reach the disk
    // first: their flushing would otherwise be charged to the saves' durable commits.
    ::sync();
    std::vector<bool> upkeepAt(2 * kSaveCount, false);
    std::fill(upkeepAt.begin() + kSaveCount, upkeepAt.end(), true);
    std::shuffle(upkeepAt.begin(), upkeepAt.end(), std::mt19937(unsigned(round)));
    qint64 firstId = 0;
    for (int i = 0; i < 2 * kSaveCount; ++i) {
        WithholdingEntry e;
        e.subjectName = QStringLiteral("MISURA SRL");
        e.invoiceNumber = QString::number(i + 1);
        e.invoiceDate = QStringLiteral("15/03/%1").arg(target.year);
        e.taxable = QStringLiteral("1.000,00");
        e.rate = QStringLiteral("20");
        e.withheld = QStringLiteral("200,00");
        e.other = QStringLiteral("0");
        e.year = target.year;
        e.user = target.user;
        const WithholdingRecord record = ledger::recordFromEntry(e);
        std::optional<store::RecordedAs> upkeep;
        if (upkeepAt[i])
            upkeep.emplace(store::connection(), store::Azione::Manutenzione);
        qint64 id = 0;
        (upkeep ? times.unrecorded : times.recorded).push_back(millisecondsOf([&] {
            id = ledger::insertWithholding(record).value;
        }));
        if (i == 0)
            firstId = id;
    }
    const store::RecordedAs upkeep(store::connection(), store::Azione::Manutenzione);
    return store::run(QStringLiteral("DELETE FROM Ritenute WHERE ID >= ?"), {firstId}).ok();
}

// Prints each kind's mean and 99th percentile over every round's saves and what the record
// costs; returns the mean of the recorded saves.
double measureSaveTimes(const UserYear& target, const QString& location, const char* prefix) {
    SaveTimes times;
    for (int i = 0; i < kSaveRounds; ++i) {
        if (!saveRound(target, location, i, times))
            return 0;
    }
    const auto mean = [](const std::vector<double>& values) {
        double sum = 0;
        for (double v : values)
            sum += v;
        return sum / double(values.size());
    };
    const auto print = [prefix](const char* name, double value, const char* unit) {
        figure(qPrintable(QLatin1String(prefix) + QLatin1String(name)), value, unit);
    };
    const double recordedMean = mean(times.recorded);
    const double recordedP99 = percentile(times.recorded, 0.99);
    const double unrecordedMean = mean(times.unrecorded);
    const double unrecordedP99 = percentile(times.unrecorded, 0.99);
    print("save_mean", recordedMean, "ms");
    print("save_p99", recordedP99, "ms");
    print("save_unrecorded_mean", unrecordedMean, "ms");
    print("save_unrecorded_p99", unrecordedP99, "ms");
    print("save_record_mean_ratio", recordedMean / unrecordedMean, "x");
    print("save_record_p99_ratio", recordedP99 / unrecordedP99, "x");
    return recordedMean;
}

void measureSaves(const UserYear& target, const QString& file) {
    const int count = kSaveCount;
    const double mean = measureSaveTimes(target, file, "");

    QTemporaryDir dir;
    QFile script(dir.filePath(QStringLiteral("inserts.sql")));
    script.open(QIODevice::WriteOnly);
    script.write("PRAGMA journal_mode=WAL;\nPRAGMA synchronous=FULL;\n");
    // The shell's saves write their record of changes as the program's do: through the
    // program's own triggers, taken from its connection.
    Result<QSqlQuery> recording =
        store::run(QStringLiteral("SELECT sql FROM temp.sqlite_master WHERE sql IS NOT NULL "
                                  "ORDER BY type = 'trigger'"));
    while (recording.value.next())
        script.write(recording.value.value(0)
                         .toString()
                         .replace(QRegularExpression(QStringLiteral("^CREATE (TABLE|TRIGGER)")),
                                  QStringLiteral("CREATE TEMP \\1"))
                         .toUtf8() +
                     ";\n");
    script.write("INSERT INTO temp.contesto VALUES ('misura', 'banco', NULL);\n");
    for (int i = 0; i < count; ++i)
        script.write(QStringLiteral("INSERT INTO Ritenute (denominazione, FT, data, imponibile, "
                                    "aliquota, ritenuta, altro, totale, pag, ravv, anno, utente) "
                                    "VALUES ('MISURA SRL', '%1', '%2-03-15', 100000, 2000, 20000, "
                                    "0, 120000, 'N', 'N', '%2', '%3');\n")
                         .arg(i + 1)
                         .arg(target.year, target.user)
                         .toUtf8());
    script.write("UPDATE temp.contesto SET azione = 'manutenzione';\n"
                 "DELETE FROM Ritenute WHERE denominazione = 'MISURA SRL';\n");
    script.close();
    ::sync();
    QProcess shell;
    shell.setStandardInputFile(script.fileName());
    shell.setStandardOutputFile(QProcess::nullDevice());
    const double total = millisecondsOf([&] {
        shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), file});
        shell.waitForFinished(-1);
    });
    if (shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0) {
        fail(QStringLiteral("salvataggi del sqlite3 non riusciti"));
        return;
    }
    figure("save_sqlite3_shell_mean", total / (count + 1), "ms");
    figure("save_mean_shell_ratio", mean / (total / (count + 1)), "x");
}

void measureReports(const QString& file, const UserYear& ten, int runs) {
    measureReport("ElencoR_10k",
                  {QStringLiteral("ElencoR"), ten.user, ten.name, ten.year, 0, {}, {}, {}}, file,
                  runs);
    const ReportRequest wholeLedger{QStringLiteral("StampaS"), {}, {}, {}, 0, {}, {}, {}};
    measureReport("StampaS_whole_ledger", wholeLedger, file, std::max(1, runs / 3));
    measurePreview("StampaS_whole_ledger", wholeLedger, runs);
    measureElencoProcess(file, ten, runs);
    measureDocumentSizes(ten);
    measureProspectus(file, runs);
}

double reportMs(const ReportRequest& request, int runs) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    return medianOf(runs, [&] { return millisecondsOf([&] { exportReport(request, pdf); }); });
}

ReportRequest elencoOf(const UserYear& target) {
    return {QStringLiteral("ElencoR"), target.user, target.name, target.year, 0, {}, {}, {}};
}

// Deletes the user-year `year` with its entries in the record of changes, as the operator
// does (its automatic copy of a file included), from `ledger`. Prints the time; leaves no
// ledger open.
void measureYearDeletion(const QString& ledger, const UserYear& year, const char* prefix) {
    store::closeDatabase();
    if (Status s = store::openDatabase(ledger); !s.ok()) {
        fail(s.error());
        return;
    }
    int deleted = 0;
    Status done = Status::success();
    const double ms =
        millisecondsOf([&] { done = year_deletion::deleteYear(year.user, year.year, &deleted); });
    store::closeDatabase();
    if (!done.ok()) {
        fail(done.error());
        return;
    }
    std::printf("# year deletion: user %s, year %s, %d records\n", qPrintable(year.user),
                qPrintable(year.year), deleted);
    figure(qPrintable(QLatin1String(prefix) + QLatin1String("delete_year_100k")), ms, "ms");
}

// Runs `work` on a copy of the ledger at `location`, then drops the copy, so that the writes
// measured leave the measured ledger as it was (its record of changes, which only grows,
// included). A file is copied beside it, after it is closed (its log then holds nothing); a
// server's database is made from it as a template, which takes no connection to it meanwhile.
void onCopy(const QString& location, const std::function<void(const QString&)>& work) {
    store::closeDatabase();
    if (!store::isServerAddress(location)) {
        QTemporaryDir dir(QFileInfo(location).absolutePath() + QStringLiteral("/copy-XXXXXX"));
        const QString copy = dir.filePath(QStringLiteral("ledger.db"));
        if (!QFile::copy(location, copy)) {
            fail(QStringLiteral("copia del registro da misurare non riuscita"));
            return;
        }
        ::sync();
        work(copy);
        store::closeDatabase();
        return;
    }
    const store::LedgerAddress address = store::parseLedgerAddress(location);
    const QString copyName = address.database + QStringLiteral("_misura");
    {
        QSqlDatabase admin =
            QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench-admin"));
        admin.setHostName(address.host);
        admin.setPort(address.port);
        admin.setUserName(address.user);
        admin.setDatabaseName(QStringLiteral("postgres"));
        QSqlQuery query(admin);
        if (!admin.open() || !query.exec(QStringLiteral("SET client_min_messages = warning")) ||
            !query.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(copyName)) ||
            !query.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2 STRATEGY FILE_COPY")
                            .arg(copyName, address.database))) {
            fail(QStringLiteral("copia del database da misurare non riuscita: %1")
                     .arg(query.lastError().text() + admin.lastError().text()));
        } else {
            QString copy = location;
            copy.replace(QRegularExpression(QStringLiteral("/[^/]*$")),
                         QLatin1Char('/') + copyName);
            work(copy);
            store::closeDatabase();
            query.exec(QStringLiteral("DROP DATABASE %1").arg(copyName));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-admin"));
}

// The saves of `location`, a file's beside the sqlite3 shell's.
void measureSavesOf(const QString& location, const UserYear& ten) {
    if (store::isServerAddress(location))
        measureSaveTimes(ten, location, "pg_");
    else
        measureSaves(ten, location);
}

// The writes: saves, then the deletion of the user-year of 100,000 records, on a copy.
void measureWrites(const QString& location, const UserYear& ten, const UserYear& hundred) {
    onCopy(location, [&](const QString& copy) {
        measureSavesOf(copy, ten);
        measureYearDeletion(copy, hundred, store::isServerAddress(copy) ? "pg_" : "");
    });
}

int measure(const QString& file, int runs) {
    std::vector<double> startup;
    for (int i = 0; i < runs; ++i) {
        ScriptedMessageBoxes boxes;
        startup.push_back(millisecondsOf([&] {
            if (!store::openDatabase(file).ok())
                return;
            Nota window(boxes);
            window.show();
            QApplication::processEvents();
        }));
        store::closeDatabase();
    }
    if (Status s = store::openDatabase(file); !s.ok())
        return fail(s.error()), 1;
    Result<QSqlQuery> count = store::run(QStringLiteral("SELECT count(*) FROM Ritenute"));
    count.value.next();
    std::printf("# ledger: %s, %lld records\n", qPrintable(file),
                count.value.value(0).toLongLong());
    figure("startup_main_window_ready", median(startup), "ms");

    const UserYear ten = userYearNear(10000);
    const UserYear hundred = userYearNear(100000);
    measureGrid("10k", ten, file, runs);
    measureGrid("100k", hundred, file, runs);
    measureGridMemory(file, hundred);

    measureReports(file, ten, runs);
    measureExports(file, ten, runs);

    measureWrites(file, ten, hundred);
    return 0;
}

int measureOnly(const QString& file, int runs,
                const std::function<void(const QString&, const UserYear&, int)>& figures) {
    if (Status s = store::openDatabase(file); !s.ok())
        return fail(s.error()), 1;
    figures(file, userYearNear(10000), runs);
    store::closeDatabase();
    return 0;
}

// The columns of a record but its key, for the shell's copies of records.
const QString kRecordColumns = QStringLiteral(
    "ID_A, denominazione, ordine, FT, data, imponibile, aliquota, ritenuta, altro, totale, "
    "pag, datap, periodo, versamento, ravv, versato, interessi, sanzione, tributo, anno, "
    "utente, scadenza");

// The user-year nearest 10,000 records exported from the ledger grid to Excel, then
// brought into fresh ledgers holding only the user: reading the workbook, checking the
// rows (and finding their payees), writing them with their new payees; beside the shell
// copying the same rows between two files.
int measureImport(const QString& file, int runs) {
    if (Status s = store::openDatabase(file); !s.ok())
        return fail(s.error()), 1;
    const UserYear ten = userYearNear(10000);
    QTemporaryDir dir;
    const QString workbook = dir.filePath(QStringLiteral("Ritenute.xlsx"));
    {
        ScriptedMessageBoxes boxes;
        Nota window(boxes);
        enter(window, ten);
        window.action("Rmodifica")->trigger();
        if (!window.selectionGrid().exportTo(table_export::FileFormat::Xlsx, workbook))
            return fail(QStringLiteral("esportazione non riuscita")), 1;
    }
    store::closeDatabase();
    std::printf("# import: user %s, year %s, %d records, %.1f MiB workbook\n", qPrintable(ten.user),
                qPrintable(ten.year), ten.rows, QFileInfo(workbook).size() / 1048576.0);
    // Wall time, and the processor time of this single-threaded work: on a loaded machine
    // the second is the figure to compare.
    std::vector<double> read, readCpu;
    std::vector<double> plan, planCpu;
    std::vector<double> write, writeCpu;
    const auto timed = [](std::vector<double>& wall, std::vector<double>& cpu,
                          const std::function<void()>& work) {
        const std::clock_t start = std::clock();
        wall.push_back(millisecondsOf(work));
        cpu.push_back(double(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC);
    };
    for (int i = 0; i < runs; ++i) {
        if (Status s = store::openDatabase(dir.filePath(QStringLiteral("target%1.db").arg(i)));
            !s.ok())
            return fail(s.error()), 1;
        registry::Subject user;
        user.name = ten.name;
        user.user = true;
        const Result<qint64> userId = registry::insertSubject(user);
        sheet::Table table;
        timed(read, readCpu, [&] { table = sheet::readSpreadsheet(workbook); });
        // The workbook names no codes: the payees to create get theirs as the operator
        // types them in the preview, before the timed plan.
        importing::PlanOptions options{
            QString::number(userId.value), ten.year, true, QDate::currentDate(), {}};
        const Result<importing::ImportPlan> asked =
            importing::planImport(table, importing::layoutOf(table), options);
        for (const QString& name : asked.value.payeesWithoutTaxCode)
            options.typedCodes.insert(name.toCaseFolded(),
                                      {QStringLiteral("CF%1").arg(options.typedCodes.size()), {}});
        Result<importing::ImportPlan> planned;
        timed(plan, planCpu,
              [&] { planned = importing::planImport(table, importing::layoutOf(table), options); });
        importing::ImportOutcome outcome;
        timed(write, writeCpu, [&] { outcome = importing::runImport(planned.value); });
        store::closeDatabase();
        if (!table.error.isEmpty() || !planned.ok() || !outcome.status.ok() ||
            outcome.records != planned.value.importable())
            return fail(QStringLiteral("importazione non riuscita")), 1;
        if (i > 0)
            continue;
        // The generated records are not all consistent: say how many pass the checks.
        QMap<QString, int> reasons;
        for (const importing::PlannedRow& row : planned.value.rows) {
            if (row.verdict == importing::RowVerdict::Stopped)
                ++reasons[row.findings.back().message.trimmed()];
        }
        std::printf("# import: %d rows written, %d stopped, %d duplicates\n", outcome.records,
                    planned.value.count(importing::RowVerdict::Stopped),
                    planned.value.count(importing::RowVerdict::Duplicate));
        for (auto it = reasons.begin(); it != reasons.end(); ++it)
            std::printf("#   %d: %s\n", it.value(), qPrintable(it.key()));
    }
    figure("import_10k_read_xlsx", median(read), "ms");
    figure("import_10k_read_xlsx_cpu", median(readCpu), "ms");
    figure("import_10k_check_rows", median(plan), "ms");
    figure("import_10k_check_rows_cpu", median(planCpu), "ms");
    figure("import_10k_write", median(write), "ms");
    figure("import_10k_write_cpu", median(writeCpu), "ms");
    const QString copy = QStringLiteral("ATTACH '%1' AS big; INSERT INTO Ritenute (%2) SELECT %2 "
                                        "FROM big.Ritenute WHERE utente = '%3' AND anno = '%4';")
                             .arg(file, kRecordColumns, ten.user, ten.year);
    figure(
        "import_10k_write_sqlite3_shell",
        medianOf(runs,
                 [&] { return sqliteShellMs(dir.filePath(QStringLiteral("target0.db")), copy); }),
        "ms");
    return 0;
}

// The child process of measureInvoices: the records of the invoices in `zip` written
// into the ledger `file` as `velarco --import-fatture --nuovi-soggetti` does. Prints the
// milliseconds, the peak resident size in KiB and the records written.
int invoicesChild(const QString& zip, const QString& file) {
    if (Status s = store::openDatabase(file); !s.ok())
        return fail(s.error()), 1;
    importing::ImportOutcome outcome;
    const double ms = millisecondsOf([&] {
        const Result<QList<importing::LedgerUser>> users = importing::ledgerUsers();
        const Result<importing::InvoiceRows> read = importing::readInvoiceRows(zip, users.value);
        importing::PlanOptions options;
        options.createSubjects = true;
        options.duplicatesInEveryYear = true;
        const Result<importing::ImportPlan> plan =
            importing::planRows(read.value.rows, options, read.value.codes);
        outcome = importing::runImport(plan.value);
    });
    store::closeDatabase();
    if (!outcome.status.ok())
        return fail(outcome.status.error()), 1;
    std::printf("%.3f %ld %d\n", ms, statusKb("VmHWM"), outcome.records);
    return 0;
}

// A zip of `count` invoices of 200 suppliers to one user, each with its metadata file, as
// a bulk download holds them; imported into a ledger holding only the user, in a fresh
// process each run (time and peak memory); beside `unzip` extracting the archive and the
// shell copying the same records between two files.
int measureInvoices(int count, int runs) {
    QTemporaryDir dir;
    const QString zip = dir.filePath(QStringLiteral("fatture.zip"));
    {
        QList<QPair<QString, QByteArray>> members;
        for (int i = 0; i < count; ++i) {
            samples::Invoice invoice;
            const int supplier = i % 200;
            invoice.supplier.lastName = QStringLiteral("Fornitore%1").arg(supplier);
            invoice.supplier.taxCode =
                QStringLiteral("BNCMRA70A01H%1X").arg(supplier, 3, 10, QLatin1Char('0'));
            invoice.supplier.vatNumber = QString::number(10000000000LL + supplier);
            invoice.bodies.front().number = QStringLiteral("%1/2026").arg(i + 1);
            const QString name = QStringLiteral("IT%1_%2")
                                     .arg(invoice.supplier.vatNumber)
                                     .arg(i, 5, 36, QLatin1Char('0'));
            members.append({name + QStringLiteral(".xml"), samples::invoiceXml(invoice)});
            members.append({name + QStringLiteral("_MT_001.xml"), samples::metadataXml(name)});
        }
        QFile file(zip);
        if (!file.open(QIODevice::WriteOnly) || file.write(samples::zipOf(members)) < 0)
            return fail(QStringLiteral("archivio non scritto")), 1;
    }
    const QString empty = dir.filePath(QStringLiteral("vuoto.db"));
    if (Status s = store::openDatabase(empty); !s.ok())
        return fail(s.error()), 1;
    registry::Subject user;
    user.name = QStringLiteral("STUDIO BETA SRL");
    user.vatNumber = QStringLiteral("09876543217");
    user.user = true;
    if (!registry::insertSubject(user).ok())
        return fail(QStringLiteral("utente non inserito")), 1;
    store::closeDatabase();
    std::printf("# fatture: %d invoices, %.1f MiB zip\n", count, QFileInfo(zip).size() / 1048576.0);
    std::vector<double> ms;
    std::vector<double> peak;
    for (int i = 0; i < runs; ++i) {
        const QString target = dir.filePath(QStringLiteral("run%1.db").arg(i));
        QFile::copy(empty, target);
        QProcess child;
        child.start(QApplication::applicationFilePath(),
                    {QStringLiteral("fatture-child"), zip, target});
        child.waitForFinished(-1);
        const QList<QByteArray> out = child.readAllStandardOutput().trimmed().split(' ');
        if (child.exitCode() != 0 || out.size() != 3 || out.at(2).toInt() != count)
            return fail(QStringLiteral("importazione delle fatture non riuscita")), 1;
        ms.push_back(out.at(0).toDouble());
        peak.push_back(out.at(1).toDouble() / 1024.0);
    }
    figure("fatture_import", median(ms), "ms");
    figure("fatture_import_peak_memory", median(peak), "MiB");
    figure("fatture_unzip",
           medianOf(runs,
                    [&] {
                        QProcess unzip;
                        return millisecondsOf([&] {
                            unzip.start(QStringLiteral("unzip"),
                                        {QStringLiteral("-qq"), QStringLiteral("-o"), zip,
                                         QStringLiteral("-d"),
                                         dir.filePath(QStringLiteral("estratti"))});
                            unzip.waitForFinished(-1);
                        });
                    }),
           "ms");
    const QString copy =
        QStringLiteral("ATTACH '%1' AS big; INSERT INTO Ritenute (%2) SELECT %2 FROM big.Ritenute;")
            .arg(dir.filePath(QStringLiteral("run0.db")), kRecordColumns);
    figure("fatture_write_sqlite3_shell",
           medianOf(runs,
                    [&] {
                        const QString target = dir.filePath(QStringLiteral("shell.db"));
                        QFile::remove(target);
                        QFile::copy(empty, target);
                        return sqliteShellMs(target, copy);
                    }),
           "ms");
    return 0;
}

// The figures of a ledger on a PostgreSQL server at `url`, which holds the same ledger
// as the SQLite `file` (scripts/bench copies it there), and ElencoR on both.
int measureServer(const QString& url, const QString& file, int runs) {
    if (Status s = store::openDatabase(file); !s.ok())
        return fail(s.error()), 1;
    const UserYear ten = userYearNear(10000);
    // The whole ledger once: it takes long enough to be its own median.
    const ReportRequest wholeLedger{QStringLiteral("StampaS"), {}, {}, {}, 0, {}, {}, {}};
    const double onFile = reportMs(elencoOf(ten), runs);
    const double wholeOnFile = reportMs(wholeLedger, 1);
    store::closeDatabase();
    if (Status s = store::openDatabase(url); !s.ok())
        return fail(s.error()), 1;
    const UserYear hundred = userYearNear(100000);
    std::printf("# server ledger: %s\n", qPrintable(url));
    measureGrid("pg_100k", hundred, QString(), runs);
    const double onServer = reportMs(elencoOf(ten), runs);
    figure("pg_report_ElencoR_10k_pdf", onServer, "ms");
    figure("sqlite_report_ElencoR_10k_pdf", onFile, "ms");
    figure("pg_report_ElencoR_10k_ratio_to_sqlite", onServer / onFile, "x");
    const double wholeOnServer = reportMs(wholeLedger, 1);
    figure("pg_report_StampaS_whole_ledger_pdf", wholeOnServer, "ms");
    figure("sqlite_report_StampaS_whole_ledger_pdf", wholeOnFile, "ms");
    figure("pg_report_StampaS_whole_ledger_ratio_to_sqlite", wholeOnServer / wholeOnFile, "x");
    measureWrites(url, ten, hundred);
    return 0;
}

int generate(const QStringList& args) {
    LedgerShape shape;
    const QString file = args.value(2);
    for (int i = 3; i + 1 < args.size(); i += 2) {
        const QString& option = args.at(i);
        const int value = args.at(i + 1).toInt();
        if (option == QLatin1String("--subjects"))
            shape.subjects = value;
        else if (option == QLatin1String("--users"))
            shape.users = value;
        else if (option == QLatin1String("--records"))
            shape.recordsPerYear = value;
        else if (option == QLatin1String("--years"))
            shape.years = value;
        else if (option == QLatin1String("--big"))
            shape.bigYearRecords = value;
        else if (option == QLatin1String("--seed"))
            shape.seed = quint64(value);
        else
            return fail(QStringLiteral("opzione sconosciuta %1").arg(option)), 2;
    }
    const Status s = generateLedger(file, shape, [](qint64 written, qint64 total) {
        std::fprintf(stderr, "\r%lld / %lld", written, total);
    });
    std::fprintf(stderr, "\n");
    return s.ok() ? 0 : (fail(s.error()), 1);
}

// Prints the README's table with the run's values, then each missed target, each README
// value the run contradicts and each figure not taken; the status of figure_check.
int check(const QString& readme, const QString& figures) {
    QFile table(readme);
    QFile run(figures);
    if (!table.open(QIODevice::ReadOnly) || !run.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("impossibile leggere %1 o %2").arg(readme, figures)), 2;
    const QList<figure_check::Row> rows =
        figure_check::readmeRows(QString::fromUtf8(table.readAll()));
    if (rows.isEmpty())
        return fail(QStringLiteral("%1 non ha la tabella delle prestazioni").arg(readme)), 2;
    const figure_check::Outcome outcome =
        figure_check::check(rows, figure_check::readRun(QString::fromUtf8(run.readAll())));
    std::printf("\n%s\n", qPrintable(outcome.table));
    for (const QString& line : outcome.missed)
        std::printf("MISSED %s\n", qPrintable(line));
    for (const QString& line : outcome.contradicted)
        std::printf("CONTRADICTED %s\n", qPrintable(line));
    for (const QString& line : outcome.notes)
        std::printf("NOTE %s\n", qPrintable(line));
    std::printf("%s\n", outcome.status() == 0   ? "check: every target met, the README agrees"
                        : outcome.status() == 1 ? "check: a target missed"
                                                : "check: targets met, the README disagrees");
    return outcome.status();
}

// The offscreen platform warns about window hints it cannot honour; the figures are
// easier to read without that noise.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtDebugMsg && !message.contains(QLatin1String("propagateSizeHints")) &&
        !message.contains(QLatin1String("XDG_RUNTIME_DIR")))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() >= 3 && args.at(1) == QLatin1String("generate"))
        return generate(args);
    if (args.size() >= 3 && args.at(1) == QLatin1String("measure")) {
        const int runs =
            args.size() >= 5 && args.at(3) == QLatin1String("--runs") ? args.at(4).toInt() : 5;
        return measure(args.at(2), std::max(1, runs));
    }
    if (args.size() == 6 && args.at(1) == QLatin1String("report-pdf"))
        return reportChild(args.at(2), {args.at(3), args.at(4), {}, args.at(5), 0, {}, {}, {}});
    if (args.size() >= 3 && args.at(1) == QLatin1String("measure-exports")) {
        const int runs =
            args.size() >= 5 && args.at(3) == QLatin1String("--runs") ? args.at(4).toInt() : 5;
        return measureOnly(args.at(2), std::max(1, runs), measureExports);
    }
    if (args.size() >= 3 && args.at(1) == QLatin1String("measure-reports")) {
        const int runs =
            args.size() >= 5 && args.at(3) == QLatin1String("--runs") ? args.at(4).toInt() : 5;
        return measureOnly(args.at(2), std::max(1, runs), measureReports);
    }
    if (args.size() >= 3 && args.at(1) == QLatin1String("measure-saves"))
        return measureOnly(args.at(2), 1, [](const QString& ledger, const UserYear& ten, int) {
            onCopy(ledger, [&](const QString& copy) { measureSavesOf(copy, ten); });
        });
    if (args.size() >= 3 && args.at(1) == QLatin1String("measure-import")) {
        const int runs =
            args.size() >= 5 && args.at(3) == QLatin1String("--runs") ? args.at(4).toInt() : 5;
        return measureImport(args.at(2), std::max(1, runs));
    }
    if (args.size() == 8 && args.at(1) == QLatin1String("export-memory"))
        return exportMemory(args.at(2), {args.at(3), args.at(4), {}, args.at(5), 0, {}, {}, {}},
                            args.at(6), args.at(7));
    if (args.size() >= 4 && args.at(1) == QLatin1String("measure-server")) {
        const int runs =
            args.size() >= 6 && args.at(4) == QLatin1String("--runs") ? args.at(5).toInt() : 5;
        return measureServer(args.at(2), args.at(3), std::max(1, runs));
    }
    if (args.size() == 4 && args.at(1) == QLatin1String("check"))
        return check(args.at(2), args.at(3));
    if (args.size() >= 2 && args.at(1) == QLatin1String("measure-fatture")) {
        const int count = args.indexOf(QStringLiteral("--count")) > 0
                              ? args.value(args.indexOf(QStringLiteral("--count")) + 1).toInt()
                              : 10000;
        const int runs = args.indexOf(QStringLiteral("--runs")) > 0
                             ? args.value(args.indexOf(QStringLiteral("--runs")) + 1).toInt()
                             : 3;
        return measureInvoices(std::max(1, count), std::max(1, runs));
    }
    if (args.size() == 4 && args.at(1) == QLatin1String("fatture-child"))
        return invoicesChild(args.at(2), args.at(3));
    if (args.size() == 6 && args.at(1) == QLatin1String("grid-memory"))
        return gridMemory(args.at(2), {args.at(3), args.at(4), args.at(5), 0});
    std::fprintf(stderr,
                 "uso: velarco-bench generate FILE [opzioni] | measure FILE [--runs N] | "
                 "measure-exports FILE [--runs N] | measure-reports FILE [--runs N] | "
                 "measure-import FILE [--runs N] | measure-saves FILE|URL | measure-server URL "
                 "FILE [--runs N] | "
                 "measure-fatture [--count N] [--runs N] | check README FIGURES\n");
    return 2;
}
