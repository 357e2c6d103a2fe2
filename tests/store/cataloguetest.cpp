// Checks the shipped listing-form catalogue, read from the program's own resources, against the
// facts the seeding, the form, the import and the filter query rely on.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

namespace {

const char *kResource = ":/platform/general/module/databaseResources/database.json";

const QJsonArray &catalogue()
{
    static const QJsonArray cards = [] {
        QFile file(QString::fromLatin1(kResource));
        if (!file.open(QIODevice::ReadOnly))
            return QJsonArray();
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
        return error.error == QJsonParseError::NoError ? doc.array() : QJsonArray();
    }();
    return cards;
}

std::string s(const QString &text) { return text.toStdString(); }

bool isFlag(const QJsonValue &v) { return v.isDouble() && (v.toDouble() == 0 || v.toDouble() == 1); }

// Every input and toggle object of the file, at any depth, with the card it stands on.
void walk(const std::function<void(const QJsonObject &card, const QJsonObject &input)> &onInput,
          const std::function<void(const QJsonObject &card, const QJsonObject &toggle)> &onToggle)
{
    for (const QJsonValue &c : catalogue()) {
        const QJsonObject card = c.toObject();
        std::function<void(const QJsonObject &)> toggle = [&](const QJsonObject &t) {
            onToggle(card, t);
            for (const QJsonValue &i : t.value("attachedInputs").toArray())
                onInput(card, i.toObject());
            for (const QJsonValue &a : t.value("attachedToggles").toArray())
                toggle(a.toObject());
        };
        for (const QJsonValue &i : card.value("inputs").toArray())
            onInput(card, i.toObject());
        if (card.contains("stepper"))
            onInput(card, card.value("stepper").toObject());
        for (const QJsonValue &t : card.value("toggles").toArray())
            toggle(t.toObject());
    }
}

QList<int> ints(const QJsonArray &objects, const char *field)
{
    QList<int> out;
    for (const QJsonValue &v : objects)
        out << v.toObject().value(field).toInt();
    return out;
}

QList<int> range(int from, int to)
{
    QList<int> out;
    for (int i = from; i <= to; ++i)
        out << i;
    return out;
}

QStringList groupsOf(const QJsonObject &card)
{
    QStringList groups;
    for (const QJsonValue &t : card.value("toggles").toArray())
        if (!groups.contains(t.toObject().value("parent_key").toString()))
            groups << t.toObject().value("parent_key").toString();
    return groups;
}

// The cards of one form, in file order.
QList<QJsonObject> form(int trade, int property)
{
    QList<QJsonObject> out;
    for (const QJsonValue &c : catalogue())
        if (c["trade_type"].toInt() == trade && c["property_type"].toInt() == property)
            out << c.toObject();
    return out;
}

const QStringList kFileToggleGroups = {
    "condition", "coverage", "direction", "facilities", "frontage", "heat_cool",
    "joints", "kitchen", "location", "parking", "points", "progress",
    "roof", "skeleton", "terrain", "trait", "wall", "wc"};

} // namespace

TEST(CatalogueFile, ShipsAsAnArrayOfWellFormedCards)
{
    const QJsonArray &cards = catalogue();
    ASSERT_EQ(cards.size(), 398) << "resource missing or not a JSON array";
    const QSet<QString> cardKeys = {"id", "title", "trade_type", "property_type", "single_select",
                                    "position", "inputs", "toggles", "stepper"};
    for (int n = 0; n < cards.size(); ++n) {
        const QJsonObject card = cards[n].toObject();
        EXPECT_EQ(card["id"].toInt(), n + 1);
        for (const QString &key : card.keys())
            EXPECT_TRUE(cardKeys.contains(key)) << "card " << n + 1 << ": " << s(key);
        EXPECT_TRUE(card["title"].isString());
        EXPECT_TRUE(card["inputs"].isArray() && card["toggles"].isArray()) << n + 1;
        EXPECT_TRUE(card["single_select"].isDouble() && card["single_select"].toInt() == 0) << n + 1;
        const int position = card["position"].toInt();
        EXPECT_TRUE(position >= 1 && position <= 20) << n + 1;
    }

    const QStringList inputFlags = {"currency", "single_line", "filter", "visible"};
    walk(
        [&](const QJsonObject &card, const QJsonObject &input) {
            for (const QString &flag : inputFlags)
                EXPECT_TRUE(isFlag(input[flag])) << "input " << input["id"].toInt() << " " << s(flag);
            EXPECT_EQ(input["visible"].toInt(), 1);
            for (const char *text : {"key", "parent_key", "title", "request_title", "offline_name",
                                     "offline_request_name"})
                EXPECT_TRUE(input[text].isString()) << input["id"].toInt() << " " << text;
        },
        [&](const QJsonObject &, const QJsonObject &toggle) {
            EXPECT_TRUE(isFlag(toggle["visible"]) && toggle["visible"].toInt() == 1);
            EXPECT_TRUE(toggle["key"].isDouble() && toggle["parent_key"].isString());
        });
}

