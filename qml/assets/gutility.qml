pragma Singleton
import QtQuick 2.15
import com 1.0
UtilizeIO {
}
