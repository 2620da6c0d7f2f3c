// The end-to-end probe: measures, on an X server, the time from an input event sent through XTest
// to the first read of the screen that shows what the event changed. The screen is read through
// MIT-SHM, a few pixels at a time, in a loop with no sleep, so each reading costs one round trip
// to the server and the change is seen as soon as the target's drawing reaches the framebuffer.
//
//   e2e_probe --pid PID --target demo|trivial [--reps N] [--settle-ms N]
//
// It finds the top-level window of process PID, moves it to the top left corner of the screen and
// finds where to click: for the trivial target from its fixed layout, for the demo host from the
// screen (the bars' middle bands are the only long runs of pure red and green) and the control's
// design geometry. It prints one line per measure, "press MEDIAN_MS P90_MS N" and
// "click MEDIAN_MS P90_MS N", and exits 1 with a message when a change never shows.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench/e2e/TrivialLayout.h"
#include "platform/DesignData.h"

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "e2e_probe: %s\n", message.c_str());
    std::exit(1);
}

int OnXError(Display* display, XErrorEvent* error) {
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    Fail(std::string("X error: ") + text);
}

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

struct Point {
    int x = 0, y = 0;
};

enum class Colour { Black, White, Red, Green, Other };

Colour Classify(unsigned long pixel) {
    const unsigned r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    auto low = [](unsigned c) { return c < 0x40; };
    auto high = [](unsigned c) { return c > 0xC0; };
    if (low(r) && low(g) && low(b)) return Colour::Black;
    if (high(r) && high(g) && high(b)) return Colour::White;
    if (high(r) && low(g) && low(b)) return Colour::Red;
    if (low(r) && high(g) && low(b)) return Colour::Green;
    return Colour::Other;
}

const char* Name(Colour colour) {
    switch (colour) {
        case Colour::Black:
            return "black";
        case Colour::White:
            return "white";
        case Colour::Red:
            return "red";
        case Colour::Green:
            return "green";
        case Colour::Other:
            break;
    }
    return "another colour";
}

class FrameBuffer {
public:
    explicit FrameBuffer(Display* display) : display_(display), root_(DefaultRootWindow(display)) {
        if (!XShmQueryExtension(display_)) Fail("the X server has no MIT-SHM");
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(display_, &event, &error, &major, &minor))
            Fail("the X server has no XTest");
        const int screen = DefaultScreen(display_);
        image_ =
            XShmCreateImage(display_, DefaultVisual(display_, screen),
                            DefaultDepth(display_, screen), ZPixmap, nullptr, &shm_, kSide, kSide);
        if (image_ == nullptr) Fail("cannot create a shared image");
        shm_.shmid = shmget(IPC_PRIVATE, image_->bytes_per_line * image_->height, IPC_CREAT | 0600);
        if (shm_.shmid < 0) Fail("shmget failed");
        shm_.shmaddr = image_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
        shm_.readOnly = False;
        if (!XShmAttach(display_, &shm_)) Fail("cannot attach the shared image");
        XSync(display_, False);
        // Removed now: the segment goes once both sides have detached.
        shmctl(shm_.shmid, IPC_RMID, nullptr);
    }

    ~FrameBuffer() {
        XShmDetach(display_, &shm_);
        XDestroyImage(image_);
        shmdt(shm_.shmaddr);
    }

    /// The colour of the kSide x kSide square at p, when all its pixels have one.
    Colour Read(Point p) {
        XShmGetImage(display_, root_, image_, p.x, p.y, AllPlanes);
        const Colour first = Classify(XGetPixel(image_, 0, 0));
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                if (Classify(XGetPixel(image_, x, y)) != first) return Colour::Other;
        return first;
    }

    /// Reads at p until it shows colour; false after timeout.
    bool WaitFor(Point p, Colour colour, std::chrono::milliseconds timeout) {
        const auto end = Clock::now() + timeout;
        while (Read(p) != colour)
            if (Clock::now() > end) return false;
        return true;
    }

    void MoveTo(Point p) {
        XTestFakeMotionEvent(display_, -1, p.x, p.y, CurrentTime);
        XSync(display_, False);
    }
    void Button(bool down) {
        XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime);
        XFlush(display_);
    }
    void Click(Point p) {
        MoveTo(p);
        Button(true);
        Button(false);
        XSync(display_, False);
    }

private:
    static constexpr int kSide = 2;
    Display* display_;
    Window root_;
    XShmSegmentInfo shm_{};
    XImage* image_ = nullptr;
};

/// A mapped top-level window of process pid, found within a time limit.
Window FindWindow(Display* display, long pid) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < end) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
        Window found = 0;
        for (unsigned i = 0; i < count && found == 0; ++i) {
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(display, children[i], &attributes) ||
                attributes.map_state != IsViewable || attributes.width < 100)
                continue;
            Atom type = 0;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type,
                                   &format, &items, &after, &data) == Success &&
                data != nullptr) {
                if (format == 32 && items == 1 && *reinterpret_cast<long*>(data) == pid)
                    found = children[i];
                XFree(data);
            }
        }
        if (children != nullptr) XFree(children);
        if (found != 0) return found;
        SleepMs(50);
    }
    Fail("no window of process " + std::to_string(pid) + " showed within 30 s");
}

