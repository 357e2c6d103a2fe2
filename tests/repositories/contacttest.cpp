// The contact repository: saves keyed by server id, the kind filter, keyword fields, look-ups.

#include "repositories/gcontact.h"
#include "tests/repositories/tempstore.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace UGENERAL;

namespace {

QStringList names(const QJsonArray &contacts)
{
    QStringList result;
    for (const QJsonValue &contact : contacts)
        result << contact["name_family"].toString();
    return result;
}

void save(const char *json, qlonglong date = -1)
{
    GContact(sharedSnapshot()).saveContacts(QJsonDocument::fromJson(QByteArray(json)).array(), date);
}

} // namespace

TEST(Contacts, BatchKindFilterAndKeywordFields)
{
    TempStore temp;
    const User owner = temp.addOwner("A");
    save(R"([{"_id":"c1","name_family":"Bahar","type":[1],"mobile_1":"0912111","address":"Vanak st"},
        {"_id":"c2","name_family":"Arash","type":[17,5],"mobile_2":"0935222","job":"guard","phone_1":"0213"},
        {"_id":"c3","name_family":"Dara","type":["6","x"]}, {"_id":"c4","name_family":"Cyrus","type":[1,18]},
        {"_id":"c5","name_family":"Gone"}])");
    save(R"([{"_id":"c5","die":true}, {"_id":"c3","name_family":"Dara","type":[6, "x"]}])", 800);
    EXPECT_EQ(obx::Box<User>(temp.store()).get(owner.id)->updated_date, 800u);

    GContact db(sharedSnapshot());
    EXPECT_EQ(names(db.getContacts(-1, -1, "", -1)), (QStringList{"Arash", "Bahar", "Cyrus", "Dara"}));
    EXPECT_EQ(db.getContact("c3", "")["type"].toArray(), (QJsonArray{6, 0}));
    // Kind 1 is an element of the list, never a prefix of 17 or 18.
    EXPECT_EQ(names(db.getContacts(1, 0, "", -1)), (QStringList{"Bahar", "Cyrus"}));
    EXPECT_EQ(names(db.getContactsByType(17, -1)), QStringList{"Arash"});
    EXPECT_EQ(names(db.getContacts(-1, 1, "ara", -1)), QStringList{"Dara"});
    EXPECT_EQ(names(db.getContacts(-1, 1, "Vanak", -1)), QStringList{"Bahar"});
    EXPECT_EQ(names(db.getContacts(-1, 1, "0912", -1)), QStringList{"Bahar"});
    EXPECT_EQ(names(db.getContacts(-1, 1, "0935", -1)), QStringList{"Arash"});
    EXPECT_EQ(names(db.getContacts(-1, 1, "guard", -1)), QStringList());
    EXPECT_EQ(names(db.getContacts(-1, 1, "0213", -1)), QStringList());
    EXPECT_EQ(db.getContactsCount(-1), 4);
    EXPECT_EQ(db.getContactsCount(int(owner.id) + 1), 0);
}

TEST(Contacts, SecondSaveReplacesAndLookupErrors)
{
    TempStore temp;
    temp.addOwner("A");
    save(R"([{"_id":"c1","name_family":"Bahar","mobile_1":"0912","mobile_2":"0935"}])");
    save(R"([{"_id":"c1","name_family":"Bahar N","mobile_1":"0912"}])");
    GContact db(sharedSnapshot());
    EXPECT_EQ(db.getContact("", "0912"), (QJsonObject{{"id", 1}, {"_id", "c1"}, {"user_id", 1},
        {"name_family", "Bahar N"}, {"mobile_1", "0912"}, {"mobile_2", ""}, {"phone_1", ""}, {"phone_2", ""},
        {"job", ""}, {"address", ""}, {"type", QJsonArray()}}));
    EXPECT_EQ(db.getContact("", ""), (QJsonObject{{"error", "you need to send server_id or mobile!"}}));
    const QJsonObject none{{"error", "there is no contact with this attributes!"}};
    EXPECT_EQ(db.getContact("", "0935"), none);
    EXPECT_EQ(db.getContact("c2", "0912"), none);
}
