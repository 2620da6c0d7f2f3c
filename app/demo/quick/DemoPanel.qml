// The demo host as a touch-first window for an 800x480 panel: the library of schedules on the
// left in rows a finger can hit, the open schedule's editor filling the rest, the commands in a
// tool bar, and the session's status at the foot. Everything the window does goes through the
// session (`session`, set by the program before the window is shown).
import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import TarnSchedule
import TarnSchedule.Demo

ApplicationWindow {
    id: window
    width: 800
    height: 480
    title: (open ? session.currentName : qsTr("Schedules")) + qsTr(" \u2013 TarnSchedule demo")

    property QtObject session: null
    readonly property bool open: session !== null && session.currentName !== ""
    // Targets no smaller than a finger: about 9 mm at the panel's density.
    readonly property real touchSize: Math.max(44, Screen.pixelDensity * 9)

    function quoted(name) { return "\u201C" + name + "\u201D" }

    header: ToolBar {
        Flickable {
            anchors.fill: parent
            contentWidth: tools.implicitWidth
            clip: true
            flickableDirection: Flickable.HorizontalFlick
            RowLayout {
                id: tools
                height: parent.height
                ToolButton { text: qsTr("New"); onClicked: nameDialog.ask("new", "") }
                ToolButton {
                    text: qsTr("Rename"); enabled: window.open
                    onClicked: nameDialog.ask("rename", session.currentName)
                }
                ToolButton {
                    text: qsTr("Duplicate"); enabled: window.open
                    onClicked: nameDialog.ask("duplicate", session.currentName + qsTr(" (copy)"))
                }
                ToolButton {
                    text: qsTr("Delete"); enabled: window.open
                    onClicked: confirm.ask("delete",
                                           qsTr("Delete %1? This cannot be undone.")
                                               .arg(quoted(session.currentName)))
                }
                ToolSeparator {}
                ToolButton {
                    text: qsTr("Undo"); enabled: session !== null && session.canUndo
                    onClicked: session.undo()
                }
                ToolButton {
                    text: qsTr("Redo"); enabled: session !== null && session.canRedo
                    onClicked: session.redo()
                }
                ToolSeparator {}
                ToolButton { text: qsTr("Copy day"); enabled: window.open; onClicked: copyDialog.open() }
                ToolButton {
                    text: qsTr("Reset"); enabled: window.open
                    onClicked: confirm.ask("reset",
                                           qsTr("Clear every hour of %1? Undo brings it back.")
                                               .arg(quoted(session.currentName)))
                }
                ToolSeparator {}
                ToolButton { text: qsTr("Import"); enabled: window.open; onClicked: importDialog.open() }
                ToolButton { text: qsTr("Export"); enabled: window.open; onClicked: exportDialog.open() }
            }
        }
    }

    RowLayout {
        anchors.fill: parent
        spacing: 0

        ListView {
            id: library
            Layout.preferredWidth: 150
            Layout.fillHeight: true
            clip: true
            model: session ? session.scheduleNames : []
            Accessible.name: qsTr("Schedules")
            delegate: ItemDelegate {
                required property string modelData
                width: ListView.view.width
                height: window.touchSize
                text: modelData
                highlighted: session !== null && modelData === session.currentName
                onClicked: session.openSchedule(modelData)
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.margins: 6

            Pane {
                id: banner
                Layout.fillWidth: true
                visible: session !== null && session.bannerText !== ""
                background: Rectangle { color: "#FFE4B5" }
                RowLayout {
                    anchors.fill: parent
                    Label {
                        Layout.fillWidth: true
                        wrapMode: Text.Wrap
                        color: "black"
                        text: session ? session.bannerText : ""
                    }
                    Button {
                        text: qsTr("Retry")
                        visible: session !== null && session.bannerKind === DemoSession.SaveFailed
                        onClicked: session.retrySave()
                    }
                    Button {
                        text: session && session.canLoadStored ? qsTr("Load stored version")
                                                               : qsTr("Discard changes")
                        visible: session !== null && session.bannerKind === DemoSession.Conflict
                        onClicked: session.loadStoredVersion()
                    }
                    Button {
                        text: qsTr("Keep as new\u2026")
                        visible: session !== null && session.bannerKind === DemoSession.Conflict
                        onClicked: nameDialog.ask("keep", session.currentName + qsTr(" (mine)"))
                    }
                }
            }

            // The open schedule is named in the window's title and marked in the list; the editor
            // keeps the room for its rows.
            Label {
                visible: !window.open
                font.bold: true
                font.pixelSize: 18
                text: qsTr("No schedule: add one with New")
            }

            ScheduleEditor {
                id: editor
                objectName: "editor"
                Layout.fillWidth: true
                Layout.fillHeight: true
                enabled: window.open
                focus: true
            }
        }
    }

    footer: Label {
        padding: 6
        elide: Text.ElideRight
        text: session ? session.statusText : ""
        color: session && session.statusIsProblem ? "#B00000" : palette.windowText
    }

    // A name for a new, renamed, duplicated or kept schedule.
    Dialog {
        id: nameDialog
        property string mode
        anchors.centerIn: parent
        modal: true
        standardButtons: Dialog.Ok | Dialog.Cancel
        title: ({ "new": qsTr("New schedule"), "rename": qsTr("Rename schedule"),
                  "duplicate": qsTr("Duplicate schedule"),
                  "keep": qsTr("Keep as new schedule") })[mode] || ""
        function ask(how, suggested) {
            mode = how
            nameField.text = suggested
            open()
            nameField.forceActiveFocus()
            nameField.selectAll()
        }
        TextField {
            id: nameField
            implicitWidth: 300
            implicitHeight: window.touchSize
            placeholderText: qsTr("Name")
            onAccepted: nameDialog.accept()
        }
        onAccepted: {
            const name = nameField.text.trim()
            if (mode === "new") session.createSchedule(name)
            else if (mode === "rename") session.renameSchedule(name)
            else if (mode === "duplicate") session.duplicateSchedule(name)
            else if (mode === "keep") session.keepAsNewSchedule(name)
        }
    }

    Dialog {
        id: confirm
        property string mode
        property alias text: confirmText.text
        anchors.centerIn: parent
        modal: true
        standardButtons: Dialog.Yes | Dialog.No
        function ask(how, question) {
            mode = how
            text = question
            open()
        }
        Label { id: confirmText; wrapMode: Text.Wrap; width: 360 }
        onAccepted: mode === "delete" ? session.deleteSchedule() : session.resetWeek()
    }

    // One day's hours copied to others.
    Dialog {
        id: copyDialog
        anchors.centerIn: parent
        modal: true
        title: qsTr("Copy day")
        standardButtons: Dialog.Ok | Dialog.Cancel
        readonly property var days: [qsTr("Monday"), qsTr("Tuesday"), qsTr("Wednesday"),
            qsTr("Thursday"), qsTr("Friday"), qsTr("Saturday"), qsTr("Sunday"),
            qsTr("Special")]
        ColumnLayout {
            ComboBox {
                id: source
                implicitHeight: window.touchSize
                model: copyDialog.days.slice(0, editor.SpecialDayEnabled ? 8 : 7)
            }
            GridLayout {
                columns: 4
                Repeater {
                    id: targets
                    model: copyDialog.days.length
                    CheckBox {
                        required property int index
                        text: copyDialog.days[index]
                        implicitHeight: window.touchSize
                        enabled: index !== source.currentIndex
                                 && (index < 7 || editor.SpecialDayEnabled)
                    }
                }
            }
        }
        onAccepted: {
            let to = []
            for (let day = 0; day < targets.count; ++day) {
                const box = targets.itemAt(day)
                if (box.checked && box.enabled) to.push(day)
            }
            session.copyDay(source.currentIndex, to)
        }
    }

    FileDialog {
        id: importDialog
        title: qsTr("Import a week")
        nameFilters: [qsTr("Week files (*.json)"), qsTr("All files (*)")]
        onAccepted: session.importFile(selectedFile)
    }

    FileDialog {
        id: exportDialog
        title: qsTr("Export")
        fileMode: FileDialog.SaveFile
        nameFilters: [qsTr("Week files (*.json)"), qsTr("All files (*)")]
        onAccepted: session.exportFile(selectedFile)
    }
}
