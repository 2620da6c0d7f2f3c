#include "ScheduleDesignerPlugin.h"

#include <QIcon>

#include "TarnSchedule/ScheduleWidget.h"

namespace tarn {

ScheduleDesignerPlugin::ScheduleDesignerPlugin(QObject* parent) : QObject(parent) {}

QString ScheduleDesignerPlugin::name() const {
    return QStringLiteral("tarn::ScheduleWidget");
}

QString ScheduleDesignerPlugin::group() const {
    return QStringLiteral("TarnSchedule");
}

QString ScheduleDesignerPlugin::toolTip() const {
    return QStringLiteral("Weekly schedule editor");
}

QString ScheduleDesignerPlugin::whatsThis() const {
    return QStringLiteral(
        "Eight day rows (Monday to Sunday and a special day) of 96 quarter-hour blocks. The "
        "user selects blocks with the mouse and enables or disables them; the schedule is held "
        "in the 64 properties Schedule_<Day>Start<n> and Schedule_<Day>Stop<n>.");
}

QString ScheduleDesignerPlugin::includeFile() const {
    return QStringLiteral("TarnSchedule/ScheduleWidget.h");
}

QIcon ScheduleDesignerPlugin::icon() const {
    return QIcon();
}

bool ScheduleDesignerPlugin::isContainer() const {
    return false;
}

QWidget* ScheduleDesignerPlugin::createWidget(QWidget* parent) {
    return new ScheduleWidget(parent);
}

QString ScheduleDesignerPlugin::domXml() const {
    return QStringLiteral(
        "<ui language=\"c++\">\n"
        " <widget class=\"tarn::ScheduleWidget\" name=\"schedule\">\n"
        "  <property name=\"geometry\">\n"
        "   <rect><x>0</x><y>0</y><width>679</width><height>361</height></rect>\n"
        "  </property>\n"
        " </widget>\n"
        "</ui>\n");
}

}  // namespace tarn
