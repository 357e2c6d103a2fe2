import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// Writes or edits one task and picks the agents it is assigned to. It only gathers the form.
Popup {
    id: editor

    property var task: null
    property var agents: []
    property var chosen: ({})

    signal accepted(var form)

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 380
    padding: 16

    function start(stored, agentList) {
        task = stored || null
        agents = agentList || []
        var picked = {}
        var ids = task && task.assignedTo ? task.assignedTo : []
        for (var i = 0; i < ids.length; ++i)
            picked[typeof ids[i] === "object" ? ids[i]._id : ids[i]] = true
        chosen = picked
        titleField.text = task ? task.title || "" : ""
        bodyField.text = task ? task.body || "" : ""
        open()
    }

    function toggle(id) {
        var picked = chosen
        if (picked[id])
            delete picked[id]
        else
            picked[id] = true
        chosen = picked
        chosenChanged()
    }

    function submit() {
        var ids = []
        for (var i = 0; i < agents.length; ++i)
            if (chosen[agents[i]._id])
                ids.push(agents[i]._id)
        accepted({"title": titleField.text, "body": bodyField.text, "assignedTo": ids})
    }

    contentItem: Column {
        spacing: 10
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: editor.task ? "ویرایش وظیفه" : "وظیفه جدید"
        }

        TextField {
            id: titleField
            objectName: "task_title"
            width: parent.width
            placeholderText: "عنوان"
            selectByMouse: true
        }

        TextArea {
            id: bodyField
            objectName: "task_body"
            width: parent.width
            height: 80
            placeholderText: "توضیحات"
            wrapMode: TextEdit.Wrap
            textFormat: TextEdit.PlainText
            selectByMouse: true
            background: Rectangle { border.color: "#b0bec5"; radius: 4 }
        }

        UTitle { heading: true; title: "مسئول انجام"; visible: editor.agents.length > 0 }

        ListView {
            id: assignees
            objectName: "task_agents"
            width: parent.width
            height: Math.min(160, contentHeight)
            clip: true
            model: editor.agents
            ScrollBar.vertical: ScrollBar {
                objectName: "task_agents_scroll"
                policy: assignees.contentHeight > assignees.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
            }
            delegate: CheckDelegate {
                objectName: "task_agent_" + modelData._id
                width: ListView.view.width
                text: modelData.name_family
                checked: editor.chosen[modelData._id] === true
                onClicked: editor.toggle(modelData._id)
                contentItem: Text {
                    text: modelData.name_family
                    textFormat: Text.PlainText
                    leftPadding: parent.indicator.width + 8
                    verticalAlignment: Text.AlignVCenter
                }
            }
        }

        UButtons {
            Button {
                objectName: "task_save"
                text: "ثبت"
                highlighted: true
                onClicked: editor.submit()
            }
            Button {
                text: "انصراف"
                onClicked: editor.close()
            }
        }
    }
}