TEST(CatalogueFile, InputFieldsMatchTheirTable)
{
    struct Row {
        const char *key, *parent;
        int inputType, filterType, maxLength, currency, singleLine, filter;
        const char *title, *requestTitle;
    };
    const Row rows[] = {
        {"manual", "code", 1, 1, 9, 0, 1, 0, "شناسه فایل", nullptr},
        {"name_family", "customer", 1, 0, 50, 0, 1, 0, "نام مالک", "نام متقاضی"},
        {"mobile_1", "customer", 3, 1, 15, 0, 1, 0, "شماره همراه", nullptr},
        {"mobile_2", "customer", 3, 1, 15, 0, 1, 0, "شماره همراه 2", nullptr},
        {"phone_1", "customer", 3, 1, 15, 0, 1, 0, "تلفن ثابت", nullptr},
        {"phone_2", "customer", 3, 1, 15, 0, 1, 0, "تلفن ثابت 2", nullptr},
        {"area", "meter", 3, 2, 9, 0, 1, 1, "متراژ زمین", nullptr},
        {"home", "meter", 3, 2, 5, 0, 1, 1, "متراژ بنا", nullptr},
        {"floor_space", "info", 2, 2, 5, 0, 1, 1, "متراژ کف مغازه", nullptr},
        {"dahane", "info", 3, 0, 5, 0, 1, 0, "دهنه مغازه (متر)", nullptr},
        {"balcony", "info", 3, 0, 5, 0, 1, 0, "متراژ بالکن", nullptr},
        {"warehouse", "info", 3, 0, 5, 0, 1, 0, "انبار تجاری", nullptr},
        {"sahm", "info", 3, 0, 5, 0, 1, 0, "قدرالسهم", nullptr},
        {"crossing", "meter", 3, 0, 5, 0, 1, 0, "عرض گذر", nullptr},
        {"building", "meter", 3, 0, 5, 0, 1, 0, "عرض ملک", nullptr},
        {"corrective", "meter", 3, 1, 5, 0, 1, 0, "اصلاحی", nullptr},
        {"room", "info", 2, 2, 3, 0, 1, 1, "تعداد اتاق", nullptr},
        {"floor_one", "info", 3, 2, 2, 0, 1, 1, "طبقه", nullptr},
        {"floor_all", "info", 2, 0, 2, 0, 1, 0, "کل طبقات ساختمان", nullptr},
        {"unit_one", "info", 2, 2, 3, 0, 1, 1, "تعداد واحد در طبقه", nullptr},
        {"unit_all", "info", 2, 1, 3, 0, 1, 0, "تعداد کل واحدها", nullptr},
        {"build_year", "info", 2, 2, 4, 0, 1, 1, "سال ساخت", "حداکثر سال ساخت"},
        {"after_corrective", "meter", 3, 1, 5, 0, 1, 0, "مانده پس از اصلاحی", nullptr},
        {"number_of_owners", "info", 2, 0, 3, 0, 1, 0, "تعداد مالکین", nullptr},
        {"manufacturer_share", "info", 3, 0, 5, 0, 1, 0, "سهم سازنده", nullptr},
        {"grant_amount", "info", 2, 0, 17, 1, 1, 0, "مبلغ بلاعوض", nullptr},
        {"amount_of_interest", "info", 2, 0, 17, 1, 1, 0, "مبلغ قرض الحسنه", nullptr},
        {"delivery", "info", 2, 0, 3, 0, 1, 0, "مدت تحویل", nullptr},
        {"num_person", "info", 2, 0, 3, 0, 1, 0, "تعداد نفرات", nullptr},
        {"price_1", "price", 2, 2, 17, 1, 1, 0, "قیمت هر متر", nullptr},
        {"price_2", "price", 2, 2, 17, 1, 1, 1, "قیمت کل", "سقف مبلغ خرید"},
        {"price_1", "price", 2, 2, 17, 1, 1, 1, "مبلغ رهن", "سقف مبلغ رهن"},
        {"price_2", "price", 2, 2, 17, 1, 1, 1, "مبلغ اجاره", "سقف مبلغ اجاره"},
        {"title", "district", 1, 1, 20, 0, 1, 1, "نام محله یا خیابان اصلی", "مناطق درخواستی"},
        {"address", "info", 1, 0, 200, 0, 0, 0, "آدرس دقیق", nullptr},
        {"name_family", "guard", 1, 1, 50, 0, 1, 0, "نام نگهبانی", nullptr},
        {"mobile_1", "guard", 3, 1, 15, 0, 1, 0, "تلفن نگهبانی", nullptr},
        {"num_parking", "info", 2, 1, 2, 0, 0, 1, "تعداد پارکینگ", nullptr},
        {"name", "tenant", 1, 1, 50, 0, 1, 0, "نام مستاجر", nullptr},
        {"phone", "tenant", 3, 1, 15, 0, 1, 0, "تلفن مستاجر", nullptr},
        {"rent", "tenant", 2, 0, 17, 1, 1, 0, "مبلغ رهن", nullptr},
        {"mortgage", "tenant", 2, 0, 17, 1, 1, 0, "مبلغ اجاره", nullptr},
        {"due_date", "tenant", 2, 0, 50, 0, 1, 0, "تاریخ تخلیه", nullptr},
        {"loan", "price", 2, 1, 17, 1, 1, 0, "مبلغ وام", nullptr},
    };

    // The seeding keeps the first occurrence of an id, so every later one must be identical.
    QMap<int, QJsonObject> seen;
    walk(
        [&](const QJsonObject &, const QJsonObject &input) {
            const int id = input["id"].toInt();
            if (seen.contains(id))
                EXPECT_EQ(seen[id], input) << "input " << id << " differs between occurrences";
            else
                seen.insert(id, input);
        },
        [](const QJsonObject &, const QJsonObject &) {});
    ASSERT_EQ(seen.keys(), range(1, 44));

    for (int id = 1; id <= 44; ++id) {
        const Row &row = rows[id - 1];
        const QJsonObject in = seen[id];
        const QString requestTitle = QString::fromUtf8(row.requestTitle ? row.requestTitle : row.title);
        EXPECT_EQ(in["key"].toString(), QString::fromUtf8(row.key)) << id;
        EXPECT_EQ(in["parent_key"].toString(), QString::fromUtf8(row.parent)) << id;
        EXPECT_EQ(in["input_type"].toInt(), row.inputType) << id;
        EXPECT_EQ(in["filter_type"].toInt(), row.filterType) << id;
        EXPECT_EQ(in["max_length"].toInt(), row.maxLength) << id;
        EXPECT_EQ(in["currency"].toInt(), row.currency) << id;
        EXPECT_EQ(in["single_line"].toInt(), row.singleLine) << id;
        EXPECT_EQ(in["filter"].toInt(), row.filter) << id;
        EXPECT_EQ(in["title"].toString(), QString::fromUtf8(row.title)) << id;
        EXPECT_EQ(in["request_title"].toString(), requestTitle) << id;
    }
}

