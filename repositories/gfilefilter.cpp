#include "repositories/gfilefilter.h"

#include "repositories/gfile.h"
#include "repositories/gjson.h"
#include "store/fileinfo.h"
#include "store/filetoggle.h"

#include <QJsonObject>
#include <QStringList>

namespace UGENERAL {

namespace {

// Upper bounds that an open range ("from A") is filled with.
const char *const kOpenPriceTop = "999999999999";
const char *const kOpenTop = "1999999999";

using ToggleProperty = obx::Property<FileToggle, OBXPropertyType_String>;

struct ToggleKey
{
    const char *key;
    const ToggleProperty &property;
};

const ToggleKey kToggleKeys[] = {
    {"condition", FileToggle_::condition}, {"coverage", FileToggle_::coverage},
    {"direction", FileToggle_::direction}, {"facilities", FileToggle_::facilities},
    {"frontage", FileToggle_::frontage},   {"heat_cool", FileToggle_::heat_cool},
    {"joints", FileToggle_::joints},       {"kitchen", FileToggle_::kitchen},
    {"location", FileToggle_::location},   {"parking", FileToggle_::parking},
    {"points", FileToggle_::points},       {"progress", FileToggle_::progress},
    {"roof", FileToggle_::roof},           {"skeleton", FileToggle_::skeleton},
    {"terrain", FileToggle_::terrain},     {"trait", FileToggle_::trait},
    {"wall", FileToggle_::wall},           {"wc", FileToggle_::wc},
};

// Base-10 text to a whole number; text that does not parse is 0.
qint64 whole(const QString &text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? value : 0;
}

double real(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : 0;
}

// Milliseconds written with or without decimals.
qint64 millis(const QString &text)
{
    return GJson::toInt64(real(text));
}

double single(const QString &text)
{
    bool ok = false;
    const float value = text.toFloat(&ok);
    return ok ? double(value) : 0;
}

// Prices may arrive with decimals; the part after the last "." is dropped.
qint64 price(const QString &text)
{
    const int dot = text.lastIndexOf(QLatin1Char('.'));
    return whole(dot >= 0 ? text.left(dot) : text);
}

std::string utf8(const QString &text)
{
    return text.toStdString();
}

struct Item
{
    QString key;
    QString first;
    QString second;
};

// Applies one filter item; answers true when the item asks for deleted files as well.
class ItemApplier
{
public:
    ItemApplier(obx::QueryBuilder<File> &builder, const User &viewer, const User &owner)
        : b(builder), viewer(viewer), owner(owner) {}

    bool apply(const Item &item)
    {
        const QString &key = item.key;
        if (!key.contains(QLatin1Char('.')))
            return plain(item);
        const QStringList pieces = key.split(QLatin1Char('.'));
        if (grouped(pieces.at(0), pieces.at(1), item))
            return pieces.at(0) == QLatin1String("status") && pieces.at(1) == QLatin1String("delete");
        toggleOrMap(item);
        return false;
    }

private:
    bool plain(const Item &item)
    {
        const QString &key = item.key;
        if (key == QLatin1String("trade_ref")) {
            b.with(File_::trade_type.between(whole(item.first), whole(item.second)));
        } else if (key == QLatin1String("date") || key == QLatin1String("due")) {
            b.with(File_::date.between(millis(item.first), millis(item.second)));
        } else if (key == QLatin1String("user_ref")) {
            b.with(File_::user_id.equals(utf8(item.first)));
        } else if (key == QLatin1String("customer_ref")) {
            b.with(File_::customer_id.equals(utf8(item.first)));
        } else if (key == QLatin1String("agent_ref")) {
            // No agent, or the manager's own id (a manager's new files carry it): the manager's files.
            if (item.first.isEmpty() || utf8(item.first) == owner.server_id)
                b.with(GFileFilter::ownersFiles(owner.server_id));
            else
                b.with(File_::agent_id.equals(utf8(item.first)));
        } else if (key == QLatin1String("district_ref")) {
            b.with(File_::districts.contains(utf8(item.first)));
        } else if (key == QLatin1String("hashtag_ref")) {
            b.with(File_::hashtags.contains(utf8(item.first)));
        } else if (key == QLatin1String("district_array")) {
            districtArray(item.first);
        } else if (key == QLatin1String("ignore_delete")) {
            return true;
        } else if (key == QLatin1String("quick_search")) {
            b.with(GFileFilter::keywordGroup(item.first));
        } else {
            toggleOrMap(item);
        }
        return false;
    }

