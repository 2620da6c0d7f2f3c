// The editor made from QML through the installed package, by a program whose C++ never names it:
// `import TarnSchedule` resolves from the linked library alone, and time properties set by name in
// QML read back from the item.
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QStringList>
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
    std::unique_ptr<QObject> editor(component.create());
    if (!editor || !editor->inherits("tarn::ScheduleEditor")) {
        std::cerr << "no ScheduleEditor from QML: " << component.errorString().toStdString()
                  << '\n';
        return 1;
    }
    QStringList monday;
    QMetaObject::invokeMethod(editor.get(), "dayRanges", Q_RETURN_ARG(QStringList, monday),
                              Q_ARG(int, 0));
    if (editor->property("Schedule_MondayStart1").toInt() != 800 ||
        editor->property("Schedule_MondayStop1").toInt() != 1200 ||
        monday != QStringList{"08:00-12:00"} ||
        editor->property("SpecialDayCaption").toString() != "Holiday") {
        std::cerr << "the values set in QML did not read back from the item\n";
        return 1;
    }
    std::cout << "quick ok\n";
    return 0;
}