TEST(CatalogueFile, TogglesMatchTheirGroups)
{
    // Group, first key, then the titles of consecutive keys; "" marks a key the catalogue skips.
    // A title "a|b" has the request title b.
    struct Group {
        const char *name;
        int firstKey;
        QStringList titles;
    };
    const QList<Group> groups = {
        {"trade", 1, {"فروش", "اجاره", "مشارکت", "پیش فروش", "متقاضی خرید", "متقاضی اجاره",
                      "متقاضی مشارکت", "متقاضی پیش خرید"}},
        {"property", 50, {"آپارتمان", "ویلا", "حیاط دار", "زمین", "دفتر کار", "مغازه", "مستغلات",
                          "کلنگی", "انبار", "هتل", "باغ", "دامداری", "مرغداری", "کارخانه", "کارگاه",
                          "سوله", "زیر زمین", "سالن"}},
        {"location", 100, {"شمالی", "جنوبی", "شرقی", "غربی", "داخل پاساژ", "داخل بازار",
                           "داخل کوچه", "براصلی"}},
        {"direction", 110, {"شمالی", "جنوبی", "شرقی", "غربی", "میانی"}},
        {"trait", 150, {"دوبلکس", "پنت هاوس", "لاکچری", "فول امکانات", "نشیمن مجزا", "برج باغ",
                        "اختلاف سطح", "بازسازی شده", "دو نبش", "دو دهنه", "تجمیع", "تودلی",
                        "بن بست", "شهرکی", "تریبلکس", "ساحلی", "جنگلی", "براصلی", "دربست",
                        "راه جدا", "راه مشترک", "خام"}},
        {"frontage", 200, {"چوب", "کلاسیک", "مدرن", "سنگ", "سیمان", "آجر", "کامپوزیت", "شیشه",
                           "ترکیبی", "آجر 3 سانت", "سرامیک", "سیمان سفید"}},
        {"joints", 250, {"آسانسور", "لابی", "روف گاردن", "کارواش", "سالن اجتماعات", "سالن ورزشی",
                         "استخر", "سونا", "جکوزی"}},
        {"heat_cool", 300, {"اسپلیت", "داکت اسپلیت", "کولر آبی", "پکیج و رادیاتور", "گرمایش از کف",
                            "بخاری", "هواساز", "موتورخانه مرکزی", "چیلر"}},
        {"coverage", 350, {"سرامیک", "پارکت", "موکت", "سنگ", "موزاییک", "سیمان"}},
        {"kitchen", 400, {"ام دی اف", "چوب", "فلزی", "جزیره", "مدرن", "کلاسیک", "صفحه سنگ",
                          "صفحه کورین", "صفحه چوب", "اپن", "لاندری", "فول فرنیش", "هود",
                          "گاز رومیزی", "مطبخ", "هایگلس", "ممبران", "فر توکار"}},
        {"wc", 450, {"ایرانی", "فرنگی", "وان", "جکوزی"}},
        {"wall", 500, {"نقاشی", "گچ", "سنگ", "کاغذ دیواری", "پارچه کوبی", "چوبکاری", "گچ بری",
                       "کناف", "رابیتس", "پتینه", "ورق طلا", "آینه کاری"}},
        {"facilities", 550, {"تراس", "خواب مستر", "پاسیو", "بالکن", "درب ضد سرقت", "برق اضطراری",
                             "شومینه", "آیفون تصویری", "کمد دیواری", "انباری", "اینترنت مرکزی",
                             "ماهواره مرکزی", "آنتن مرکزی", "شوتینگ زباله", "جاروبرقی مرکزی",
                             "باربیکیو", "اطفای حریق", "اعلام حریق", "دوربین مداربسته", "نیمه مبل",
                             "مبله کامل", "BMS", "سوئیت مجزا", "درب ریموت دار", "سرایداری",
                             "پنجره دو جداره", "لوستر", "پرده", "", "نور پردازی", "حیاط اختصاصی",
                             "آلاچیق"}},
        {"parking", 650, {"پارکینگ مشاع", "پارکینگ اختصاصی", "پارکینگ مزاحم", "مسقف", "غیر مسقف",
                          "باکس"}},
        {"condition", 700, {"تخلیه", "سکونت مستاجر", "سکونت مالک", "پایان کار", "قولنامه ای",
                            "سند دارد|سند دار", "وام دارد|وام دار", "قابل معاوضه می باشد", "وکالتی",
                            "شخصی", "اوقافی", "بنیادی", "آستانه", "سرقفلی", "ملکیت", "تراکم بالا",
                            "تراکم متوسط", "تراکم پایین", "جواز دارد", "دستور نقشه دارد",
                            "مشارکت در ساخت", "", "رهن و اجاره قابل تبدیل", "مشاع", "6 دانگ", "مفروز",
                            "منگوله دار", "تک برگ", "اعیان", "عرصه", "ورثه ای", "المثنی", "معارض",
                            "شورایی", "بنچاق", "رهنی"}},
        {"points", 750, {"آب", "برق", "گاز", "تلفن"}},
        {"skeleton", 850, {"فلزی جوشی", "فلزی پیچ و مهره", "اسکلت بتونی"}},
        {"roof", 900, {"دال بتونی", "کامپوزیت", "عرشه فولادی", "تیرچه و بلوک", "تیرچه یونولیت",
                       "آجر ضربی", "کششی", "اسپانیش"}},
        {"progress", 950, {"اسکلت", "فوندانسیون", "گودبرداری", "تخریب", "نازک کاری", "گچ و خاک",
                           "تاسیسات", "تیغه چینی"}},
        {"terrain", 1000, {"مسکونی", "تجاری", "باغ", "خدماتی", "فرهنگی", "مزروعی", "صنعتی", "شهری",
                           "شهرکی"}},
    };
    QMap<int, QPair<QString, QStringList>> expected; // key -> group, {title, request title}
    QStringList groupNames;
    for (const Group &g : groups) {
        groupNames << QString::fromUtf8(g.name);
        for (int n = 0; n < g.titles.size(); ++n)
            if (!g.titles[n].isEmpty()) {
                QStringList titles = g.titles[n].split('|');
                if (titles.size() == 1)
                    titles << titles[0];
                expected.insert(g.firstKey + n, {QString::fromUtf8(g.name), titles});
            }
    }
    ASSERT_EQ(expected.size(), 235);

    // Keys are unique across groups (the form settings and invisible toggles look up by key
    // alone), and the seeding keeps the first occurrence of a pair, so all must be identical.
    QMap<int, QJsonObject> byKey;
    QMap<int, int> keyOfId;
    walk([](const QJsonObject &, const QJsonObject &) {},
         [&](const QJsonObject &, const QJsonObject &toggle) {
             const int key = toggle["key"].toInt();
             if (byKey.contains(key)) {
                 EXPECT_EQ(byKey[key], toggle) << "toggle " << key << " differs between occurrences";
             } else {
                 byKey.insert(key, toggle);
                 const int id = toggle["id"].toInt();
                 EXPECT_FALSE(keyOfId.contains(id)) << "toggle id " << id << " used twice";
                 keyOfId.insert(id, key);
             }
         });
    EXPECT_EQ(keyOfId.keys(), range(1, 235));
    ASSERT_EQ(byKey.keys(), expected.keys());
    QStringList fileGroups;
    for (auto it = expected.constBegin(); it != expected.constEnd(); ++it) {
        const QJsonObject t = byKey[it.key()];
        EXPECT_EQ(t["parent_key"].toString(), it.value().first) << it.key();
        EXPECT_EQ(t["title"].toString(), it.value().second[0]) << it.key();
        EXPECT_EQ(t["request_title"].toString(), it.value().second[1]) << it.key();
    }
    // Option groups are exactly the toggle texts of a stored file, which import and filter use.
    QStringList optionGroups = groupNames.mid(2);
    optionGroups.sort();
    EXPECT_EQ(optionGroups, kFileToggleGroups);
}

