// The form catalogue: seeding it (from a small fixture and from the shipped resource) and the
// form repository that serves it, with the form account's hidden toggles.

#include "repositories/gfile.h"
#include "repositories/gform.h"
#include "repositories/guser.h"
#include "store/gdatabase.h"
#include "tests/repositories/tempstore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <iostream>

using namespace UGENERAL;

namespace {

using Ids = std::vector<std::string>;

QJsonArray readArray(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QJsonDocument::fromJson(file.readAll()).array();
}

QJsonArray fixture() { return readArray(QStringLiteral(FORM_FIXTURE)); }
GForm form() { return GForm(sharedSnapshot()); }

QList<int> field(const QJsonArray &entries, const char *name)
{
    QList<int> out;
    for (const QJsonValue &v : entries)
        out << v.toObject().value(name).toInt();
    return out;
}
QList<int> keys(const QJsonArray &entries) { return field(entries, "key"); }
QList<int> ids(const QJsonArray &entries) { return field(entries, "id"); }

class FormTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(db.seedCatalogue(fixture())); }
    std::unique_ptr<Card> card(obx_id id) { return obx::Box<Card>(temp.store()).get(id); }
    std::unique_ptr<ToggleField> toggle(obx_id id) { return obx::Box<ToggleField>(temp.store()).get(id); }
    std::unique_ptr<User> row(obx_id id) { return obx::Box<User>(temp.store()).get(id); }

    TempStore temp;
    GDatabase db; // destroyed first: it closes the shared store
};

} // namespace

// ---- Seeding ----------------------------------------------------------------------------------

TEST_F(FormTest, SeedingStoresEachFieldOnceWithIdLists)
{
    EXPECT_EQ(obx::Box<Card>(temp.store()).count(), 13u);
    EXPECT_EQ(obx::Box<ToggleField>(temp.store()).count(), 12u);
    // Inputs keep their ids; one under an already stored toggle (43) is not looked at.
    std::vector<obx_id> inputIds;
    for (const auto &input : obx::Box<InputField>(temp.store()).getAll())
        inputIds.push_back(input->id);
    EXPECT_EQ(inputIds, (std::vector<obx_id>{7, 31, 38, 39, 40, 44}));

    EXPECT_EQ(card(1)->toggles, (Ids{"1", "2"}));
    EXPECT_EQ(card(4)->toggles, (Ids{"4"})); // the property toggle of card 3
    EXPECT_EQ(card(9)->inputs, (Ids{"7", "31"}));
    EXPECT_EQ(card(6)->toggles, (Ids{"6", "9"}));
    EXPECT_EQ(card(10)->toggles, (Ids{"6", "11"}));
    EXPECT_EQ(card(8)->stepper, 38u);
    EXPECT_TRUE(card(8)->inputs.empty());
    EXPECT_EQ(card(5)->stepper, 0u);
    // Attachments are stored before their toggle, nested as id lists.
    EXPECT_EQ(toggle(6)->attached_inputs, (Ids{"39", "40"}));
    EXPECT_EQ(toggle(7)->attached_inputs, (Ids{"44"}));
    EXPECT_EQ(toggle(9)->key, 705);
    EXPECT_EQ(toggle(9)->attached_toggles, (Ids{"7", "8"}));
    // 702 came first bare; its later occurrence with attachments reuses that row.
    EXPECT_TRUE(toggle(11)->attached_inputs.empty());
    // Flags count only as the number 1.
    EXPECT_TRUE(card(3)->single_select);
    EXPECT_FALSE(card(4)->single_select);
    std::unique_ptr<InputField> price = obx::Box<InputField>(temp.store()).get(31);
    EXPECT_TRUE(price->currency);
    EXPECT_FALSE(price->single_line);
    EXPECT_EQ(price->request_title, "سقف مبلغ خرید");

    // Seeding a store that holds the catalogue adds no second copy of the cards.
    EXPECT_TRUE(db.seedCatalogue(fixture()));
    EXPECT_EQ(obx::Box<Card>(temp.store()).count(), 13u);
}