    // Piece 0 (before the first separator) is never an id.
    void districtArray(const QString &value)
    {
        const QStringList pieces =
            value.split(QString::fromStdString(GFileFilter::districtSeparator()), Qt::KeepEmptyParts);
        qCDebug(lcFiles) << "districts" << pieces;
        if (pieces.size() < 2)
            return;
        std::vector<obx::QueryCondition> any{File_::districts.contains(utf8(pieces.at(1)))};
        for (int i = 2; i < pieces.size(); ++i)
            if (!pieces.at(i).isEmpty())
                any.push_back(File_::districts.contains(utf8(pieces.at(i))));
        b.with(obx::QueryCondition::any(any));
    }

    bool grouped(const QString &group, const QString &field, const Item &item)
    {
        if (group == QLatin1String("status")) {
            if (field == QLatin1String("pin"))
                b.with(File_::pins.contains(viewer.server_id));
            else if (field == QLatin1String("delete"))
                b.with(File_::deleted.equals(true));
            else if (field == QLatin1String("ad_colleague"))
                b.with(File_::ad_colleague.equals(true));
            else
                return false;
        } else if (group == QLatin1String("code")) {
            if (field == QLatin1String("auto"))
                b.with(File_::auto_code.equals(whole(item.first)));
            else if (field == QLatin1String("manual"))
                b.with(File_::manual_code.equals(utf8(item.first)));
            else
                return false;
        } else if (group == QLatin1String("info")) {
            return info(field, item);
        } else if (group == QLatin1String("meter")) {
            if (field == QLatin1String("area"))
                b.with(File_::area.between(single(item.first), single(item.second)));
            else if (field == QLatin1String("home"))
                b.with(File_::home.between(single(item.first), single(item.second)));
            else
                return false;
        } else if (group == QLatin1String("price")) {
            if (field == QLatin1String("price_1"))
                b.with(File_::price_1.between(price(item.first), price(item.second)));
            else if (field == QLatin1String("price_2"))
                b.with(File_::price_2.between(price(item.first), price(item.second)));
            else if (field == QLatin1String("full_rent_price"))
                b.with(File_::full_rent_price.between(price(item.first), price(item.second)));
            else
                return false;
        } else {
            return false;
        }
        return true;
    }

    bool info(const QString &field, const Item &item)
    {
        const qint64 low = whole(item.first), high = whole(item.second);
        if (field == QLatin1String("room")) {
            b.with(File_::room.between(low, high));
        } else if (field == QLatin1String("floor_one")) {
            b.link(File_::info_id).with(FileInfo_::floor_one.between(low, high));
        } else if (field == QLatin1String("unit_one")) {
            b.link(File_::info_id).with(FileInfo_::unit_one.between(low, high));
        } else if (field == QLatin1String("build_year")) {
            b.link(File_::info_id).with(FileInfo_::build_year.between(low, high));
        } else if (field == QLatin1String("floor_space")) {
            // Floor spaces have decimals ("85.5"); read as whole numbers they would filter as 0.
            b.link(File_::info_id).with(FileInfo_::floor_space.between(real(item.first), real(item.second)));
        } else if (field == QLatin1String("num_parking")) {
            b.link(File_::info_id).with(FileInfo_::num_parking.equals(low));
        } else {
            return false;
        }
        return true;
    }

