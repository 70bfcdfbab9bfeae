#include "app/command_line_help.h"
#include "app/exit_status.h"
#include "app/startup_options.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>

namespace {

QString sourceFile(const QString& path) {
    QFile file(qEnvironmentVariable("VELARCO_SOURCE_DIR") + QLatin1Char('/') + path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The text of the manual page's section `heading` (".SH heading" up to the next ".SH").
QString manualSection(const QString& heading) {
    const QString page = sourceFile(QStringLiteral("packaging/velarco.1"));
    const QRegularExpression section(QStringLiteral("\\n\\.SH \"?%1\"?\\n(.*?)(\\n\\.SH |$)")
                                         .arg(QRegularExpression::escape(heading)),
                                     QRegularExpression::DotMatchesEverythingOption);
    return section.match(page).captured(1);
}

// The lines of `--help` that begin with `start`.
QStringList helpLinesStarting(const QString& start) {
    QStringList found;
    for (const QString& line : helpText().split(QLatin1Char('\n'))) {
        if (line.startsWith(start))
            found.append(line);
    }
    return found;
}

} // namespace

// The option table is the one source: `--help` is built from it, the manual page and the
// README are written by hand and must name the same options and statuses.
class CommandLineHelpTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void option_data();
    void option();
    void exitStatus_data();
    void exitStatus();
    void manualNamesOnlyKnownOptions();
    void helpFitsATerminal();
    void program_data();
    void program();
};

void CommandLineHelpTest::initTestCase() {
    QVERIFY2(!manualSection(QStringLiteral("OPZIONI")).isEmpty(),
             "packaging/velarco.1 has no OPZIONI section (is VELARCO_SOURCE_DIR set?)");
}

void CommandLineHelpTest::option_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("takesValue");
    QTest::addColumn<QString>("valueName");
    QTest::addColumn<QString>("help");
    for (const KnownOption& option : knownOptions())
        QTest::newRow(option.name)
            << QString::fromLatin1(option.name) << option.takesValue
            << QString::fromLatin1(option.valueName) << QString::fromUtf8(option.help);
}

void CommandLineHelpTest::option() {
    QFETCH(QString, name);
    QFETCH(bool, takesValue);
    QFETCH(QString, valueName);
    QFETCH(QString, help);
    QCOMPARE(!valueName.isEmpty(), takesValue);
    QVERIFY(!help.isEmpty());

    const QString shown =
        QStringLiteral("--") + name + (takesValue ? QLatin1Char(' ') + valueName : QString());
    const QStringList lines = helpLinesStarting(QStringLiteral("  ") + shown + QLatin1Char(' '));
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().contains(help), qPrintable(lines.first()));

    // In the manual page: ".BI \-\-name " VALUE"" or ".B \-\-name", as a tagged paragraph.
    const QString manual = manualSection(QStringLiteral("OPZIONI"));
    const QString tag = takesValue
                            ? QStringLiteral(".TP\n.BI \\-\\-%1 \" %2\"\n").arg(name, valueName)
                            : QStringLiteral(".TP\n.B \\-\\-%1\n").arg(name);
    QVERIFY2(manual.contains(tag), qPrintable(QStringLiteral("velarco.1 lacks ") + tag));

    QVERIFY2(sourceFile(QStringLiteral("README.md")).contains(QStringLiteral("`") + shown),
             qPrintable(QStringLiteral("README lacks `") + shown));
}

void CommandLineHelpTest::exitStatus_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("meaning");
    int previous = -1;
    for (const ExitStatusMeaning& exit : exitStatusMeanings()) {
        QVERIFY(exit.status > previous);
        previous = exit.status;
        QTest::newRow(QByteArray::number(exit.status).constData())
            << int(exit.status) << QString::fromUtf8(exit.meaning);
    }
}

void CommandLineHelpTest::exitStatus() {
    QFETCH(int, status);
    QFETCH(QString, meaning);
    QCOMPARE(helpLinesStarting(QStringLiteral("  %1  ").arg(status)),
             QStringList{QStringLiteral("  %1  %2").arg(status).arg(meaning)});
    const QString manual = manualSection(QStringLiteral("STATO DI USCITA"));
    QVERIFY2(manual.contains(QStringLiteral(".TP\n.B %1\n").arg(status)),
             qPrintable(QStringLiteral("velarco.1 lacks exit status %1").arg(status)));
}

void CommandLineHelpTest::manualNamesOnlyKnownOptions() {
    const QString manual = manualSection(QStringLiteral("OPZIONI"));
    const QRegularExpression tag(QStringLiteral("\\.TP\\n\\.BI? \\\\-\\\\-([a-z-]+)"));
    int tags = 0;
    for (const QRegularExpressionMatch& match : tag.globalMatch(manual)) {
        ++tags;
        const QString name = match.captured(1);
        QVERIFY2(
            std::any_of(knownOptions().begin(), knownOptions().end(),
                        [&](const KnownOption& o) { return name == QLatin1String(o.name); }),
            qPrintable(
                QStringLiteral("velarco.1 describes --%1, which the program refuses").arg(name)));
    }
    QCOMPARE(tags, int(knownOptions().size()));
}

void CommandLineHelpTest::helpFitsATerminal() {
    for (const QString& line : helpText().split(QLatin1Char('\n')))
        QVERIFY2(line.size() <= 80, qPrintable(line));
}

// The built program answers without a display and without touching a database.
void CommandLineHelpTest::program_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");    // the whole standard output, or empty
    QTest::addColumn<QString>("errHas"); // a text standard error holds, or empty for none
    QTest::newRow("version") << QStringList{"--version"} << 0 << versionText() + "\n"
                             << "";
    QTest::newRow("help") << QStringList{"--help"} << 0 << helpText() << "";
    QTest::newRow("help with a value") << QStringList{"--help=1"} << 2 << ""
                                       << "--help";
    QTest::newRow("help and a report") << QStringList{"--help", "--report", "ElencoR"} << 2 << ""
                                       << "--report";
    QTest::newRow("version and a database")
        << QStringList{"--version", "--database", "x.db"} << 2 << ""
        << "--database";
    QTest::newRow("help twice") << QStringList{"--help", "--help"} << 2 << ""
                                << "--help";
}

void CommandLineHelpTest::program() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, errHas);
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/velarco");
    QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("HOME"), QStringLiteral("/nonexistent"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(30000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitCode(), status);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), out);
    if (errHas.isEmpty())
        QCOMPARE(err, QString());
    else
        QVERIFY2(err.contains(errHas) && err.count(QLatin1Char('\n')) == 1, qPrintable(err));
}

QTEST_GUILESS_MAIN(CommandLineHelpTest)
#include "tst_command_line_help.moc"
