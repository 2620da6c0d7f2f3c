// The bars' colour schemes: colours taken from a palette stay legible on light and dark palettes
// and on palettes with unusual highlights, the Palette scheme follows the widget's palette, and the
// Classic scheme draws exactly the control's own colours.
#include <QPalette>
#include <cmath>
#include <set>

#include "WidgetTestSupport.h"
#include "controller/Colours.h"
#include "platform/Colour.h"
#include "render/Theme.h"

namespace tarn::test {
namespace {

QColor ColourOf(platform::ColourRef ref) {
    return QColor::fromRgb(static_cast<QRgb>(ref | 0xFF000000u));
}

double Luminance(platform::ColourRef ref) {
    const QColor c = ColourOf(ref);
    auto linear = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double Contrast(platform::ColourRef a, platform::ColourRef b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double HueDistance(platform::ColourRef a, platform::ColourRef b) {
    const double d = std::fabs(ColourOf(a).hslHueF() - ColourOf(b).hslHueF()) * 360.0;
    return std::min(d, 360.0 - d);
}

QPalette MakePalette(QColor window, QColor text, QColor base, QColor highlight) {
    QPalette palette(window);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Highlight, highlight);
    return palette;
}

QPalette DarkPalette() {
    return MakePalette(QColor(0x35, 0x35, 0x35), QColor(0xEE, 0xEE, 0xEE), QColor(0x25, 0x25, 0x25),
                       QColor(0x2A, 0x82, 0xDA));
}

/// Every colour a bar's pixels hold.
std::set<platform::ColourRef> ColoursIn(const QImage& image) {
    std::set<platform::ColourRef> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & 0xFFFFFFu);
    return colours;
}

/// Runs the redraw timer until nothing is due.
void Settle(TestControl& c) {
    for (int i = 0; i < 100 && c.widget.deliverTimerTick(); ++i) {
    }
}

}  // namespace

class ScheduleWidgetColoursTest : public QObject {
    Q_OBJECT
private slots:
    void paletteColoursStayLegible_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << MakePalette(QColor(0xEF, 0xEF, 0xEF), Qt::black, Qt::white,
                                              QColor(0x30, 0x8C, 0xC6))
                               << false;
        QTest::newRow("dark") << DarkPalette() << true;
        // A red highlight must not make enabled blocks look like disabled ones.
        QTest::newRow("red highlight")
            << MakePalette(Qt::white, Qt::black, Qt::white, Qt::red) << false;
        // Text as dark as the base: marks still stand out.
        QTest::newRow("unreadable text")
            << MakePalette(Qt::black, QColor(0x10, 0x10, 0x10), Qt::black, Qt::green) << true;
        QTest::newRow("grey highlight")
            << MakePalette(QColor(0x20, 0x20, 0x30), Qt::white, QColor(0x18, 0x18, 0x20), Qt::gray)
            << true;
    }

    void paletteColoursStayLegible() {
        QFETCH(QPalette, palette);
        QFETCH(bool, dark);
        const render::Theme theme = qt::ThemeFromPalette(palette);
        // Selection marks and ticks on the bands, and on either kind of block.
        QVERIFY(Contrast(theme.selectionMark, theme.bandBackground) >= 4.5);
        QVERIFY(Contrast(theme.selectionMark, theme.enabledBlock) >= 3.0);
        QVERIFY(Contrast(theme.selectionMark, theme.disabledBlock) >= 3.0);
        QVERIFY(Contrast(theme.tickMark, theme.bandBackground) >= 4.5);
        // Enabled and disabled blocks differ in hue and, for eyes that do not tell red from
        // green, in lightness.
        QVERIFY(HueDistance(theme.enabledBlock, theme.disabledBlock) >= 90.0);
        QVERIFY(Contrast(theme.enabledBlock, theme.disabledBlock) >= 1.5);
        QVERIFY(Contrast(theme.label, palette.color(QPalette::Window).rgb() & 0xFFFFFFu) >= 4.5);
        // A dark palette gives a dark control.
        for (platform::ColourRef fill :
             {theme.bandBackground, theme.enabledBlock, theme.disabledBlock})
            QCOMPARE(Luminance(fill) < 0.25, dark);
        // The keyboard cursor's frame stands out from the bands and marks, and from both kinds of
        // block by hue, over the palette's colours and over the classic ones.
        for (const render::Theme& drawn : {theme, render::ClassicTheme()}) {
            const QColor frame = qt::CursorColourOf(drawn);
            const platform::ColourRef cursor = frame.rgb() & 0xFFFFFFu;
            QVERIFY(Contrast(cursor, drawn.bandBackground) >= 3.0);
            QVERIFY(Contrast(cursor, drawn.selectionMark) >= 2.0);
            QVERIFY(HueDistance(cursor, drawn.enabledBlock) >= 60.0);
            QVERIFY(HueDistance(cursor, drawn.disabledBlock) >= 60.0);
        }
    }

    // A control switched to the Palette scheme draws the palette's colours, and switched back to
    // Classic draws exactly what a control that never left it draws; a palette change while
    // Classic is shown changes nothing. The Classic colours themselves are read from the bars by
    // the examples on the real widget.
    void paletteSchemeFollowsThePaletteAndClassicComesBack() {
        TestControl c;
        TestControl plain;
        for (TestControl* control : {&c, &plain}) {
            QVERIFY(control->show());
            Settle(*control);
            QVERIFY(!control->widget.setDayRanges(1, QStringList{"08:00-12:00", "17:00-24:00"}));
        }
        QCOMPARE(c.widget.colorScheme(), ScheduleWidget::ColorScheme::Classic);
        const std::uint64_t before = c.redraws();
        // By name, as Designer and scripts write it.
        QVERIFY(c.widget.setProperty("ColorScheme", QStringLiteral("Palette")));
        QCOMPARE(c.widget.colorScheme(), ScheduleWidget::ColorScheme::Palette);
        c.widget.setPalette(DarkPalette());
        const render::Theme dark = qt::ThemeFromPalette(c.widget.palette());
        QCOMPARE(c.controller().Cursor().colour, qt::CursorColourOf(dark));
        Settle(c);
        QVERIFY(c.redraws() > before);
        const std::set<platform::ColourRef> colours = ColoursIn(c.bar(1).image());
        for (platform::ColourRef fill :
             {dark.bandBackground, dark.disabledBlock, dark.enabledBlock})
            QVERIFY(colours.count(fill));
        QVERIFY(!colours.count(0xFFFFFF));

        c.widget.setColorScheme(ScheduleWidget::ColorScheme::Classic);
        c.widget.setPalette(QPalette(Qt::yellow));
        Settle(c);
        Settle(plain);
        for (int bar = 0; bar < 8; ++bar)
            QCOMPARE(c.bar(bar).image(), plain.bar(bar).image());
    }
};

}  // namespace tarn::test

QTEST_MAIN(tarn::test::ScheduleWidgetColoursTest)
#include "ScheduleWidgetColoursTest.moc"
