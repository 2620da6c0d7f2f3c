// The editor made from QML through the installed package: `import TarnSchedule` resolves from the
// linked library alone, and time properties set by name in QML read back from the item.
#include <TarnSchedule/ScheduleEditor.h>

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <iostream>
#include <memory>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(R"(
import QtQuick
import TarnSchedule
ScheduleEditor {
    id: editor
    Component.onCompleted: {
        editor.Schedule_MondayStart1 = 800
        editor.Schedule_MondayStop1 = 1200
        editor.SpecialDayCaption = "Holiday"
    }
})",
                      QUrl());
    std::unique_ptr<QObject> root(component.create());
    auto* editor = qobject_cast<tarn::ScheduleEditor*>(root.get());
    if (!editor) {
        std::cerr << "no ScheduleEditor from QML: " << component.errorString().toStdString()
                  << '\n';
        return 1;
    }
    if (editor->Schedule_MondayStart1() != 800 || editor->Schedule_MondayStop1() != 1200 ||
        editor->dayRanges(0) != QStringList{"08:00-12:00"} ||
        editor->SpecialDayCaption() != "Holiday") {
        std::cerr << "the values set in QML did not read back from the item\n";
        return 1;
    }
    std::cout << "quick ok\n";
    return 0;
}
