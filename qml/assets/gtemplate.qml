pragma Singleton
import QtQuick 2.15

// Opens screens by their path under the resource tree: pages on the root stack, dialogs over the window.
Item {
    id: templates

    property var dialogs: []

    function source(address, qrc) {
        return "qrc:/" + (qrc ? qrc : "templates") + "/" + address
    }

    function uri(address, qrc) {
        return Qt.resolvedUrl(source(address, qrc))
    }

    function initial(path, options, qrc) {
        try {
            return Stacks.push(uri(path, qrc), Stacks.main, options || {})
        } catch (e) {
            Toast.error(e, "initial")
            return null
        }
    }

    // A screen opened from the item `from`: in front, on the stack `from` lies on (Stacks.open).
    function open(from, path, options, qrc) {
        try {
            return Stacks.open(from, uri(path, qrc), options || {})
        } catch (e) {
            Toast.error(e, "open")
            return null
        }
    }

    function replace(path, options) {
        try {
            closeAllDialogs()
            return Stacks.replaceAll(uri(path), options || {})
        } catch (e) {
            Toast.error(e, "replace")
            return null
        }
    }

    function dialog(path, options, qrc) {
        try {
            var component = Qt.createComponent(uri(path, qrc))
            if (component.status !== Component.Ready) {
                console.warn("Error 'Loading View' QML path: " + path + " " + component.errorString())
                return null
            }
            var parentItem = Consts.window ? Consts.window.contentItem : templates
            var view = component.createObject(parentItem)
            if (!view) {
                console.warn("Error 'Loading View' QML path: " + path + " " + component.errorString())
                return null
            }
            dialogs.push(view)
            if (typeof view.initial === "function")
                view.initial(options || {})
            if (view.closed) {
                view.closed.connect(function () {
                    // Only this dialog's entry goes: dialogs may close in any order.
                    removeDialog(view)
                    view.destroy()
                })
            }
            return view
        } catch (e) {
            Toast.error(e, "dialog")
            return null
        }
    }

    // A feature screen of the page container by key: over the window on desktops, else a page.
    // Whether the account may open this screen of the page container; a refusal is shown.
    function allows(key, options) {
        return Account.allowsContainer(key, options)
    }

    function container(key, options, callback) {
        if (!allows(key, options))
            return null
        var opts = {"contentType": key, "options": options || {}, "callback": callback || null}
        if (Consts.desktop) {
            var view = dialog("generals/dialog/StackContentDialog.qml", opts)
            if (view)
                view.open()
            return view
        }
        return initial("generals/StackContent.qml", opts)
    }

    // A feature screen of the page container opened from the item `from`, in a container of its own
    // on the stack `from` lies on; null when the account may not open it (the refusal is shown).
    function content(from, key, options) {
        if (!allows(key, options))
            return null
        return open(from, "generals/StackContent.qml", {"contentType": key, "options": options || {}})
    }

    // The map in its picking mode over everything open; the chosen point goes to picked(lat, lng).
    function pickPoint(picked) {
        var view = dialog("map/dialog/MapPicker.qml", {})
        if (view) {
            view.picked.connect(picked)
            view.open()
        }
        return view
    }

    // The one yes/no question of the program ({title, text}); `accepted` runs on "بله". Answers
    // the open dialog, or null when it could not be made.
    function confirm(options, accepted) {
        var view = dialog("dialog/DConfirm.qml", options, "com")
        if (!view)
            return null
        if (accepted)
            view.accepted.connect(accepted)
        view.open()
        return view
    }

    function removeDialog(view) {
        var i = dialogs.indexOf(view)
        if (i !== -1)
            dialogs.splice(i, 1)
    }

    function closeAllDialogs() {
        var open = dialogs.slice()
        for (var i = 0; i < open.length; ++i) {
            var view = open[i]
            if (view.opened || view.visible) {
                view.close()
            } else {
                // Never opened, so no closed signal will come to release it.
                removeDialog(view)
                view.destroy()
            }
        }
    }
}
