// The line above the control that tells a first-time user how it works: drag along a day's bar or
// click its button, then Enable or Disable; green blocks are on, red blocks are off.
#pragma once

#include <QWidget>

namespace tarn::app {

class ScheduleLegend final : public QWidget {
    Q_OBJECT

public:
    explicit ScheduleLegend(QWidget* parent = nullptr);
};

}  // namespace tarn::app
