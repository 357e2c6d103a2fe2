#include "repositories/gtavorlin.h"

#include "repositories/gaccesslist.h"
#include "repositories/gfile.h"
#include "repositories/gjson.h"
#include "repositories/grows.h"
#include "repositories/guser.h"
#include "shell/gdateconvertor.h"
#include "store/card.h"
#include "store/district.h"
#include "store/hashtag.h"
#include "store/inputfield.h"
#include "store/tavorlinfilter.h"
#include "store/tavorlinposition.h"
#include "store/togglefield.h"
#include "store/user.h"

#include <QDebug>
#include <QLocale>

#include <cmath>
#include <set>

namespace UGENERAL {

namespace {

const char *const kNoBoard = "no tavorlin was found for that query!";
const char *const kArchived = "بایگانی ";
const int kArchivedOffset = 8; // trade types 9-16 are the archived forms of 1-8
const int kRangeFilter = 2;    // InputField.filter_type of a from-to field

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

int foldTrade(int tradeType)
{
    return tradeType > kArchivedOffset && tradeType <= 2 * kArchivedOffset ? tradeType - kArchivedOffset : tradeType;
}

// A whole number as its exact digits: the file query reads these texts back as integers, so
// "1.5e+06" would select from 1.
bool wholeNumber(double value, qint64 *whole)
{
    if (!std::isfinite(value) || std::floor(value) != value || std::fabs(value) >= 9.2e18)
        return false;
    *whole = qint64(value);
    return true;
}

std::string storedValue1(const QJsonValue &value)
{
    if (value.isString())
        return value.toString().toStdString();
    if (value.isDouble()) {
        qint64 whole = 0;
        if (wholeNumber(value.toDouble(), &whole))
            return std::to_string(whole);
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest).toStdString();
    }
    return "0";
}

std::string storedValue2(const QJsonValue &value)
{
    if (value.isString())
        return value.toString().toStdString();
    if (value.isDouble()) {
        qint64 whole = 0;
        if (wholeNumber(value.toDouble(), &whole))
            return std::to_string(whole);
        return QString::number(value.toDouble(), 'f', 2).toStdString();
    }
    return "0";
}

QString general6(double value)
{
    return QString::number(value, 'g', 6);
}

// The digits before the first "." of an amount text.
QString wholePart(const QString &amount)
{
    const int dot = amount.indexOf(QLatin1Char('.'));
    return dot < 0 ? amount : amount.left(dot);
}

QString unitFor(const QString &amount)
{
    const int n = wholePart(amount).size();
    if (n < 4)
        return QString();
    if (n <= 6)
        return QStringLiteral("هزار");
    if (n <= 9)
        return QStringLiteral("میلیون");
    return QStringLiteral("میلیارد");
}

// One to four decimal digits: the form of a toggle key in a filter row.
bool toggleKeyText(const QString &text)
{
    if (text.isEmpty() || text.size() > 4)
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

double numberOf(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? value : 0;
}

std::unique_ptr<TavorlinPosition> positionOf(obx::Store &store, const std::string &shelf, const std::string &board)
{
    return obx::Box<TavorlinPosition>(store)
        .query(TavorlinPosition_::shelves_id.equals(shelf) && TavorlinPosition_::tavorlin_id.equals(board))
        .build()
        .findFirst();
}

std::unique_ptr<Tavorlin> boardById(obx::Store &store, const std::string &serverId)
{
    if (serverId.empty())
        return nullptr; // many default boards share the empty id; it names none of them
    return obx::Box<Tavorlin>(store).query(Tavorlin_::server_id.equals(serverId)).build().findFirst();
}

QJsonObject filterItem(const QString &key, const QString &value1, const QString &value2)
{
    return QJsonObject{
        {QStringLiteral("key"), key},
        {QStringLiteral("value"), QJsonObject{{QStringLiteral("value_1"), value1}, {QStringLiteral("value_2"), value2}}},
    };
}

} // namespace

GTavorlin::GTavorlin(const SharedSnapshot &snapshot) : GRepository(snapshot) {}

GTavorlin::~GTavorlin() = default;

GFile GTavorlin::getFileDb() const
{
    return GFile(snapshot());
}

void GTavorlin::stamp(qlonglong date)
{
    if (date > 0)
        GUser(snapshot()).updateDate(date, -1);
}

// ---- Writes ---------------------------------------------------------------------------------

bool GTavorlin::save(QJsonObject tavorlin)
{
    // One write, so a failure never leaves a board with part of its filters.
    obx::Transaction tx = store.txWrite();
    obx::Box<Tavorlin> boards(store);
    obx::Box<TavorlinFilter> filters(store);

    const std::string id = GJson::utf8(tavorlin, QStringLiteral("_id"));
    const std::string owner = GJson::utf8(tavorlin, QStringLiteral("user_ref"));
    const int32_t trade = GJson::int32(tavorlin, QStringLiteral("trade_ref"));
    const int32_t property = GJson::int32(tavorlin, QStringLiteral("property_ref"));
    const QJsonArray filterList = tavorlin.value(QStringLiteral("filter")).toArray();
    const bool hasFilters = !filterList.isEmpty();

    Tavorlin board;
    board.order_field = "_id";
    board.order_type = "desc";

    std::unique_ptr<Tavorlin> existing = boardById(store, id);
    if (!hasFilters) {
        // A default board: its server copy takes over the local one of the same owner, trade
        // and property, but never a board that has filters of its own. An unclaimed local
        // default is preferred to one that already carries another server id.
        if (!existing) {
            auto query = boards
                             .query(Tavorlin_::user_id.equals(owner) && Tavorlin_::trade_type.equals(trade) &&
                                    Tavorlin_::property_type.equals(property) && Tavorlin_::is_default.equals(true))
                             .build();
            for (std::unique_ptr<Tavorlin> &candidate : query.find()) {
                if (!existing || (candidate->server_id.empty() && !existing->server_id.empty()))
                    existing = std::move(candidate);
            }
        }
        board.is_default = true;
    }
    if (existing) {
        board.id = existing->id;
        board.order_field = existing->order_field;
        board.order_type = existing->order_type;
    }
    if (hasFilters && !id.empty())
        filters.query(TavorlinFilter_::tavorlin_id.equals(id)).build().remove();

    board.user_id = owner;
    board.name = GJson::utf8(tavorlin, QStringLiteral("name"));
    board.server_id = id;
    board.trade_type = trade;
    board.property_type = property;
    board.color = GJson::int32(tavorlin, QStringLiteral("color"));
    board.shared = !tavorlin.value(QStringLiteral("share")).toArray().isEmpty();
    board.access = GJson::toStrings(tavorlin.value(QStringLiteral("access")).toArray());
    boards.put(board);

    // Filter rows are found by the board's server id; rows under the empty id would show on
    // every default board.
    if (!id.empty()) {
        for (const QJsonValue &element : filterList) {
            const QJsonObject item = element.toObject();
            const QJsonObject value = item.value(QStringLiteral("value")).toObject();
            TavorlinFilter row;
            row.key = GJson::utf8(item, QStringLiteral("key"));
            row.value_1 = storedValue1(value.value(QStringLiteral("value_1")));
            row.value_2 = storedValue2(value.value(QStringLiteral("value_2")));
            row.tavorlin_id = id;
            filters.put(row);
        }
    }
    tx.success();
    return true;
}

void GTavorlin::saveAll(QJsonArray tavorlins, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    for (const QJsonValue &element : tavorlins) {
        const QJsonObject item = element.toObject();
        if (GRows::dies(item))
            remove(GJson::text(item, QStringLiteral("_id")), -1);
        else
            save(item);
    }
    stamp(date);
    tx.success();
}

bool GTavorlin::remove(QString serverId, qlonglong date)
{
    const std::string id = serverId.toStdString();
    obx::Transaction tx = store.txWrite();
    if (!id.empty()) {
        obx::Box<TavorlinPosition> positions(store);
        // The shelves it stood on close the gap, so their positions stay 0..n-1.
        for (const std::unique_ptr<TavorlinPosition> &row :
             positions.query(TavorlinPosition_::tavorlin_id.equals(id)).build().find()) {
            auto later = positions
                             .query(TavorlinPosition_::shelves_id.equals(row->shelves_id) &&
                                    TavorlinPosition_::position.greaterThan(row->position))
                             .build();
            for (std::unique_ptr<TavorlinPosition> &next : later.find()) {
                next->position -= 1;
                positions.put(*next);
            }
            positions.remove(row->id);
        }
        obx::Box<Tavorlin>(store).query(Tavorlin_::server_id.equals(id)).build().remove();
        obx::Box<TavorlinFilter>(store).query(TavorlinFilter_::tavorlin_id.equals(id)).build().remove();
    }
    stamp(date);
    tx.success();
    return true;
}

bool GTavorlin::edit(QString serverId, int color, QString name, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    std::unique_ptr<Tavorlin> board = boardById(store, serverId.toStdString());
    if (!board) {
        tx.success(); // nothing written; a joined transaction must not be aborted by a miss
        return false;
    }
    board->color = color;
    board->name = name.toStdString();
    obx::Box<Tavorlin>(store).put(*board);
    stamp(date);
    tx.success();
    return true;
}

bool GTavorlin::updateBoard(int tavorlinId, const std::function<void(Tavorlin &)> &change)
{
    if (tavorlinId <= 0)
        return false;
    obx::Transaction tx = store.txWrite();
    obx::Box<Tavorlin> boards(store);
    std::unique_ptr<Tavorlin> board = boards.get(obx_id(tavorlinId));
    // A miss still commits, so it never aborts a transaction this call has joined.
    if (!board) {
        tx.success();
        return false;
    }
    change(*board);
    const bool stored = boards.put(*board) != 0;
    tx.success();
    return stored;
}

bool GTavorlin::saveOrder(int tavorlinId, QString orderField, QString orderType)
{
    return updateBoard(tavorlinId, [&](Tavorlin &board) {
        board.order_field = orderField.toStdString();
        board.order_type = orderType.toStdString();
    });
}

bool GTavorlin::saveDefaultId(int tavorlinId, QString serverId)
{
    return updateBoard(tavorlinId, [&](Tavorlin &board) { board.server_id = serverId.toStdString(); });
}

void GTavorlin::changePosition(QString startPosition, QString endPosition, QString shelvesId, QString tavorlinId)
{
    const std::string shelf = shelvesId.toStdString();
    obx::Transaction tx = store.txWrite();
    obx::Box<TavorlinPosition> positions(store);
    std::unique_ptr<TavorlinPosition> start = positionOf(store, shelf, startPosition.toStdString());
    std::unique_ptr<TavorlinPosition> end = positionOf(store, shelf, endPosition.toStdString());
    const int s = start ? start->position : -1;
    const int e = end ? end->position : -1;
    qDebug() << "moving board on shelf" << shelvesId << "from" << s << "to" << e;
    std::unique_ptr<TavorlinPosition> moved = positionOf(store, shelf, tavorlinId.toStdString());
    // Without both ends and the moved row the shift would leave negative or doubled places.
    if (s < 0 || e < 0 || !moved) {
        tx.success();
        return;
    }

    if (s > e) {
        auto rows = positions
                        .query(TavorlinPosition_::shelves_id.equals(shelf) && TavorlinPosition_::position.greaterOrEq(e) &&
                               TavorlinPosition_::position.lessThan(s))
                        .build();
        for (std::unique_ptr<TavorlinPosition> &row : rows.find()) {
            row->position += 1;
            positions.put(*row);
        }
    } else {
        auto rows = positions
                        .query(TavorlinPosition_::shelves_id.equals(shelf) && TavorlinPosition_::position.greaterThan(s) &&
                               TavorlinPosition_::position.lessOrEq(e))
                        .build();
        for (std::unique_ptr<TavorlinPosition> &row : rows.find()) {
            row->position -= 1;
            positions.put(*row);
        }
    }
    moved->position = e;
    positions.put(*moved);
    tx.success();
}

bool GTavorlin::saveAgentAccess(QJsonObject data, qlonglong date)
{
    const std::string agent = GJson::utf8(data, QStringLiteral("agent_id"));
    obx::Transaction tx = store.txWrite();
    obx::Box<Tavorlin> boards(store);
    for (const QJsonValue &id : data.value(QStringLiteral("success_remove")).toArray()) {
        std::unique_ptr<Tavorlin> board = boardById(store, id.toString().toStdString());
        if (board && GAccessList::remove(board->access, agent))
            boards.put(*board);
    }
    for (const QJsonValue &id : data.value(QStringLiteral("success_add")).toArray()) {
        std::unique_ptr<Tavorlin> board = boardById(store, id.toString().toStdString());
        if (board && GAccessList::add(board->access, agent))
            boards.put(*board);
    }
    stamp(date);
    tx.success();
    return true;
}

bool GTavorlin::saveAgentAccessList(QString serverId, QJsonArray access, qlonglong date)
{
    obx::Transaction tx = store.txWrite();
    if (std::unique_ptr<Tavorlin> board = boardById(store, serverId.toStdString())) {
        board->access = GAccessList::fromArray(access);
        obx::Box<Tavorlin>(store).put(*board);
    }
    stamp(date);
    tx.success();
    return true;
}

void GTavorlin::saveDefaults()
{
    qDebug() << "saving defalut tavorlins";
    obx::Transaction tx = store.txWrite();
    obx::Box<Card> cards(store);
    obx::Box<ToggleField> toggleFields(store);
    obx::Box<Tavorlin> boards(store);
    for (int b = 1; b <= 2 * kArchivedOffset; ++b) {
        const int t = foldTrade(b);
        const int p = t <= 4 ? -1 : -2;
        qDebug().noquote() << "selecting card with " + QString::number(t) + " and " + QString::number(p);
        std::unique_ptr<Card> card =
            cards.query(Card_::trade_type.equals(t) && Card_::property_type.equals(p)).build().findFirst();
        if (!card)
            continue;
        int color = 20;
        if (b <= kArchivedOffset) {
            static const int kColors[4] = {4, 16, 9, 13};
            color = kColors[(b - 1) % 4];
        }
        for (const std::string &entry : card->toggles) {
            bool ok = false;
            const qulonglong toggleId = QString::fromStdString(entry).toULongLong(&ok);
            if (!ok)
                continue;
            std::unique_ptr<ToggleField> toggle = toggleFields.get(obx_id(toggleId));
            if (!toggle)
                continue;
            Tavorlin board;
            board.user_id = user.server_id;
            board.trade_type = b;
            board.property_type = toggle->key;
            board.color = color;
            board.order_field = "_id";
            board.order_type = "desc";
            board.is_default = true;
            boards.put(board);
        }
    }
    tx.success();
}

// ---- Reads ----------------------------------------------------------------------------------

const std::string *GTavorlin::toggleTitle(const std::string &parentKey, int key)
{
    if (!toggles_) {
        toggles_ = std::make_shared<std::map<std::pair<std::string, int>, std::string>>();
        // The first row of a pair wins, as a query for the first match would give.
        for (const std::unique_ptr<ToggleField> &row : obx::Box<ToggleField>(store).getAll())
            toggles_->emplace(std::make_pair(row->parent_key, row->key), row->title);
    }
    const auto found = toggles_->find(std::make_pair(parentKey, key));
    return found == toggles_->end() ? nullptr : &found->second;
}

QString GTavorlin::describeField(const std::string &key, const QString &value1, const QString &value2, int tradeType)
{
    const size_t dot = key.find('.');
    const std::string parent = key.substr(0, dot);
    const std::string field = key.substr(dot + 1);
    std::unique_ptr<InputField> input =
        obx::Box<InputField>(store)
            .query(InputField_::parent_key.equals(parent) && InputField_::key.equals(field))
            .build()
            .findFirst();
    if (!input)
        return QStringLiteral(" ");

    QString text = priceLabel(q(input->title), q(input->request_title), tradeType, q(field), q(parent)) +
                   QLatin1Char(' ');
    const double lo = value1.isEmpty() ? 0 : numberOf(value1);
    const double hi = value2.isEmpty() ? 0 : numberOf(value2);
    const bool currency = input->currency;
    if (input->filter_type == kRangeFilter) {
        if (lo > 0 && hi > 0) {
            QString from = value1;
            if (currency) {
                // The lower bound names its own unit when it differs: 500 thousand to 3 million.
                from = formatNumber(value1);
                const QString unit = unitFor(value1);
                if (unit != unitFor(value2) && !unit.isEmpty())
                    from += QLatin1Char(' ') + unit;
            }
            text += from + QStringLiteral(" تا ") + (currency ? formatAmount(value2) : value2);
        } else if (lo > 0) {
            text += QStringLiteral("از ") + (currency ? formatAmount(value1) : general6(lo));
        } else if (hi > 0) {
            text += QStringLiteral("تا ") + (currency ? formatAmount(value2) : general6(hi));
        }
    } else {
        text += general6(lo);
    }
    return text + QLatin1Char(' ');
}

QJsonObject GTavorlin::toJson(const Tavorlin &board, int position)
{
    QJsonObject json{
        {QStringLiteral("id"), int(board.id)},
        {QStringLiteral("_id"), q(board.server_id)},
        {QStringLiteral("user_id"), q(board.user_id)},
        {QStringLiteral("name"), q(board.name)},
        {QStringLiteral("trade_type"), board.trade_type},
        {QStringLiteral("color"), board.color},
        {QStringLiteral("property_type"), board.property_type},
        {QStringLiteral("shared"), board.shared},
        {QStringLiteral("order_field"), q(board.order_field)},
        {QStringLiteral("order_type"), q(board.order_type)},
        {QStringLiteral("position"), position},
    };

    QString tradeName;
    QString propertyName;
    if (const std::string *title = toggleTitle("trade", foldTrade(board.trade_type))) {
        const bool archived = board.trade_type > kArchivedOffset && board.trade_type <= 2 * kArchivedOffset;
        tradeName = (archived ? QString::fromUtf8(kArchived) : QString()) + q(*title);
        json.insert(QStringLiteral("trade_name"), tradeName);
    }
    if (const std::string *title = toggleTitle("property", board.property_type)) {
        propertyName = q(*title);
        json.insert(QStringLiteral("property_name"), propertyName);
    }

    QString description;
    bool broken = false;
    QJsonArray items;
    // Default boards have no server id and so no filter rows of their own.
    const std::vector<std::unique_ptr<TavorlinFilter>> rows =
        board.server_id.empty()
            ? std::vector<std::unique_ptr<TavorlinFilter>>()
            : obx::Box<TavorlinFilter>(store).query(TavorlinFilter_::tavorlin_id.equals(board.server_id)).build().find();
    std::unique_ptr<GDateConvertor> dates;
    for (const std::unique_ptr<TavorlinFilter> &row : rows) {
        const QString key = q(row->key);
        const QString value1 = q(row->value_1);
        const QString value2 = row->value_2 == "0" ? QString() : q(row->value_2);

        if (row->key == "hashtag_ref") {
            std::unique_ptr<HashTag> tag =
                obx::Box<HashTag>(store).query(HashTag_::server_id.equals(row->value_1)).build().findFirst();
            if (!tag) {
                broken = true;
                break;
            }
            description += q(tag->title) + QLatin1Char(' ');
        } else if (row->key == "district_ref") {
            std::unique_ptr<District> district =
                obx::Box<District>(store).query(District_::server_id.equals(row->value_1)).build().findFirst();
            if (!district) {
                broken = true;
                break;
            }
            description += q(district->title) + QLatin1Char(' ');
        } else if (row->key == "agent_ref") {
            std::unique_ptr<User> agentRow =
                obx::Box<User>(store)
                    .query(User_::server_id.equals(row->value_1) && User_::parent_id.equals(int64_t(user.id)))
                    .build()
                    .findFirst();
            if (!agentRow) {
                broken = true;
                break;
            }
            description += q(agentRow->name_family) + QLatin1Char(' ');
        } else if (row->key == "date") {
            if (!dates)
                dates = std::make_unique<GDateConvertor>();
            description += QStringLiteral("تاریخ ");
            const QString from = value1.isEmpty() ? QString() : dates->toJalaliString(GJson::integer(QJsonValue(value1)));
            const QString to = value2.isEmpty() ? QString() : dates->toJalaliString(qint64(numberOf(value2)));
            if (!value1.isEmpty() && !value2.isEmpty())
                description += QStringLiteral("بین ") + from + QStringLiteral(" و ") + to;
            else if (!value1.isEmpty())
                description += QStringLiteral("از ") + from;
            else if (!value2.isEmpty())
                description += QStringLiteral("تا ") + to;
        } else {
            const std::string *toggle =
                toggleKeyText(value1) ? toggleTitle(row->key, value1.toInt()) : nullptr;
            if (toggle)
                description += q(*toggle) + QLatin1Char(' ');
            else if (row->key.find('.') != std::string::npos)
                description += describeField(row->key, value1, value2, board.trade_type);
        }
        items.append(filterItem(key, value1, value2));
    }

    json.insert(QStringLiteral("filter"), items);
    json.insert(QStringLiteral("broken"), broken);
    json.insert(QStringLiteral("filter_name"), broken ? QString() : description);
    QString title = q(board.name);
    if (title.isEmpty()) {
        QString flat = description;
        flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
        title = tradeName + QLatin1Char(' ') + propertyName + QLatin1Char(' ') + flat;
    }
    json.insert(QStringLiteral("title"), title);
    return json;
}

QJsonObject GTavorlin::get(QString serverId, int tavorlinId)
{
    obx::Transaction tx = store.txRead();
    std::unique_ptr<Tavorlin> board;
    if (serverId.isEmpty()) {
        if (tavorlinId > 0)
            board = obx::Box<Tavorlin>(store).get(obx_id(tavorlinId));
    } else {
        board = boardById(store, serverId.toStdString());
    }
    if (!board)
        return QJsonObject{{QStringLiteral("error"), QString::fromLatin1(kNoBoard)}};
    return toJson(*board, 0);
}

QJsonArray GTavorlin::getAll(QString shelvesId, int userId)
{
    obx::Transaction tx = store.txRead();
    std::set<std::string> onShelf;
    if (!shelvesId.isEmpty()) {
        for (const std::unique_ptr<TavorlinPosition> &row :
             obx::Box<TavorlinPosition>(store)
                 .query(TavorlinPosition_::shelves_id.equals(shelvesId.toStdString()))
                 .build()
                 .find())
            onShelf.insert(row->tavorlin_id);
    }
    QJsonArray list;
    for (const std::unique_ptr<Tavorlin> &board :
         obx::Box<Tavorlin>(store).query(Tavorlin_::user_id.equals(user.server_id)).build().find()) {
        QJsonObject json = toJson(*board, 0);
        json.insert(QStringLiteral("checked"), onShelf.count(board->server_id) > 0);
        list.append(json);
    }
    return list;
}

QJsonArray GTavorlin::getExist()
{
    obx::Transaction tx = store.txRead();
    QJsonArray list;
    auto query = obx::Box<Tavorlin>(store)
                     .query(Tavorlin_::user_id.equals(user.server_id) && Tavorlin_::server_id.notEquals(""))
                     .build();
    for (const std::unique_ptr<Tavorlin> &board : query.find())
        list.append(toJson(*board, 0));
    return list;
}

QJsonArray GTavorlin::getAccessList(QString serverId, QString agentId)
{
    obx::Transaction tx = store.txRead();
    QJsonArray list;
    if (!serverId.isEmpty()) {
        if (std::unique_ptr<Tavorlin> board = boardById(store, serverId.toStdString()))
            for (const std::string &entry : board->access)
                list.append(QJsonObject{{QStringLiteral("user_id"), q(entry)}});
        return list;
    }
    for (const std::unique_ptr<Tavorlin> &board :
         obx::Box<Tavorlin>(store).query(Tavorlin_::access.contains(agentId.toStdString())).build().find())
        list.append(QJsonObject{{QStringLiteral("tavorlin_id"), q(board->server_id)}});
    return list;
}

QJsonArray GTavorlin::getCounts(QJsonArray tavorlins)
{
    obx::Transaction tx = store.txRead();
    GFile files = getFileDb();
    QJsonArray counts;
    for (const QJsonValue &element : tavorlins) {
        const QJsonObject board = element.toObject();
        const int trade = GJson::int32(board, QStringLiteral("trade_type"));
        const int property = GJson::int32(board, QStringLiteral("property_type"));
        const QJsonArray filter = board.value(QStringLiteral("filter")).toArray();
        const int badge = board.value(QStringLiteral("broken")).toBool()
                              ? 0
                              : files.getFilesCount(trade, property, filter, true, QString());
        const int count = files.getFilesCount(trade, property, filter, false, QString());
        counts.append(QJsonObject{{QStringLiteral("badge"), badge}, {QStringLiteral("count"), count}});
    }
    return counts;
}

// ---- Labels ---------------------------------------------------------------------------------

QString GTavorlin::priceLabel(const QString &title, const QString &requestTitle, int tradeType, const QString &key,
                              const QString &parentKey)
{
    const int t = foldTrade(tradeType);
    const bool price = parentKey == QLatin1String("price");
    if (t == 2 && price && key == QLatin1String("price_1"))
        return QStringLiteral("مبلغ رهن");
    if (t == 2 && price && key == QLatin1String("price_2"))
        return QStringLiteral("مبلغ اجاره");
    if (t >= 1 && t <= 4)
        return title;
    if (t == 6 && price && key == QLatin1String("price_1"))
        return QStringLiteral("سقف مبلغ رهن");
    if (t == 6 && price && key == QLatin1String("price_2"))
        return QStringLiteral("سقف مبلغ اجاره");
    if (t == 7 && key == QLatin1String("price_2"))
        return QStringLiteral("سقف مبلغ مشارکت");
    if (t >= 5 && t <= 8)
        return requestTitle;
    return title;
}

QString GTavorlin::formatNumber(const QString &amount)
{
    if (amount.isEmpty())
        return QStringLiteral("0");
    const QString whole = wholePart(amount);
    bool ok = false;
    const double x = whole.toDouble(&ok);
    if (!ok)
        return amount;
    const int n = whole.size();
    if (n <= 3)
        return whole;
    const double divisor = n <= 6 ? 1e3 : n <= 9 ? 1e6 : 1e9;
    return general6(x / divisor);
}

QString GTavorlin::formatAmount(const QString &amount)
{
    return formatNumber(amount) + QLatin1Char(' ') + unitFor(amount);
}

} // namespace UGENERAL