TEST(FormSeeding, AFailingCardKeepsNothing)
{
    TempStore temp;
    GDatabase db;
    QSignalSpy errors(&db, &GDatabase::error);
    QJsonArray cards = fixture();
    QJsonObject broken = cards.at(1).toObject();
    broken["inputs"] = QJsonArray{QJsonObject{{"id", 0}, {"key", "manual"}, {"parent_key", "code"}}};
    cards.replace(1, broken);

    EXPECT_FALSE(db.seedCatalogue(cards));
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors.at(0), (QList<QVariant>{"error inserting card more detail already logged!", "initialDatabase"}));
    EXPECT_EQ(obx::Box<Card>(temp.store()).count(), 0u);
    EXPECT_EQ(obx::Box<ToggleField>(temp.store()).count(), 0u);
    EXPECT_EQ(obx::Box<InputField>(temp.store()).count(), 0u);
    EXPECT_TRUE(db.seedCatalogue(fixture()));
}

TEST(FormSeeding, AnUnusableCatalogueFailsAndSaysWhy)
{
    TempStore temp;
    GDatabase db;
    QTemporaryDir dir;
    const auto write = [&](const char *name, const QByteArray &text) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    };
    for (const QString &path : {dir.filePath("missing.json"), write("empty.json", "[]"), write("cut.json", "[{\"id\":1,"),
                                write("object.json", "{\"cards\":[]}"), write("numbers.json", "[1,2]")}) {
        QSignalSpy errors(&db, &GDatabase::error);
        EXPECT_FALSE(db.seedCatalogueFile(path)) << path.toStdString();
        ASSERT_EQ(errors.count(), 1) << path.toStdString();
        EXPECT_TRUE(errors.at(0).at(0).toString().startsWith("error reading the form catalogue: "));
        EXPECT_EQ(errors.at(0).at(1).toString(), "initialDatabase");
    }
    EXPECT_EQ(obx::Box<Card>(temp.store()).count(), 0u);
}

// ---- Cards ------------------------------------------------------------------------------------

TEST_F(FormTest, FormCardsCarryFieldsAttachmentsAndStepper)
{
    const QJsonArray cards = form().getFormCards(1, 50);
    EXPECT_EQ(ids(cards), (QList<int>{5, 6, 7, 8})); // 8 holds only its stepper
    EXPECT_EQ(cards.at(0)["inputs"][0].toObject(),
              (QJsonObject{{"id", 7}, {"title", "متراژ زمین"}, {"request_title", "متراژ زمین"}, {"key", "area"},
                           {"parent_key", "meter"}, {"input_type", 3}, {"filter_type", 2}, {"max_length", 9},
                           {"currency", false}, {"single_line", true}, {"filter", true}}));
    EXPECT_FALSE(cards.at(0).toObject().contains("stepper"));

    const QJsonObject tenant = cards.at(1)["toggles"][0].toObject();
    EXPECT_TRUE(tenant["hasAttach"].toBool());
    EXPECT_EQ(ids(tenant["attachedInputs"].toArray()), (QList<int>{39, 40}));
    EXPECT_FALSE(tenant.contains("attachedToggles"));
    const QJsonArray nested = cards.at(1)["toggles"][1]["attachedToggles"].toArray();
    EXPECT_EQ(keys(nested), (QList<int>{708, 709}));
    EXPECT_EQ(ids(nested.at(0)["attachedInputs"].toArray()), (QList<int>{44}));
    EXPECT_FALSE(nested.at(1)["hasAttach"].toBool());
    EXPECT_EQ(cards.at(3)["stepper"]["key"].toString(), "num_parking");
    EXPECT_TRUE(form().getFormCards(1, -1).at(0)["single_select"].toBool());

    EXPECT_TRUE(form().getFormCards(1, 53).isEmpty()); // its one card is empty
    EXPECT_TRUE(form().getFormCards(3, 50).isEmpty()); // no such form
    obx::Box<InputField>(temp.store()).remove(7);
    obx::Box<InputField>(temp.store()).remove(31);
    EXPECT_EQ(ids(form().getFormCards(5, 50)), (QList<int>{10, 11})); // card 9 now points nowhere

    // Input cards: every trade type, kept even when empty.
    EXPECT_EQ(ids(form().getInputCards(50)), (QList<int>{5, 9}));
    EXPECT_EQ(ids(form().getInputCards(53)), (QList<int>{13}));
}

