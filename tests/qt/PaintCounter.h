// Counts the paint events of the widgets it watches: for the widget tests and the drag benchmark.
#pragma once

#include <QEvent>
#include <QObject>

namespace tarn::test {

class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace tarn::test
