#pragma once

#include "store/obx/obx.h"
#include "store/sharedstate.h"

#include <QJsonObject>
#include <QtGlobal>

#include <string>
#include <vector>

namespace UGENERAL {

// What the batch saves of the tag, note, activity and contact repositories share: rows keyed
// by their server id, the "die" mark of a batch item and the update-date stamp.
class GRows
{
public:
    // The local id of the row whose server id is serverId, or 0. An empty id names no row: many
    // rows may carry an empty server id.
    template <class T, class P>
    static obx_id localId(obx::Store &store, const P &serverIdProperty, const std::string &serverId)
    {
        if (serverId.empty())
            return 0;
        const std::vector<obx_id> ids = obx::Box<T>(store).query(serverIdProperty.equals(serverId)).build().findIds();
        return ids.empty() ? 0 : ids.front();
    }

    // Removes every row with that server id and answers how many; an empty id removes nothing,
    // so a "die" item without an id cannot wipe the rows that have none.
    template <class T, class P>
    static uint64_t removeByServerId(obx::Store &store, const P &serverIdProperty, const std::string &serverId)
    {
        if (serverId.empty())
            return 0;
        return obx::Box<T>(store).query(serverIdProperty.equals(serverId)).build().remove();
    }

    // A batch item that asks for the removal of its row instead of a save.
    static bool dies(const QJsonObject &item);

    // Stamps the owner's update date with date when it is above 0.
    static void stamp(const SharedSnapshot &snapshot, qlonglong date);
};

} // namespace UGENERAL