TEST_F(FormTest, SettingsCardsMergeTogglesByTitle)
{
    const QJsonArray cards = form().getSettingsCards();
    QStringList titles;
    for (const QJsonValue &c : cards)
        titles << c["title"].toString();
    EXPECT_EQ(titles, (QStringList{"نوع ملک", "وضعیت سکونت", "نوع و تعداد پارکینگ", "سایر امکانات", "امتیازات"}));
    EXPECT_EQ(ids(cards.at(1)["toggles"].toArray()), (QList<int>{6, 9, 11})); // each once, by id
    EXPECT_FALSE(cards.at(1)["toggles"][0].toObject().contains("hasAttach"));
}

// ---- Fields and types ---------------------------------------------------------------------------

TEST_F(FormTest, FieldsByKeysAndByParent)
{
    EXPECT_EQ(form().getFieldByKeys("5", "trade", true)["title"].toString(), "متقاضی خرید");
    EXPECT_FALSE(form().getFieldByKeys("5", "trade", true)["hasAttach"].toBool());
    EXPECT_TRUE(form().getFieldByKeys("5", "property", true).isEmpty());
    EXPECT_EQ(form().getFieldByKeys("area", "meter", false)["id"].toInt(), 7);
    EXPECT_EQ(keys(form().getFieldByParent("condition", true)), (QList<int>{701, 708, 709, 705, 702}));
    EXPECT_EQ(ids(form().getFieldByParent("tenant", false)), (QList<int>{39, 40}));
    EXPECT_EQ(keys(form().getTradeTypes()), (QList<int>{1, 2, 5}));
}

TEST_F(FormTest, PropertyTypesFoldArchivedTradesAndCount)
{
    EXPECT_EQ(keys(form().getPropertyTypes(1, {})), (QList<int>{50, 53}));
    EXPECT_EQ(form().getPropertyTypes(9, {}), form().getPropertyTypes(1, {}));
    EXPECT_EQ(keys(form().getPropertyTypes(13, {})), (QList<int>{50}));
    EXPECT_TRUE(form().getPropertyTypes(3, {}).isEmpty()); // no chooser card
    for (const QJsonValue &entry : form().getPropertyTypes(-1, {}))
        EXPECT_FALSE(entry.toObject().contains("count"));
    for (const QJsonValue &entry : form().getPropertyTabLayout(2, {}))
        EXPECT_FALSE(entry.toObject().contains("count"));

    const QJsonObject item{{"key", "room"}, {"parent_key", "info"}, {"value_1", "2"}};
    GFile files(sharedSnapshot());
    const auto expectCounts = [&](const QJsonArray &entries, int trade, const QJsonArray &filters) {
        ASSERT_EQ(entries.size(), 2);
        for (const QJsonValue &entry : entries)
            EXPECT_EQ(entry["count"], files.getFilesCount(trade, entry["key"].toInt(), filters, false, ""));
    };
    expectCounts(form().getPropertyTypes(9, item), 1, QJsonArray{item}); // counted as trade type 1
    expectCounts(form().getPropertyTabLayout(2, QJsonArray{item}), 2, QJsonArray{item});
    expectCounts(form().getReportCount(QJsonArray{}), -1, QJsonArray{});
}

// ---- Hidden toggles -------------------------------------------------------------------------------

TEST_F(FormTest, FormSettingsDropDuplicatesAndStampTheOwner)
{
    const User owner = temp.addOwner("o1");
    db.saveFormSettings(QJsonArray{QJsonObject{{"key", 12}}, QJsonObject{{"key", "12"}}, QJsonObject{{"key", 7}}},
                        "", 5000);
    EXPECT_EQ(row(owner.id)->invisible_toggles, (Ids{"12", "7"}));
    EXPECT_EQ(row(owner.id)->updated_date, 5000u);

    // An agent's settings are the agent's own; the stamp stays the owner's.
    const User agent = temp.addAgent(owner, "a1");
    User stored = *row(owner.id);
    stored.current = false; // so that the reload after the save finds the agent
    obx::Box<User>(temp.store()).put(stored);
    db.saveFormSettings(QJsonArray{QJsonObject{{"key", 705}}}, "", 6000);
    EXPECT_EQ(row(agent.id)->invisible_toggles, (Ids{"705"}));
    EXPECT_EQ(row(owner.id)->invisible_toggles, (Ids{"12", "7"}));
    EXPECT_EQ(row(owner.id)->updated_date, 6000u);
    EXPECT_EQ(keys(db.getInvisibleToggles()), (QList<int>{705}));
}