TEST(CatalogueFile, AttachmentsOpenOnlyUnderTheirToggles)
{
    QList<int> deedTypes = range(708, 712) + range(723, 735);
    int tenantToggles = 0, loanToggles = 0, deedToggles = 0;
    walk(
        [&](const QJsonObject &, const QJsonObject &) {},
        [&](const QJsonObject &, const QJsonObject &t) {
            const int key = t["key"].toInt();
            const QList<int> inputs = ints(t["attachedInputs"].toArray(), "id");
            const QList<int> toggles = ints(t["attachedToggles"].toArray(), "key");
            EXPECT_EQ(t.contains("attachedInputs"), key == 701 || key == 706) << key;
            EXPECT_EQ(t.contains("attachedToggles"), key == 705) << key;
            if (key == 701) {
                ++tenantToggles;
                EXPECT_EQ(inputs, range(39, 43));
            } else if (key == 706) {
                ++loanToggles;
                EXPECT_EQ(inputs, QList<int>{44});
            } else if (key == 705) {
                ++deedToggles;
                EXPECT_EQ(toggles, deedTypes);
                for (const QJsonValue &a : t["attachedToggles"].toArray())
                    EXPECT_EQ(a["parent_key"].toString(), QString("condition"));
            }
        });
    EXPECT_GT(tenantToggles, 0);
    EXPECT_GT(loanToggles, 0);
    EXPECT_GT(deedToggles, 0);

    // The tenant and loan fields exist nowhere but under their toggles.
    for (const QJsonValue &c : catalogue())
        for (int id : ints(c["inputs"].toArray(), "id"))
            EXPECT_TRUE(id < 38) << "card " << c["id"].toInt() << " lists input " << id;
}

