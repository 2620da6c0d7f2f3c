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

#include "platform/DesignData.h"
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
    // The user's data folder, where the demo keeps its schedules without --db, is `folder`/data;
    // the one of its settings `folder`/config.
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
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

// Ends by itself with status 1, nothing on standard output and one line on standard error.
#define VERIFY_ONE_LINE_FAILURE(run, start)                  \
    do {                                                     \
        QVERIFY((run).exited);                               \
        QCOMPARE((run).status, 1);                           \
        QCOMPARE((run).out, QString());                      \
        QCOMPARE((run).errorLines.size(), 1);                \
        QVERIFY2((run).errorLines.first().startsWith(start), \
                 qPrintable((run).errorLines.first()));      \
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

    // Every run ends quietly and leaves exactly the files named in `made`: the schedules go to
    // --db or the user's data folder, and a screenshot without --db uses a temporary database
    // that leaves the user's folders alone.
    void runsQuietly_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("display");
        QTest::addColumn<QString>("made");

        const QString offscreen = QStringLiteral("offscreen");
        const QString userData = QStringLiteral("data/tarn-schedule/schedules.sqlite");
        QTest::newRow("quit after 300 ms, into the user's data folder")
            << QStringLiteral("--quit-after-ms 300") << offscreen << true << userData;
        QTest::newRow("no display, no platform chosen: off-screen")
            << QStringLiteral("--quit-after-ms 100") << QString() << false << userData;
        QTest::newRow("--db") << QStringLiteral("--db DIR/mine.sqlite --quit-after-ms 0")
                              << offscreen << true << QStringLiteral("mine.sqlite");
        QTest::newRow("quitting before the first drawing still writes the screenshot")
            << QStringLiteral("--quit-after-ms 0 --screenshot DIR/early.png") << offscreen << true
            << QStringLiteral("early.png");
        // These run where TARN_DEMO_TEST_ON_X is set, under xvfb-run.
        const QString xcb = QStringLiteral("xcb");
        QTest::newRow("X server: window")
            << QStringLiteral("--quit-after-ms 1500") << xcb << true << userData;
        QTest::newRow("X server: screenshot")
            << QStringLiteral("--screenshot DIR/x.png") << xcb << true << QStringLiteral("x.png");
    }

    void runsQuietly() {
        QFETCH(QString, arguments);
        QFETCH(QString, platform);
        QFETCH(bool, display);
        QFETCH(QString, made);
        if (platform == QLatin1String("xcb") && qEnvironmentVariableIsEmpty("TARN_DEMO_TEST_ON_X"))
            QSKIP("needs an X server (run under xvfb-run with TARN_DEMO_TEST_ON_X=1)");

        QTemporaryDir folder;
        const Run run = RunDemo(arguments, folder.path(), platform, display);
        VERIFY_QUIET_SUCCESS(run);
        QStringList left =
            QDir(folder.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        // A window that got as far as opening a schedule remembers it in the user's settings;
        // a screenshot on a temporary database leaves those alone too.
        if (!made.endsWith(QLatin1String(".png"))) left.removeOne(QStringLiteral("config"));
        QCOMPARE(left, QStringList{made.section(QLatin1Char('/'), 0, 0)});
        if (made.endsWith(QLatin1String(".png")))
            QVERIFY(!QImage(folder.filePath(made)).isNull());
        else
            QVERIFY(QFileInfo(folder.filePath(made)).size() > 0);
    }

    void databaseThatCannotBeOpenedFailsWithOneLine() {
        const Run run = RunDemo(QStringLiteral("--db DIR --quit-after-ms 0"), folder_.path(),
                                QStringLiteral("offscreen"));
        VERIFY_ONE_LINE_FAILURE(run, QStringLiteral("demo: cannot open %1: ").arg(folder_.path()));
    }

    // A screenshot that cannot be written: one line with the reason, status 1. The reasons a
    // write fails are the safe write's, shown by the examples' screenshots and the store command.
    void unwritableScreenshotFailsWithOneLine() {
        const Run run = RunDemo(QStringLiteral("--screenshot DIR"), folder_.path(),
                                QStringLiteral("offscreen"));
        QVERIFY(run.exited);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.errorLines,
                 QStringList{
                     QStringLiteral("demo: cannot write %1: Is a directory").arg(folder_.path())});
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
        VERIFY_ONE_LINE_FAILURE(run, QLatin1String("demo: cannot start the Qt platform: "));
    }

private:
    QTemporaryDir folder_;
};

QTEST_GUILESS_MAIN(DemoCommandTest)
#include "DemoCommandTest.moc"
