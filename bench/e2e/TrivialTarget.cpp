// The trivial target of the end-to-end probe: the least a Qt program does to answer a press and a
// click, to stand beside the demo host. A pad fills a 10x10 square around each press (the square
// of the press before is cleared), and two push buttons recolour a swatch, On green and Off red.
// Each change repaints only the pixels it changes, as a well-behaved widget does.
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWidget>

#include "bench/e2e/TrivialLayout.h"

namespace {

using namespace tarn::e2e;

class Pad final : public QWidget {
public:
    explicit Pad(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        const QRect before = mark_;
        mark_ = QRect(at.x() - kMarkSide / 2, at.y() - kMarkSide / 2, kMarkSide, kMarkSide);
        update(before);
        update(mark_);
    }

    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::white);
        if (!mark_.isNull()) painter.fillRect(mark_, Qt::black);
    }

private:
    QRect mark_;
};

class Swatch final : public QWidget {
public:
    explicit Swatch(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

    void SetColour(QColor colour) {
        colour_ = colour;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter(this).fillRect(event->rect(), colour_);
    }

private:
    QColor colour_ = Qt::red;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("e2e trivial target"));
    window.setFixedSize(kTrivialWidth, kTrivialHeight);
    auto* pad = new Pad(&window);
    pad->setGeometry(kPadLeft, kPadTop, kPadWidth, kPadHeight);
    auto* swatch = new Swatch(&window);
    swatch->setGeometry(kSwatchLeft, kSwatchTop, kSwatchSide, kSwatchSide);
    auto* on = new QPushButton(QStringLiteral("On"), &window);
    on->setGeometry(kOnLeft, kButtonTop, kButtonWidth, kButtonHeight);
    auto* off = new QPushButton(QStringLiteral("Off"), &window);
    off->setGeometry(kOffLeft, kButtonTop, kButtonWidth, kButtonHeight);
    QObject::connect(on, &QPushButton::clicked, swatch, [swatch] { swatch->SetColour(Qt::green); });
    QObject::connect(off, &QPushButton::clicked, swatch, [swatch] { swatch->SetColour(Qt::red); });
    window.move(0, 0);
    window.show();
    return QApplication::exec();
}