TEST(CatalogueFile, OccurrenceTotals)
{
    int inputs = 0, toggles = 0;
    walk([&](const QJsonObject &, const QJsonObject &) { ++inputs; },
         [&](const QJsonObject &, const QJsonObject &) { ++toggles; });
    EXPECT_EQ(inputs, 1025);
    EXPECT_EQ(toggles, 2559);
}

TEST(CatalogueForms, TradeAndPropertyChoosers)
{
    const QList<QJsonObject> offers = form(-1, -1), requests = form(-2, -2);
    ASSERT_EQ(offers.size(), 1);
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(offers[0]["id"].toInt(), 1);
    EXPECT_EQ(requests[0]["id"].toInt(), 2);
    EXPECT_EQ(offers[0]["title"].toString(), QString("نوع معامله"));
    EXPECT_EQ(requests[0]["title"].toString(), QString("نوع درخواست"));
    EXPECT_EQ(ints(offers[0]["toggles"].toArray(), "key"), range(1, 4));
    EXPECT_EQ(ints(requests[0]["toggles"].toArray(), "key"), range(5, 8));
    EXPECT_EQ(groupsOf(offers[0]), QStringList{"trade"});
    EXPECT_EQ(groupsOf(requests[0]), QStringList{"trade"});

    QList<int> notLand = range(50, 67);
    notLand.removeAll(53);
    notLand.removeAll(57);
    const QMap<int, QList<int>> offered = {
        {1, range(50, 67)}, {2, notLand}, {3, {53, 57}}, {4, {50, 51, 54, 55}},
        {5, range(50, 67)}, {6, notLand}, {7, {53, 57}}, {8, {50, 51, 54, 55}}};
    int boards = 0;
    for (int trade = 1; trade <= 8; ++trade) {
        const QList<QJsonObject> chooser = form(trade, trade <= 4 ? -1 : -2);
        ASSERT_EQ(chooser.size(), 1) << trade;
        EXPECT_TRUE(form(trade, trade <= 4 ? -2 : -1).isEmpty()) << trade;
        EXPECT_EQ(chooser[0]["title"].toString(), QString("نوع ملک"));
        EXPECT_EQ(chooser[0]["position"].toInt(), 2);
        EXPECT_EQ(groupsOf(chooser[0]), QStringList{"property"});
        EXPECT_EQ(ints(chooser[0]["toggles"].toArray(), "key"), offered[trade]) << trade;
        boards += chooser[0]["toggles"].toArray().size();
    }
    // The default boards are made from these choosers: 80 per half.
    EXPECT_EQ(boards, 80);
}

