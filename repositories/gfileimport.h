#pragma once

#include "store/file.h"
#include "store/sharedstate.h"

#include <QJsonObject>
#include <QString>

#include <string>
#include <unordered_map>

namespace UGENERAL {

// Turns the server's JSON of a property file into the File row and its child rows. Missing or
// mistyped keys take 0, false or the empty text; nothing in the JSON fails an import. Every
// call runs in the caller's write transaction, so one batch is stored whole or not at all.
class GFileImport
{
public:
    explicit GFileImport(const SharedSnapshot &snapshot);

    // The agency's own file. A file whose "_id" is stored keeps its local id and gets new child
    // rows; its activities stay. Answers the file's local id.
    obx_id fileFromJson(const QJsonObject &file);
    // A colleague's file, always a new row; its districts are stored or retitled.
    obx_id colleagueFileFromJson(const QJsonObject &file, int propertyType, const std::string &userId);

    // The toggle text of one toggle key: each number followed by ","; "," for an empty list and
    // "" when the key is absent.
    static std::string joinIntArray(const QJsonObject &object, const QString &key);

private:
    // What the own and the colleague file share: types, info, meter, code, dates, status,
    // price, toggles, media links and match tags.
    void readCommon(const QJsonObject &json, File &file);
    void readInfo(const QJsonObject &json, File &file);
    void readMeter(const QJsonObject &json, File &file);
    void readToggles(const QJsonObject &json, File &file);
    void readMatchTags(const QJsonObject &json, const File &file);
    const std::string &districtTitle(const std::string &serverId);

    SharedSnapshot snapshot_;
    obx::Store &store_;
    std::unordered_map<std::string, std::string> districtTitles_;
};

} // namespace UGENERAL