TEST_F(FormTest, InvisibleTogglesSkipKeysWithoutAField)
{
    EXPECT_TRUE(db.getInvisibleToggles().isEmpty()); // no account
    temp.addOwner("o1");
    db.saveFormSettings(QJsonArray{QJsonObject{{"key", 702}}, QJsonObject{{"key", 999}}, QJsonObject{{"key", 50}}});
    EXPECT_EQ(keys(db.getInvisibleToggles()), (QList<int>{702, 50}));
}

TEST_F(FormTest, AddingAHiddenToggleKeepsLaterChangesOfTheRow)
{
    EXPECT_FALSE(db.addInvisibleToggle(750)); // no account: no blank row is made
    EXPECT_EQ(obx::Box<User>(temp.store()).count(), 0u);

    const User owner = temp.addOwner("o1");
    GUser(sharedSnapshot()).updateDate(7000, -1); // changes the row, not the cached copy
    EXPECT_TRUE(db.addInvisibleToggle(750));
    EXPECT_TRUE(db.addInvisibleToggle(750));
    EXPECT_TRUE(db.addInvisibleToggle(650));
    EXPECT_EQ(row(owner.id)->invisible_toggles, (Ids{"750", "650"}));
    EXPECT_EQ(row(owner.id)->updated_date, 7000u);

    // A cached account whose row is gone is not written back.
    obx::Box<User>(temp.store()).remove(owner.id);
    EXPECT_FALSE(form().addInvisibleToggle(1, ""));
    EXPECT_NO_THROW(form().saveFormSettings(QJsonArray{QJsonObject{{"key", 7}}}, "", 9000));
    EXPECT_EQ(obx::Box<User>(temp.store()).count(), 0u);
}

// ---- The shipped catalogue --------------------------------------------------------------------------

TEST(ShippedCatalogue, SeedsIntoTheStatedRows)
{
    TempStore temp;
    GDatabase db;
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(db.initialDatabase());
    std::cout << "[ seeding  ] the shipped catalogue took " << timer.elapsed() << " ms" << std::endl;

    const QJsonArray shipped = readArray(QString::fromLatin1(GDatabase::kCatalogueResource));
    const auto cards = obx::Box<Card>(temp.store()).getAll();
    ASSERT_EQ(cards.size(), 398u);
    for (size_t i = 0; i < cards.size(); ++i) {
        const QJsonObject source = shipped.at(int(i)).toObject();
        EXPECT_EQ(cards[i]->id, i + 1);
        EXPECT_EQ(cards[i]->title, source["title"].toString().toStdString());
        EXPECT_EQ(cards[i]->trade_type, source["trade_type"].toInt());
        EXPECT_EQ(cards[i]->property_type, source["property_type"].toInt());
        EXPECT_EQ(cards[i]->toggles.size(), size_t(source["toggles"].toArray().size()));
        EXPECT_EQ(cards[i]->stepper, source.contains("stepper") ? 38u : 0u);
    }
    const auto inputs = obx::Box<InputField>(temp.store()).getAll();
    ASSERT_EQ(inputs.size(), 44u);
    for (size_t i = 0; i < inputs.size(); ++i)
        EXPECT_EQ(inputs[i]->id, i + 1);
    EXPECT_EQ(obx::Box<ToggleField>(temp.store()).count(), 235u);

    GForm repository(sharedSnapshot());
    EXPECT_EQ(keys(repository.getTradeTypes()), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(repository.getPropertyTypes(-1, {}).size(), 18);
    EXPECT_EQ(repository.getPropertyTypes(2, {}).size(), 16);
    EXPECT_EQ(keys(repository.getPropertyTypes(12, {})), (QList<int>{50, 51, 54, 55}));
    EXPECT_EQ(repository.getFormCards(1, 50).size(), 16);
    EXPECT_EQ(ids(repository.getFieldByKeys("701", "condition", true)["attachedInputs"].toArray()),
              (QList<int>{39, 40, 41, 42, 43}));
    EXPECT_EQ(repository.getFieldByKeys("705", "condition", true)["attachedToggles"].toArray().size(), 18);
}