/// The window's whole picture, once two readings 200 ms apart agree (the window has settled).
std::vector<unsigned long> SettledPicture(Display* display, int width, int height) {
    std::vector<unsigned long> last;
    const auto end = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < end) {
        XImage* image =
            XGetImage(display, DefaultRootWindow(display), 0, 0, width, height, AllPlanes, ZPixmap);
        std::vector<unsigned long> pixels(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[static_cast<size_t>(y) * width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
        XDestroyImage(image);
        if (pixels == last) return pixels;
        last = std::move(pixels);
        SleepMs(200);
    }
    Fail("the window kept changing for 20 s");
}

/// Where the probe presses and clicks.
struct Layout {
    Point pressA, pressB;  // two places to press, each showing its mark at markA / markB
    Point markA, markB;    // black once pressed, white once the other place is pressed
    Point select;          // where to press to select what the click changes
    Point selectMark;      // black once selected
    Point on, off;         // the buttons
    Point swatch;          // green after on, red after off
};

Layout TrivialLayout() {
    using namespace tarn::e2e;
    Layout layout;
    const int y = kPadTop + kPadHeight / 2;
    layout.pressA = {kPadLeft + 60, y};
    layout.pressB = {kPadLeft + kPadWidth - 60, y};
    // Up and left of the pointer, inside the square, away from where a cursor would be drawn.
    layout.markA = {layout.pressA.x - 4, y - 4};
    layout.markB = {layout.pressB.x - 4, y - 4};
    layout.select = layout.pressA;
    layout.selectMark = layout.markA;
    const int buttonY = kButtonTop + kButtonHeight / 2;
    layout.on = {kOnLeft + kButtonWidth / 2, buttonY};
    layout.off = {kOffLeft + kButtonWidth / 2, buttonY};
    layout.swatch = {kSwatchLeft + kSwatchSide / 2, kSwatchTop + kSwatchSide / 2};
    return layout;
}

/// The demo host's layout, read from its picture: the eight bars' middle bands are the only
/// rows with long runs of pure red and green. The buttons lie where the control's design puts
/// them, scaled as the bars are.
Layout DemoLayout(const std::vector<unsigned long>& pixels, int width, int height) {
    struct Band {
        int top, bottom, left, right;
    };
    std::vector<Band> bands;
    for (int y = 0; y < height; ++y) {
        int count = 0, left = width, right = -1;
        for (int x = 0; x < width; ++x) {
            const Colour c = Classify(pixels[static_cast<size_t>(y) * width + x]);
            if (c == Colour::Red || c == Colour::Green) {
                ++count;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        if (count < 200) continue;
        if (!bands.empty() && bands.back().bottom == y - 1) {
            bands.back().bottom = y;
        } else {
            bands.push_back({y, y, left, right});
        }
    }
    if (bands.size() != 8)
        Fail("expected the eight bars of the control, found " + std::to_string(bands.size()) +
             " bands of red and green");
    const Band& wednesday = bands[2];
    const int bandHeight = wednesday.bottom - wednesday.top + 1;
    const double blockWidth = (wednesday.right - wednesday.left + 1) / 96.0;
    auto blockX = [&](int block) {
        return wednesday.left + static_cast<int>((block + 0.5) * blockWidth);
    };
    const int middle = (wednesday.top + wednesday.bottom) / 2;
    const int topBand = wednesday.top - bandHeight / 2;
    Layout layout;
    // Presses on the middle band, 05:00 and 17:30; the marks show in the top band above.
    layout.pressA = {blockX(20), middle};
    layout.pressB = {blockX(70), middle};
    layout.markA = {blockX(20), topBand};
    layout.markB = {blockX(70), topBand};
    // 01:00, off in the sample week.
    layout.select = {blockX(4), middle};
    layout.selectMark = {blockX(4), topBand};
    layout.swatch = {blockX(4), middle - 1};

    namespace d = tarn::design;
    const double pitch =
        ((bands[7].top + bands[7].bottom) - (bands[0].top + bands[0].bottom)) / 2.0 / 7.0;
    const double scale = pitch / (d::DayBar(1).top - d::DayBar(0).top);
    const int barLeft = wednesday.left;
    const int specialMiddle = (bands[7].top + bands[7].bottom) / 2;
    auto buttonCentre = [&](const d::WidgetDesign& button) {
        const double dx = button.left - d::DayBar(7).left + button.width / 2.0;
        const double dy =
            (button.top + button.height / 2.0) - (d::DayBar(7).top + d::DayBar(7).height / 2.0);
        return Point{barLeft + static_cast<int>(dx * scale),
                     specialMiddle + static_cast<int>(dy * scale)};
    };
    layout.on = buttonCentre(d::kEnableButton);
    layout.off = buttonCentre(d::kDisableButton);
    return layout;
}

struct Figures {
    double median = 0, p90 = 0;
    size_t count = 0;
};

Figures Summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    Figures figures;
    figures.count = samples.size();
    if (samples.empty()) return figures;
    figures.median = samples[samples.size() / 2];
    figures.p90 = samples[std::min(samples.size() - 1, samples.size() * 9 / 10)];
    return figures;
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

constexpr std::chrono::milliseconds kTimeout(5000);

void Expect(FrameBuffer& screen, Point p, Colour colour, const char* what) {
    if (!screen.WaitFor(p, colour, kTimeout))
        Fail(std::string(what) + ": the pixels at " + std::to_string(p.x) + "," +
             std::to_string(p.y) + " showed " + Name(screen.Read(p)) + ", not " + Name(colour) +
             ", for 5 s");
}

/// A press alternately on two places: from the press to the first reading that shows its mark.
Figures MeasurePress(FrameBuffer& screen, const Layout& layout, int reps, int settleMs) {
    std::vector<double> samples;
    for (int i = 0; i < reps; ++i) {
        const bool a = i % 2 == 0;
        const Point press = a ? layout.pressA : layout.pressB;
        const Point mark = a ? layout.markA : layout.markB;
        screen.MoveTo(press);
        if (i > 0) Expect(screen, mark, Colour::White, "before a press");
        SleepMs(settleMs);
        const auto start = Clock::now();
        screen.Button(true);
        Expect(screen, mark, Colour::Black, "after a press");
        samples.push_back(MsSince(start));
        screen.Button(false);
        SleepMs(settleMs);
    }
    return Summarise(samples);
}

/// A click of On after selecting: from the button's release to the first reading that shows the
/// swatch green. Off, after selecting again, then turns it red, unmeasured.
Figures MeasureClick(FrameBuffer& screen, const Layout& layout, int reps, int settleMs) {
    std::vector<double> samples;
    for (int i = 0; i < reps; ++i) {
        screen.Click(layout.select);
        Expect(screen, layout.selectMark, Colour::Black, "selecting");
        Expect(screen, layout.swatch, Colour::Red, "before a click");
        screen.MoveTo(layout.on);
        SleepMs(settleMs);
        screen.Button(true);
        SleepMs(settleMs);
        const auto start = Clock::now();
        screen.Button(false);
        Expect(screen, layout.swatch, Colour::Green, "after a click");
        samples.push_back(MsSince(start));
        SleepMs(settleMs);
        // The demo's control clears the selection once a command has used it.
        screen.Click(layout.select);
        Expect(screen, layout.selectMark, Colour::Black, "selecting again");
        screen.Click(layout.off);
        Expect(screen, layout.swatch, Colour::Red, "after a click of the other button");
        SleepMs(settleMs);
    }
    return Summarise(samples);
}

[[noreturn]] void Usage() {
    std::fprintf(stderr,
                 "usage: e2e_probe --pid PID --target demo|trivial [--reps N] [--settle-ms N]\n");
    std::exit(2);
}

int ReadCount(const char* text, int low, int high) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high) Usage();
    return static_cast<int>(value);
}

}  // namespace

