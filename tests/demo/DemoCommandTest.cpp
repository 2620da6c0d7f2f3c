// `tarn-schedule demo` as its users meet it: the real program run with the demo's command lines,
// checked by its exit status, what it prints and the picture it writes.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <initializer_list>

#include "model/DesignData.h"
#include "platform/Colour.h"

namespace {

using tarn::platform::QBColor;

/// How long one run may take before it counts as hung: generous, for a loaded machine and a
/// sanitizer build.
constexpr int kRunLimitMs = 120000;

struct Run {
    bool exited = false;  // ended by itself within kRunLimitMs, without a crash
    int status = -1;
    QString out;
    QStringList errorLines;
};

/// Runs `tarn-schedule demo ARGUMENTS` (words split at blanks, "DIR" standing for `folder`) on the
/// Qt platform `platform`, or with none chosen when it is empty. Without `display` the run also
/// loses DISPLAY and WAYLAND_DISPLAY.
Run RunDemo(const QString& arguments, const QString& folder, const QString& platform,
            bool display = true) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // The user's data folder, where the demo keeps its schedules without --db, is `folder`/data.
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder + QStringLiteral("/data"));
    if (!platform.isEmpty()) environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    if (!display) {
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    }
    QStringList words{QStringLiteral("demo")};
    for (const QString& word : arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        words << QString(word).replace(QLatin1String("DIR"), folder);

    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TARN_SCHEDULE_PROGRAM), words);
    Run run;
    run.exited =
        process.waitForFinished(kRunLimitMs) && process.exitStatus() == QProcess::NormalExit;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    run.status = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.errorLines = QString::fromLocal8Bit(process.readAllStandardError())
                         .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return run;
}

/// The horizontal bands of the picture whose rows hold one of `colours`. With the colours of a
/// bar's blocks, one band per day bar the control has drawn: an undrawn bar shows its background.
int BandsOfColours(const QImage& picture,
                   std::initializer_list<tarn::platform::ColourRef> colours) {
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < picture.height(); ++y) {
        bool row = false;
        for (int x = 0; x < picture.width() && !row; ++x)
            row = std::find(colours.begin(), colours.end(), picture.pixel(x, y) & 0xFFFFFFu) !=
                  colours.end();
        if (row && !inBand) ++bands;
        inBand = row;
    }
    return bands;
}

}  // namespace

// Ends by itself with status 0 and prints nothing at all: no toolkit chatter.
#define VERIFY_QUIET_SUCCESS(run)                                      \
    do {                                                               \
        QVERIFY2((run).exited, "the demo did not exit by itself");     \
        QCOMPARE((run).errorLines.join(QLatin1Char('\n')), QString()); \
        QCOMPARE((run).out, QString());                                \
        QCOMPARE((run).status, 0);                                     \
    } while (false)

class DemoCommandTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(folder_.isValid()); }

    void screenshotShowsTheControlDrawn() {
        const Run run = RunDemo(QStringLiteral("--screenshot DIR/demo.png"), folder_.path(),
                                QStringLiteral("offscreen"));
        VERIFY_QUIET_SUCCESS(run);

        QImage picture;
        QVERIFY2(picture.load(folder_.filePath(QStringLiteral("demo.png")), "PNG"),
                 "the screenshot is not a PNG");
        QVERIFY(picture.width() >= tarn::design::kControlWidth);
        QVERIFY(picture.height() >= tarn::design::kControlHeight);
        const auto enabled = QBColor(tarn::platform::kPaletteLightGreen);
        const auto disabled = QBColor(tarn::platform::kPaletteLightRed);
        // One band per day bar, and one for the legend's two swatches above the control.
        QCOMPARE(BandsOfColours(picture, {enabled, disabled}), 9);
        QVERIFY2(BandsOfColours(picture, {enabled}) > 0, "the sample schedule shows no block on");
    }

    void runsQuietly_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("display");

        const QString offscreen = QStringLiteral("offscreen");
        QTest::newRow("quit after 300 ms")
            << QStringLiteral("--quit-after-ms 300") << offscreen << true;
        QTest::newRow("no display, no platform chosen: off-screen")
            << QStringLiteral("--quit-after-ms 100") << QString() << false;
        QTest::newRow("quitting before the first drawing still writes the screenshot")
            << QStringLiteral("--quit-after-ms 0 --screenshot DIR/early.png") << offscreen << true;
        // These run where TARN_DEMO_TEST_ON_X is set, under xvfb-run.
        const QString xcb = QStringLiteral("xcb");
        QTest::newRow("X server: window") << QStringLiteral("--quit-after-ms 1500") << xcb << true;
        QTest::newRow("X server: screenshot")
            << QStringLiteral("--screenshot DIR/x.png") << xcb << true;
    }

    void runsQuietly() {
        QFETCH(QString, arguments);
        QFETCH(QString, platform);
        QFETCH(bool, display);
        if (platform == QLatin1String("xcb") && qEnvironmentVariableIsEmpty("TARN_DEMO_TEST_ON_X"))
            QSKIP("needs an X server (run under xvfb-run with TARN_DEMO_TEST_ON_X=1)");

        QTemporaryDir folder;
        const Run run = RunDemo(arguments, folder.path(), platform, display);
        VERIFY_QUIET_SUCCESS(run);
        if (arguments.contains(QLatin1String("--screenshot")))
            QVERIFY(!QImage(folder.filePath(arguments.section(QLatin1Char('/'), -1))).isNull());
    }

    // A wrong command line is refused with status 2, one message and the usage on standard error,
    // before the toolkit starts: the platform here could not start at all.
    // Where the schedules are kept: --db, the user's data folder, or for a screenshot without
    // --db a temporary database that leaves the user's folder alone.
    void databaseIsChosenByTheCommandLine_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("database");
        QTest::newRow("--db") << QStringLiteral("--db DIR/mine.sqlite --quit-after-ms 0")
                              << QStringLiteral("mine.sqlite");
        QTest::newRow("default: the user's data folder")
            << QStringLiteral("--quit-after-ms 0")
            << QStringLiteral("data/tarn-schedule/schedules.sqlite");
        QTest::newRow("screenshot: a temporary database")
            << QStringLiteral("--screenshot DIR/shot.png") << QString();
    }

    void databaseIsChosenByTheCommandLine() {
        QFETCH(QString, arguments);
        QFETCH(QString, database);
        QTemporaryDir folder;
        const Run run = RunDemo(arguments, folder.path(), QStringLiteral("offscreen"));
        VERIFY_QUIET_SUCCESS(run);
        QStringList made =
            QDir(folder.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        made.removeAll(QStringLiteral("shot.png"));
        if (database.isEmpty()) {
            QCOMPARE(made, QStringList());
            return;
        }
        QVERIFY2(QFileInfo(folder.filePath(database)).size() > 0, qPrintable(made.join(' ')));
    }

    void databaseThatCannotBeOpenedFailsWithOneLine() {
        const Run run = RunDemo(QStringLiteral("--db DIR --quit-after-ms 0"), folder_.path(),
                                QStringLiteral("offscreen"));
        QVERIFY(run.exited);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.errorLines.size(), 1);
        QVERIFY2(run.errorLines.first().startsWith(
                     QStringLiteral("demo: cannot open %1: ").arg(folder_.path())),
                 qPrintable(run.errorLines.first()));
    }

    void wrongCommandLineIsRefused_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("message");

        const QString number =
            QStringLiteral("--quit-after-ms needs a whole number of milliseconds");
        QTest::newRow("unknown option")
            << QStringLiteral("--bogus") << QStringLiteral("unknown option 'bogus'");
        QTest::newRow("toolkit option")
            << QStringLiteral("-platform offscreen") << QStringLiteral("unknown option 'platform'");
        QTest::newRow("extra argument") << QStringLiteral("--quit-after-ms 10 extra")
                                        << QStringLiteral("unexpected argument 'extra'");
        QTest::newRow("missing value") << QStringLiteral("--screenshot")
                                       << QStringLiteral("missing value after '--screenshot'");
        QTest::newRow("empty file name")
            << QStringLiteral("--screenshot=") << QStringLiteral("--screenshot needs a file name");
        QTest::newRow("not a number") << QStringLiteral("--quit-after-ms soon") << number;
        QTest::newRow("negative") << QStringLiteral("--quit-after-ms -5") << number;
        QTest::newRow("over a day") << QStringLiteral("--quit-after-ms 86400001") << number;
        QTest::newRow("beyond any integer")
            << QStringLiteral("--quit-after-ms 99999999999999") << number;
        QTest::newRow("given twice") << QStringLiteral("--quit-after-ms 1 --quit-after-ms 2")
                                     << QStringLiteral("--quit-after-ms is given twice");
        QTest::newRow("empty database name")
            << QStringLiteral("--db=") << QStringLiteral("--db needs a file name");
        QTest::newRow("two databases")
            << QStringLiteral("--db a --db b") << QStringLiteral("--db is given twice");
    }

    void wrongCommandLineIsRefused() {
        QFETCH(QString, arguments);
        QFETCH(QString, message);

        const Run run = RunDemo(arguments, folder_.path(), QStringLiteral("bogus"));
        QVERIFY(run.exited);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QVERIFY(run.errorLines.size() > 1);
        QVERIFY2(run.errorLines.first().startsWith(QStringLiteral("demo: ") + message),
                 qPrintable(run.errorLines.first()));
        QVERIFY(run.errorLines.at(1).startsWith(QLatin1String("usage: tarn-schedule demo")));
    }

    void helpPrintsTheUsage() {
        const Run run = RunDemo(QStringLiteral("--help"), folder_.path(), QStringLiteral("bogus"));
        QVERIFY(run.exited);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.errorLines, QStringList());
        QVERIFY(run.out.startsWith(QLatin1String("usage: tarn-schedule demo")));
    }

    // A screenshot that cannot be written: one line with the reason, status 1.
    void unwritableScreenshotFailsWithOneLine_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a folder") << QStringLiteral("DIR") << QStringLiteral("Is a directory");
        QTest::newRow("in a missing folder") << QStringLiteral("DIR/missing/demo.png")
                                             << QStringLiteral("No such file or directory");
        QTest::newRow("a full device")
            << QStringLiteral("/dev/full") << QStringLiteral("No space left on device");
    }

    void unwritableScreenshotFailsWithOneLine() {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        const bool device = path.startsWith(QLatin1String("/dev/"));
        if (device && !QFileInfo::exists(path)) QSKIP("this system has no such device");

        const Run run = RunDemo(QStringLiteral("--screenshot ") + path, folder_.path(),
                                QStringLiteral("offscreen"));
        QVERIFY(run.exited);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QString());
        path.replace(QLatin1String("DIR"), folder_.path());
        QCOMPARE(run.errorLines,
                 QStringList{QStringLiteral("demo: cannot write %1: %2").arg(path, reason)});
        // The device is written through, never replaced by a file.
        if (device) QVERIFY(!QFileInfo(path).isFile());
    }

    // A platform that cannot start: one line and status 1, not an abort.
    void platformThatCannotStartFailsWithOneLine_data() {
        QTest::addColumn<QString>("platform");
        QTest::newRow("unknown platform") << QStringLiteral("bogus");
        QTest::newRow("X without a display") << QStringLiteral("xcb");
    }

    void platformThatCannotStartFailsWithOneLine() {
        QFETCH(QString, platform);
        const Run run =
            RunDemo(QStringLiteral("--quit-after-ms 1000"), folder_.path(), platform, false);
        QVERIFY(run.exited);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.errorLines.size(), 1);
        QVERIFY2(run.errorLines.first().startsWith(
                     QLatin1String("demo: cannot start the Qt platform: ")),
                 qPrintable(run.errorLines.first()));
    }

private:
    QTemporaryDir folder_;
};

QTEST_GUILESS_MAIN(DemoCommandTest)
#include "DemoCommandTest.moc"