TEST(CatalogueForms, FormsPresentWithTheirCardCounts)
{
    QMap<QPair<int, int>, int> expected;
    auto set = [&](int trade, std::initializer_list<std::pair<int, int>> forms) {
        for (const auto &f : forms)
            expected[{trade, f.first}] = f.second;
    };
    auto others = [&](int trade) {
        for (int p = 58; p <= 67; ++p)
            expected[{trade, p}] = 1;
    };
    set(1, {{50, 16}, {51, 15}, {52, 14}, {53, 5}, {54, 12}, {55, 8}, {56, 15}, {57, 6}});
    others(1);
    set(2, {{50, 16}, {51, 15}, {52, 14}, {53, 1}, {54, 12}, {55, 8}, {56, 15}, {57, 1}});
    others(2);
    set(3, {{53, 6}, {57, 6}});
    set(4, {{50, 18}, {51, 15}, {54, 14}, {55, 10}});
    set(5, {{50, 7}, {51, 7}, {52, 6}, {53, 3}, {54, 5}, {55, 5}, {56, 7}, {57, 3}});
    others(5);
    set(6, {{50, 7}, {51, 7}, {52, 6}, {54, 5}, {55, 5}, {56, 7}});
    others(6);
    set(7, {{53, 1}, {57, 1}});
    set(8, {{50, 7}, {51, 7}, {54, 5}, {55, 5}});

    QMap<QPair<int, int>, int> found;
    for (const QJsonValue &c : catalogue())
        if (c["property_type"].toInt() >= 50)
            ++found[{c["trade_type"].toInt(), c["property_type"].toInt()}];
        else
            EXPECT_TRUE(c["property_type"].toInt() < 0 && c["position"].toInt() <= 2);
    EXPECT_EQ(found, expected);
}

