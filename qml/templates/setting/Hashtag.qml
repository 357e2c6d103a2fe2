import QtQuick 2.15

// The agency's hashtags.
TagSettings {
    kind: "hashtag"
}
