// The list of records of one page of the first download, as the socket object parsed it on its
// network thread. It passes through the QML handlers to the save slot without ever becoming
// script values: scripts read its length, and turn it into an array only where they must.
#pragma once

#include <QJsonArray>
#include <QMetaType>

namespace UGENERAL {

class SyncList
{
    Q_GADGET
    Q_PROPERTY(int length READ length CONSTANT)

public:
    SyncList() = default;
    explicit SyncList(QJsonArray items) : m_items(std::move(items)) {}

    int length() const { return m_items.size(); }
    const QJsonArray &items() const { return m_items; }
    Q_INVOKABLE QJsonArray toArray() const { return m_items; }

private:
    QJsonArray m_items;
};

} // namespace UGENERAL

Q_DECLARE_METATYPE(UGENERAL::SyncList)
