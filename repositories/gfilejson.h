#pragma once

#include "repositories/guser.h"
#include "store/file.h"
#include "store/sharedstate.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QString>

#include <map>
#include <string>

namespace UGENERAL {

// The JSON of a stored file that the screens show, at summary level (lists) or full level
// (single files, export pages), with its child rows and the rows it names by server id. One
// converter serves one read: it remembers the catalogue titles, agents, districts and activity
// authors it has looked up, which a list's files share.
class GFileJson
{
public:
    explicit GFileJson(const SharedSnapshot &snapshot);

    // With keys, only those top-level keys are built: a reader of a few parts of many files
    // (the Excel export) skips the look-ups of the rest. Each key built has the value it has in
    // the whole JSON.
    QJsonObject fileToJson(const File &file, bool full, const QSet<QString> *keys = nullptr);

    // The number of counterpart files (offers for a request, requests for an offer) of the
    // owner whose price lies within a tenth of this file's.
    int matchCount(const File &file);

    // The guard a draft keeps as typed ({"name_family", "mobile_1"}, what was typed of them) in
    // place of a guard's server id, or "" when nothing was typed.
    static QString draftGuardText(const QJsonObject &typed);

private:
    const QJsonObject &contactOf(const std::string &serverId);
    static QJsonObject draftCustomer(const File &file);
    void addGuard(const File &file, QJsonObject &json);
    QJsonObject info(const File &file, bool full);
    QJsonObject meter(const File &file, bool full);
    void addTenant(const File &file, QJsonObject &json);
    void addToggles(const File &file, bool full, QJsonObject &json, const QSet<QString> *keys);
    void addDistricts(const File &file, QJsonObject &json);
    void addHashtags(const File &file, QJsonObject &json);
    QJsonArray matchTags(const File &file);
    void addActivities(const File &file, QJsonObject &json);
    void addAgent(const File &file, QJsonObject &json);
    // The title of the catalogue entry parentKey/key, or nothing.
    const std::string *catalogueTitle(const std::string &parentKey, int key);

    SharedSnapshot snapshot_;
    obx::Store &store_;
    GUser users_;
    std::map<std::pair<std::string, int>, std::pair<bool, std::string>> titles_;
    std::map<std::string, QJsonObject> agents_;     // agent server id -> JSON, empty when missing
    std::map<std::string, QJsonObject> districts_;  // server id -> JSON, empty when missing
    std::map<std::string, std::pair<obx_id, std::string>> authors_; // server id -> (local id, image)
    std::map<std::string, QJsonObject> contacts_;   // server id -> JSON, empty when missing
};

} // namespace UGENERAL