    // Matched against the whole key; anything else is ignored.
    void toggleOrMap(const Item &item)
    {
        const QString &key = item.key;
        for (const ToggleKey &toggle : kToggleKeys) {
            if (key == QLatin1String(toggle.key)) {
                b.link(File_::toggle_id).with(toggle.property.contains(utf8(item.first) + ","));
                return;
            }
        }
        if (key == QLatin1String("map.lat"))
            b.with(File_::lat.between(real(item.first), real(item.second)));
        else if (key == QLatin1String("map.lng"))
            b.with(File_::lng.between(real(item.first), real(item.second)));
    }

    obx::QueryBuilder<File> &b;
    const User &viewer;
    const User &owner;
};

} // namespace

GFileFilter::GFileFilter(const User &owner, const User &agent) : owner_(owner), agent_(agent)
{
}

const std::string &GFileFilter::districtSeparator()
{
    static const std::string separator = "#,#,#,#";
    return separator;
}

obx::QueryCondition GFileFilter::keywordGroup(const QString &keyword)
{
    const std::string text = utf8(keyword);
    std::vector<obx::QueryCondition> any{
        File_::address.contains(text),
        File_::description.contains(text),
        File_::district_array.contains(text + districtSeparator()),
        File_::customer_name.contains(text),
        File_::customer_mobile.contains(text),
    };
    // Texts typed or stored in Persian or Arabic-Indic digits find each other, and the code too.
    QString digits = keyword;
    for (QChar &ch : digits)
        if (ch.isDigit())
            ch = QChar('0' + ch.digitValue());
    bool isCode = false;
    const qint64 code = digits.toLongLong(&isCode);
    if (isCode)
        any.push_back(File_::auto_code.equals(code));
    return obx::QueryCondition::any(any).withDigitsFolded();
}

obx::QueryCondition GFileFilter::agentVisibility(const std::string &agentServerId)
{
    return File_::is_private.equals(false) || File_::agent_id.equals(agentServerId);
}

obx::QueryCondition GFileFilter::ownersFiles(const std::string &ownerServerId)
{
    return File_::agent_id.equals(std::string()) || File_::agent_id.equals(ownerServerId);
}

void GFileFilter::apply(obx::QueryBuilder<File> &builder, int tradeType, int propertyType, const QJsonArray &filters,
                        const QString &keyword, const QString &userId, bool drafts) const
{
    // Each condition goes in on its own, so the store can pick the narrowest index among the
    // type and owner equalities.
    if (tradeType > 0)
        builder.with(File_::trade_type.equals(tradeType));
    if (propertyType > 0)
        builder.with(File_::property_type.equals(propertyType));

    ItemApplier applier(builder, agent_.id != 0 ? agent_ : owner_, owner_);
    bool withDeleted = false;
    for (const QJsonValue &value : filters) {
        const QJsonObject object = value.toObject();
        const QJsonObject bounds = object.value(QStringLiteral("value")).toObject();
        Item item{object.value(QStringLiteral("key")).toString(), bounds.value(QStringLiteral("value_1")).toString(),
                  bounds.value(QStringLiteral("value_2")).toString()};
        if (item.key.contains(QLatin1Char('.'))) {
            if (item.first.isEmpty() && !item.second.isEmpty())
                item.first = QStringLiteral("0");
            if (item.second.isEmpty() && !item.first.isEmpty())
                item.second = QString::fromLatin1(item.key.contains(QLatin1String("price")) ? kOpenPriceTop : kOpenTop);
        }
        qCDebug(lcFiles) << "#########################FILTERS" << item.key << item.first << item.second;
        if (applier.apply(item))
            withDeleted = true;
    }

    builder.with(File_::user_id.equals(userId.isEmpty() ? owner_.server_id : utf8(userId)));
    // A draft has no server id: it is listed and counted only as a draft.
    builder.with(File_::draft.equals(drafts));
    if (!withDeleted)
        builder.with(File_::deleted.equals(false));
    if (!keyword.isEmpty())
        builder.with(keywordGroup(keyword));
    if (agent_.id != 0 && !drafts)
        builder.with(agentVisibility(agent_.server_id));
}

} // namespace UGENERAL
