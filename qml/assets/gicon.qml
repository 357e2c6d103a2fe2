pragma Singleton
import QtQuick 2.15

QtObject {
}