TEST(CatalogueForms, PositionsAndMainInputCards)
{
    // A form's cards stand together in the file, in ascending positions from 3; the main input
    // card comes first and is the only card of the form without a title.
    QPair<int, int> current{0, 0};
    QSet<QPair<int, int>> done;
    int expectedPosition = 0;
    for (const QJsonValue &c : catalogue()) {
        const QJsonObject card = c.toObject();
        const QPair<int, int> pair{card["trade_type"].toInt(), card["property_type"].toInt()};
        if (pair.second < 0) {
            EXPECT_EQ(card["position"].toInt(), pair.first < 0 ? 1 : 2);
            EXPECT_TRUE(card["inputs"].toArray().isEmpty());
            continue;
        }
        if (pair != current) {
            EXPECT_FALSE(done.contains(pair)) << "form split in the file: " << pair.first << "/"
                                              << pair.second;
            done.insert(pair);
            current = pair;
            expectedPosition = 3;
        }
        const int id = card["id"].toInt();
        EXPECT_EQ(card["position"].toInt(), expectedPosition++) << "card " << id;
        const bool main = card["title"].toString().isEmpty();
        const bool pointsOnly = pair.first == 2 && (pair.second == 53 || pair.second == 57);
        EXPECT_EQ(main, card["position"].toInt() == 3 && !pointsOnly) << "card " << id;
        if (main) {
            EXPECT_FALSE(card["inputs"].toArray().isEmpty()) << id;
            EXPECT_TRUE(card["toggles"].toArray().isEmpty()) << id;
        } else {
            EXPECT_TRUE(card["inputs"].toArray().isEmpty()) << id;
        }
        if (pointsOnly) {
            EXPECT_EQ(groupsOf(card), QStringList{"points"});
        }
    }
}

TEST(CatalogueForms, CardTitlesFollowTheirToggleGroup)
{
    const QMap<QString, QString> titles = {
        {"location", "موقعیت ملک"}, {"direction", "جهت واحد"}, {"trait", "مشخصه ملک"},
        {"frontage", "نمای ساختمان"}, {"joints", "مشاعات"},
        {"heat_cool", "تاسیسات سرمایشی و گرمایشی"}, {"coverage", "پوشش کف"},
        {"kitchen", "آشپزخانه"}, {"wc", "سرویس بهداشتی و حمام"}, {"wall", "سقف و دیوار"},
        {"facilities", "سایر امکانات"}, {"parking", "نوع و تعداد پارکینگ"}, {"points", "امتیازات"},
        {"terrain", "نوع زمین"}, {"skeleton", "نوع اسکلت"}, {"roof", "نوع سقف"},
        {"progress", "وضعیت پیشرفت کار"}};
    const QSet<QString> conditionTitles = {"وضعیت سکونت", "وضعیت ملک"};
    for (const QJsonValue &c : catalogue()) {
        const QJsonObject card = c.toObject();
        if (card["property_type"].toInt() < 0 || card["title"].toString().isEmpty())
            continue;
        const QStringList groups = groupsOf(card);
        const QString title = card["title"].toString();
        if (groups.isEmpty()) {
            EXPECT_EQ(title, titles["parking"]) << card["id"].toInt();
            EXPECT_TRUE(card.contains("stepper")) << card["id"].toInt();
            continue;
        }
        ASSERT_EQ(groups.size(), 1) << "card " << card["id"].toInt() << " mixes groups";
        if (groups[0] == "condition")
            EXPECT_TRUE(conditionTitles.contains(title)) << card["id"].toInt();
        else
            EXPECT_EQ(title, titles.value(groups[0])) << card["id"].toInt();
    }
}

TEST(CatalogueForms, ApartmentSaleCardOrder)
{
    const QList<QJsonObject> cards = form(1, 50);
    ASSERT_EQ(cards.size(), 16);
    const QStringList groups = {"location", "direction", "trait", "frontage", "joints",
                                "heat_cool", "coverage", "kitchen", "wc", "wall", "facilities",
                                "condition", "parking", "condition", "points"};
    EXPECT_TRUE(cards[0]["title"].toString().isEmpty());
    for (int n = 0; n < groups.size(); ++n) {
        EXPECT_EQ(cards[n + 1]["position"].toInt(), n + 4);
        EXPECT_EQ(groupsOf(cards[n + 1]), QStringList{groups[n]}) << "position " << n + 4;
    }
    EXPECT_EQ(cards[12]["title"].toString(), QString("وضعیت سکونت"));
    EXPECT_EQ(cards[14]["title"].toString(), QString("وضعیت ملک"));
    EXPECT_TRUE(cards[13].contains("stepper"));
}

