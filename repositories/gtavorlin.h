#pragma once

#include "repositories/grepository.h"
#include "store/tavorlin.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

struct TavorlinPosition;

namespace UGENERAL {

class GFile;

// Board repository: Tavorlin boards with their filters, order, positions and access.
class GTavorlin : public GRepository
{
public:
    explicit GTavorlin(const SharedSnapshot &snapshot);
    ~GTavorlin() override;

    bool save(QJsonObject tavorlin);
    void saveAll(QJsonArray tavorlins, qlonglong date = -1);
    bool remove(QString serverId, qlonglong date = -1);
    bool edit(QString serverId, int color, QString name, qlonglong date = -1);
    bool saveOrder(int tavorlinId, QString orderField, QString orderType);
    void changePosition(QString startPosition, QString endPosition, QString shelvesId, QString tavorlinId);
    bool saveAgentAccess(QJsonObject data, qlonglong date = -1);
    bool saveAgentAccessList(QString serverId, QJsonArray access, qlonglong date = -1);
    bool saveDefaultId(int tavorlinId, QString serverId);
    void saveDefaults();
    QJsonObject get(QString serverId, int tavorlinId);
    QJsonArray getAll(QString shelvesId, int userId);
    QJsonArray getExist();
    QJsonArray getAccessList(QString serverId, QString agentId);
    QJsonArray getCounts(QJsonArray tavorlins);

    // The board as the screens take it, with its labels; position is its place on the shelf
    // it is shown on, 0 where no shelf applies.
    QJsonObject toJson(const Tavorlin &board, int position);

    // The label of a price field on a board of tradeType (request forms say "at most").
    static QString priceLabel(const QString &title, const QString &requestTitle, int tradeType,
                              const QString &key, const QString &parentKey);
    // An amount shortened to its thousands, millions or billions: 1500000 gives 1.5.
    static QString formatNumber(const QString &amount);
    // formatNumber followed by a space and the unit it was shortened by.
    static QString formatAmount(const QString &amount);

private:
    // Reads the board with that local id, applies change and stores it; false when there is none.
    bool updateBoard(int tavorlinId, const std::function<void(Tavorlin &)> &change);
    GFile getFileDb() const;
    const std::string *toggleTitle(const std::string &parentKey, int key);
    QString describeField(const std::string &key, const QString &value1, const QString &value2, int tradeType);
    void stamp(qlonglong date);

    // Toggle titles by (parent key, key), read once per repository: a board list asks for
    // the same few hundred catalogue rows again and again.
    std::shared_ptr<std::map<std::pair<std::string, int>, std::string>> toggles_;
};

} // namespace UGENERAL
