#include "repositories/gaccesslist.h"

#include <algorithm>

namespace UGENERAL {

bool GAccessList::add(std::vector<std::string> &list, const std::string &agentId)
{
    if (std::find(list.begin(), list.end(), agentId) != list.end())
        return false;
    list.push_back(agentId);
    return true;
}

bool GAccessList::remove(std::vector<std::string> &list, const std::string &agentId)
{
    const auto end = std::remove(list.begin(), list.end(), agentId);
    const bool removed = end != list.end();
    list.erase(end, list.end());
    return removed;
}

std::vector<std::string> GAccessList::fromArray(const QJsonArray &array)
{
    std::vector<std::string> list;
    for (const QJsonValue &value : array)
        add(list, value.toString().toStdString());
    return list;
}

} // namespace UGENERAL