TEST(CatalogueForms, SpecialGroupsStayInTheirForms)
{
    for (const QJsonValue &c : catalogue()) {
        const int trade = c["trade_type"].toInt(), property = c["property_type"].toInt();
        for (const QString &group : groupsOf(c.toObject())) {
            if (group == "terrain") {
                EXPECT_TRUE((property == 53 || property == 57)
                            && (trade == 1 || trade == 3 || trade == 5))
                    << c["id"].toInt();
            }
            if (group == "skeleton" || group == "roof" || group == "progress") {
                EXPECT_EQ(trade, 4) << c["id"].toInt();
            }
        }
    }
}

TEST(CatalogueForms, ParkingCardsCarryTheStepper)
{
    int steppers = 0;
    QSet<QPair<int, int>> forms;
    for (const QJsonValue &c : catalogue()) {
        const QJsonObject card = c.toObject();
        const bool parking = card["title"].toString() == QString("نوع و تعداد پارکینگ");
        EXPECT_EQ(card.contains("stepper"), parking) << card["id"].toInt();
        if (!card.contains("stepper"))
            continue;
        ++steppers;
        EXPECT_EQ(card["stepper"]["id"].toInt(), 38);
        EXPECT_FALSE(forms.contains({card["trade_type"].toInt(), card["property_type"].toInt()}));
        forms.insert({card["trade_type"].toInt(), card["property_type"].toInt()});
    }
    EXPECT_EQ(steppers, 32);
}

TEST(CatalogueForms, InputCardsServeTheEditorImportAndFilters)
{
    // Value keys the import reads into a file (its "info", "meter", "price", "code" objects),
    // besides the contact, guard and district objects the editor fills.
    const QMap<QString, QSet<QString>> readable = {
        {"info", {"address", "room", "amount_of_interest", "balcony", "build_year", "dahane",
                  "delivery", "floor_all", "floor_one", "floor_space", "grant_amount",
                  "manufacturer_share", "num_parking", "num_person", "number_of_owners", "sahm",
                  "unit_all", "unit_one", "warehouse"}},
        {"meter", {"area", "home", "after_corrective", "building", "corrective", "crossing"}},
        {"price", {"loan", "price_1", "price_2"}},
        {"code", {"manual"}},
        {"customer", {"name_family", "mobile_1", "mobile_2", "phone_1", "phone_2"}},
        {"guard", {"name_family", "mobile_1"}},
        {"district", {"title"}},
        {"tenant", {"name", "phone", "rent", "mortgage", "due_date"}}};
    walk(
        [&](const QJsonObject &, const QJsonObject &in) {
            EXPECT_TRUE(readable.value(in["parent_key"].toString())
                            .contains(in["key"].toString()))
                << "input " << in["id"].toInt();
        },
        [](const QJsonObject &, const QJsonObject &) {});

    for (const QJsonValue &c : catalogue()) {
        const QJsonObject card = c.toObject();
        if (card["property_type"].toInt() < 0 || !card["title"].toString().isEmpty())
            continue;
        const int trade = card["trade_type"].toInt(), property = card["property_type"].toInt();
        const QList<int> ids = ints(card["inputs"].toArray(), "id");
        const QString where = QString("form %1/%2").arg(trade).arg(property);
        // Saving refuses a file without the customer's name and mobile.
        EXPECT_TRUE(ids.contains(2) && ids.contains(3)) << s(where);
        EXPECT_TRUE(ids.contains(1) && ids.contains(34)) << s(where);
        EXPECT_EQ(QSet<int>(ids.begin(), ids.end()).size(), ids.size()) << s(where);
        // The sale form computes the full price from the price per metre and the size.
        if (trade == 1) {
            const bool byHome = property == 50 || property == 54 || property == 55 || property == 56;
            EXPECT_TRUE(ids.contains(30) && ids.contains(31)) << s(where);
            EXPECT_TRUE(ids.contains(byHome ? 8 : 7)) << s(where);
        }
        // Rent prices are the deposit and the rent; the other trades use the sale prices.
        const bool rent = trade == 2 || trade == 6;
        EXPECT_FALSE(ids.contains(rent ? 30 : 32)) << s(where);
        EXPECT_FALSE(ids.contains(rent ? 31 : 33)) << s(where);
    }
}
