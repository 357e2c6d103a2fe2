pragma Singleton
import QtQuick 2.15
import com.native 1.0
Downloader {
}
