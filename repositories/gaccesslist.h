#pragma once

#include <QJsonArray>

#include <string>
#include <vector>

namespace UGENERAL {

// The agent access lists that boards and shelves keep: agent server ids, each listed once.
class GAccessList
{
public:
    // Appends the agent when it is not listed yet; returns whether the list changed.
    static bool add(std::vector<std::string> &list, const std::string &agentId);
    // Removes every entry of the agent, so an old duplicate does not keep the access alive.
    static bool remove(std::vector<std::string> &list, const std::string &agentId);
    // The array's elements as texts, in order, without repeats.
    static std::vector<std::string> fromArray(const QJsonArray &array);
};

} // namespace UGENERAL