int main(int argc, char** argv) {
    long pid = 0;
    std::string target;
    int reps = 100;
    int settleMs = 20;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) Usage();
        const char* value = argv[++i];
        if (option == "--pid") {
            pid = ReadCount(value, 1, 1 << 30);
        } else if (option == "--target") {
            target = value;
        } else if (option == "--reps") {
            reps = ReadCount(value, 1, 100000);
        } else if (option == "--settle-ms") {
            settleMs = ReadCount(value, 0, 10000);
        } else {
            Usage();
        }
    }
    if (pid == 0 || (target != "demo" && target != "trivial")) Usage();

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) Fail("cannot open the display");
    XSetErrorHandler(OnXError);
    const Window window = FindWindow(display, pid);
    const bool demo = target == "demo";
    const int width = demo ? 1000 : tarn::e2e::kTrivialWidth;
    const int height = demo ? 700 : tarn::e2e::kTrivialHeight;
    XMoveResizeWindow(display, window, 0, 0, width, height);
    XSync(display, False);
    const std::vector<unsigned long> picture = SettledPicture(display, width, height);
    const Layout layout = demo ? DemoLayout(picture, width, height) : TrivialLayout();

    Figures press, click;
    {
        FrameBuffer screen(display);
        press = MeasurePress(screen, layout, reps, settleMs);
        click = MeasureClick(screen, layout, reps, settleMs);
    }
    std::printf("press %.3f %.3f %zu\n", press.median, press.p90, press.count);
    std::printf("click %.3f %.3f %zu\n", click.median, click.p90, click.count);
    XCloseDisplay(display);
    return 0;
}
