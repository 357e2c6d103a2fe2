#pragma once

#include "store/file.h"
#include "store/user.h"

#include <QJsonArray>
#include <QString>

#include <string>

namespace UGENERAL {

// Turns the filter items of the search and board screens into conditions on a File query.
// A filter item is {"key": K, "value": {"value_1": A, "value_2": B}}; every key's meaning is
// fixed here, so boards, lists, counts and the recycle-bin purge all read it the same way.
class GFileFilter
{
public:
    // owner and agent are the repository's copies; agent.id is 0 for the manager.
    GFileFilter(const User &owner, const User &agent);

    // Adds every condition at the builder's root (so they combine with AND). With drafts, the
    // owner's drafts instead of his files, an agent's as well as another's.
    void apply(obx::QueryBuilder<File> &builder, int tradeType, int propertyType, const QJsonArray &filters,
               const QString &keyword, const QString &userId, bool drafts = false) const;

    // Ends every district title in a file's district_array and separates the district ids of a
    // "district_array" filter value.
    static const std::string &districtSeparator();
    // address, description, district title, customer name or mobile, or the code itself.
    static obx::QueryCondition keywordGroup(const QString &keyword);
    // What an agent may see: shared files and the private files assigned to him.
    static obx::QueryCondition agentVisibility(const std::string &agentServerId);
    // The manager's own files: those without an agent and those whose agent is the manager.
    static obx::QueryCondition ownersFiles(const std::string &ownerServerId);

private:
    const User &owner_;
    const User &agent_;
};

} // namespace UGENERAL
