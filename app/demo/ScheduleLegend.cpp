#include "app/demo/ScheduleLegend.h"

#include <QColor>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include "platform/Colour.h"

namespace tarn::app {

namespace {

/// A small square in one of the bar's block colours, framed like a block.
QLabel* Swatch(platform::ColourRef colour, const QString& meaning, QWidget* parent) {
    const int side = parent->fontMetrics().height() - 2;
    QPixmap square(side, side);
    square.fill(QColor::fromRgb(colour));
    QPainter painter(&square);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, side - 1, side - 1);
    painter.end();
    auto* label = new QLabel(parent);
    label->setPixmap(square);
    label->setAccessibleName(meaning);
    return label;
}

}  // namespace

ScheduleLegend::ScheduleLegend(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* hint =
        new QLabel(tr("Drag along a day's bar (or click the day's name) to select, then press "
                      "<b>Enable</b> or <b>Disable</b>."),
                   this);
    hint->setWordWrap(true);
    layout->addWidget(hint, 1);
    layout->addWidget(Swatch(platform::QBColor(platform::kPaletteLightGreen), tr("on"), this));
    layout->addWidget(new QLabel(tr("on"), this));
    layout->addSpacing(8);
    layout->addWidget(Swatch(platform::QBColor(platform::kPaletteLightRed), tr("off"), this));
    layout->addWidget(new QLabel(tr("off"), this));
}

}  // namespace tarn::app
