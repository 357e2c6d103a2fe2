// The object store side by side with SQLite and with plain LMDB on the same 100,000
// listing-like records.
//
//   storebench [--records N] [--rounds R] [--dir DIRECTORY] [--only store|sqlite|lmdb]
//
// --only runs one engine (for profiling); the table then shows zeros for the others.
// Every engine is durable (LMDB syncs each commit; SQLite runs WAL with synchronous FULL), uses
// the same indexes, and reads back whole records. SQLite gets a 64 MiB page cache and maps up to
// 1 GiB of its file, as the store maps its own. Plain LMDB is the floor under the store: the same
// FlatBuffers rows and index databases in the same map size, with nothing of the store's own on
// top (no model, no checks of stored bytes, no transaction bookkeeping); its two-condition count
// intersects the two indexes' id lists. The rounds rotate which engine goes first, so that none
// gets the warmer machine. Each figure is the median of R rounds, with the fastest and slowest
// round beside it.

#include "store/obx/obx.h"

#include <flatbuffers/flatbuffers.h>
#include <lmdb.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// ---- The record and its binding -----------------------------------------------------------

struct Listing
{
    uint64_t id = 0;
    std::string server_id;
    std::string user_id;
    int32_t trade_type = 0;
    int32_t property_type = 0;
    uint64_t price_1 = 0;
    uint64_t price_2 = 0;
    float area = 0;
    float home = 0;
    int32_t room = 0;
    std::string customer_name;
    std::string customer_mobile;
    std::string address;
    std::string description;
    std::vector<std::string> districts;
    bool deleted = false;
    double lat = 0;
    double lng = 0;
    uint64_t date = 0;
    uint64_t edit_date = 0;

    struct _OBX_MetaInfo;
};

constexpr obx_schema_id kListing = 1;

struct Listing_
{
    static constexpr obx::Property<Listing, OBXPropertyType_String> server_id{kListing, 2};
    static constexpr obx::Property<Listing, OBXPropertyType_Int> trade_type{kListing, 4};
    static constexpr obx::Property<Listing, OBXPropertyType_Int> property_type{kListing, 5};
    static constexpr obx::Property<Listing, OBXPropertyType_Long> price_1{kListing, 6};
    static constexpr obx::Property<Listing, OBXPropertyType_Long> date{kListing, 19};
};

constexpr flatbuffers::voffset_t field(int propertyId)
{
    return flatbuffers::voffset_t(2 + 2 * propertyId);
}

struct Listing::_OBX_MetaInfo
{
    static constexpr obx_schema_id entityId() { return kListing; }
    static obx_id getObjectId(const Listing &l) { return l.id; }
    static void setObjectId(Listing &l, obx_id id) { l.id = id; }

    static void toFlatBuffer(flatbuffers::FlatBufferBuilder &fbb, const Listing &l)
    {
        fbb.Clear();
        fbb.ForceDefaults(true);
        const auto serverId = fbb.CreateString(l.server_id);
        const auto userId = fbb.CreateString(l.user_id);
        const auto name = fbb.CreateString(l.customer_name);
        const auto mobile = fbb.CreateString(l.customer_mobile);
        const auto address = fbb.CreateString(l.address);
        const auto description = fbb.CreateString(l.description);
        const auto districts = fbb.CreateVectorOfStrings(l.districts);
        const auto start = fbb.StartTable();
        fbb.AddElement<uint64_t>(field(1), l.id, 0);
        fbb.AddOffset(field(2), serverId);
        fbb.AddOffset(field(3), userId);
        fbb.AddElement<int32_t>(field(4), l.trade_type, 0);
        fbb.AddElement<int32_t>(field(5), l.property_type, 0);
        fbb.AddElement<uint64_t>(field(6), l.price_1, 0);
        fbb.AddElement<uint64_t>(field(7), l.price_2, 0);
        fbb.AddElement<float>(field(8), l.area, 0);
        fbb.AddElement<float>(field(9), l.home, 0);
        fbb.AddElement<int32_t>(field(10), l.room, 0);
        fbb.AddOffset(field(11), name);
        fbb.AddOffset(field(12), mobile);
        fbb.AddOffset(field(13), address);
        fbb.AddOffset(field(14), description);
        fbb.AddOffset(field(15), districts);
        fbb.AddElement<uint8_t>(field(16), l.deleted, 0);
        fbb.AddElement<double>(field(17), l.lat, 0);
        fbb.AddElement<double>(field(18), l.lng, 0);
        fbb.AddElement<uint64_t>(field(19), l.date, 0);
        fbb.AddElement<uint64_t>(field(20), l.edit_date, 0);
        fbb.Finish(flatbuffers::Offset<flatbuffers::Table>(fbb.EndTable(start)));
    }

    static void fromFlatBuffer(const void *data, size_t, Listing &l)
    {
        const auto *t = flatbuffers::GetRoot<flatbuffers::Table>(data);
        const auto text = [t](int p, std::string &out) {
            if (const auto *s = t->GetPointer<const flatbuffers::String *>(field(p)))
                out.assign(s->c_str(), s->size());
        };
        l.id = t->GetField<uint64_t>(field(1), 0);
        text(2, l.server_id);
        text(3, l.user_id);
        l.trade_type = t->GetField<int32_t>(field(4), 0);
        l.property_type = t->GetField<int32_t>(field(5), 0);
        l.price_1 = t->GetField<uint64_t>(field(6), 0);
        l.price_2 = t->GetField<uint64_t>(field(7), 0);
        l.area = t->GetField<float>(field(8), 0);
        l.home = t->GetField<float>(field(9), 0);
        l.room = t->GetField<int32_t>(field(10), 0);
        text(11, l.customer_name);
        text(12, l.customer_mobile);
        text(13, l.address);
        text(14, l.description);
        using Texts = flatbuffers::Vector<flatbuffers::Offset<flatbuffers::String>>;
        if (const auto *v = t->GetPointer<const Texts *>(field(15)))
            for (const auto *s : *v)
                l.districts.emplace_back(s->c_str(), s->size());
        l.deleted = t->GetField<uint8_t>(field(16), 0) != 0;
        l.lat = t->GetField<double>(field(17), 0);
        l.lng = t->GetField<double>(field(18), 0);
        l.date = t->GetField<uint64_t>(field(19), 0);
        l.edit_date = t->GetField<uint64_t>(field(20), 0);
    }

    static std::unique_ptr<Listing> newFromFlatBuffer(const void *data, size_t size)
    {
        auto l = std::make_unique<Listing>();
        fromFlatBuffer(data, size, *l);
        return l;
    }
};

OBX_store_options *storeOptions(const std::string &directory)
{
    OBX_model *m = obx_model();
    obx_model_entity(m, "Listing", kListing, 1001);
    struct Spec
    {
        const char *name;
        OBXPropertyType type;
        uint32_t flags;
        obx_schema_id index;
    };
    const Spec specs[] = {
        {"id", OBXPropertyType_Long, OBXPropertyFlags_ID, 0},
        {"server_id", OBXPropertyType_String, OBXPropertyFlags_UNIQUE | OBXPropertyFlags_INDEX_HASH, 1},
        {"user_id", OBXPropertyType_String, OBXPropertyFlags_INDEX_HASH, 2},
        {"trade_type", OBXPropertyType_Int, OBXPropertyFlags_INDEXED, 3},
        {"property_type", OBXPropertyType_Int, OBXPropertyFlags_INDEXED, 4},
        {"price_1", OBXPropertyType_Long, OBXPropertyFlags_UNSIGNED, 0},
        {"price_2", OBXPropertyType_Long, OBXPropertyFlags_UNSIGNED, 0},
        {"area", OBXPropertyType_Float, 0, 0},
        {"home", OBXPropertyType_Float, 0, 0},
        {"room", OBXPropertyType_Int, 0, 0},
        {"customer_name", OBXPropertyType_String, 0, 0},
        {"customer_mobile", OBXPropertyType_String, 0, 0},
        {"address", OBXPropertyType_String, 0, 0},
        {"description", OBXPropertyType_String, 0, 0},
        {"districts", OBXPropertyType_StringVector, 0, 0},
        {"deleted", OBXPropertyType_Bool, 0, 0},
        {"lat", OBXPropertyType_Double, 0, 0},
        {"lng", OBXPropertyType_Double, 0, 0},
        {"date", OBXPropertyType_Long, OBXPropertyFlags_UNSIGNED, 0},
        {"edit_date", OBXPropertyType_Long, OBXPropertyFlags_UNSIGNED, 0},
    };
    obx_schema_id id = 0;
    for (const Spec &s : specs) {
        ++id;
        obx_model_property(m, s.name, s.type, id, 2000 + id);
        obx_model_property_flags(m, s.flags);
        if (s.index)
            obx_model_property_index_id(m, s.index, 3000 + s.index);
    }
    obx_model_entity_last_property_id(m, id, 2000 + id);
    obx_model_last_entity_id(m, kListing, 1001);
    obx_model_last_index_id(m, 4, 3004);
    OBX_store_options *opt = obx_opt();
    if (obx_opt_model(opt, m) != OBX_SUCCESS || obx_opt_directory(opt, directory.c_str()) != OBX_SUCCESS)
        obx::throwLastError("Could not set up the store options");
    return opt;
}

// ---- The records --------------------------------------------------------------------------

std::vector<Listing> makeListings(size_t n)
{
    std::mt19937_64 random(20240601);
    const auto pick = [&](uint64_t lo, uint64_t hi) { return lo + random() % (hi - lo + 1); };
    const char *districts[] = {"ونک", "جردن", "پاسداران", "سعادت‌آباد", "تجریش", "نارمک", "یوسف‌آباد", "شهرک غرب"};
    std::vector<Listing> out(n);
    for (size_t i = 0; i < n; ++i) {
        Listing &l = out[i];
        l.server_id = "6650" + std::to_string(1000000 + i) + "f3a9c2";
        l.user_id = "user-" + std::to_string(pick(1, 40));
        l.trade_type = int32_t(pick(1, 4));
        l.property_type = int32_t(pick(1, 8));
        l.price_1 = pick(500, 40000) * 1000000ULL;
        l.price_2 = pick(0, 300) * 1000000ULL;
        l.area = float(pick(30, 400));
        l.home = float(pick(30, 400));
        l.room = int32_t(pick(0, 5));
        l.customer_name = "مشتری شماره " + std::to_string(i);
        l.customer_mobile = "0912" + std::to_string(1000000 + pick(0, 8999999));
        l.address = "تهران، خیابان " + std::string(districts[i % 8]) + "، پلاک " + std::to_string(pick(1, 300));
        l.description = "آپارتمان نوساز، نورگیر، با پارکینگ و انباری؛ دسترسی آسان به مترو. کد " + std::to_string(i);
        for (uint64_t k = pick(1, 3); k > 0; --k)
            l.districts.push_back(districts[pick(0, 7)]);
        l.deleted = pick(0, 20) == 0;
        l.lat = 35.6 + double(pick(0, 100000)) / 1e6;
        l.lng = 51.3 + double(pick(0, 100000)) / 1e6;
        l.date = 1700000000000ULL + pick(0, 30000000000ULL);
        l.edit_date = l.date + pick(0, 1000000);
    }
    return out;
}

struct Workload
{
    std::vector<uint64_t> ids;            // for get by id
    std::vector<std::string> serverIds;   // for the equality look-up
    struct Search
    {
        int32_t trade, property;
        uint64_t low, high;
    };
    std::vector<Search> searches;
    std::vector<int32_t> trades;          // for the counts
    std::vector<int32_t> properties;
};

Workload makeWorkload(const std::vector<Listing> &listings)
{
    std::mt19937_64 random(7);
    Workload w;
    for (int i = 0; i < 20000; ++i)
        w.ids.push_back(1 + random() % listings.size());
    for (int i = 0; i < 20000; ++i)
        w.serverIds.push_back(listings[random() % listings.size()].server_id);
    for (int i = 0; i < 200; ++i) {
        const uint64_t low = (500 + random() % 20000) * 1000000ULL;
        w.searches.push_back({int32_t(1 + random() % 4), int32_t(1 + random() % 8), low, low + 10000 * 1000000ULL});
    }
    for (int i = 0; i < 2000; ++i) {
        w.trades.push_back(int32_t(1 + random() % 4));
        w.properties.push_back(int32_t(1 + random() % 8));
    }
    return w;
}

// ---- The engines --------------------------------------------------------------------------

// Each engine answers the same operations; results are summed so nothing is optimised out.
class Engine
{
public:
    virtual ~Engine() = default;
    virtual void open(const std::string &directory) = 0;
    virtual void close() = 0;
    virtual void putAll(std::vector<Listing> &listings) = 0;
    virtual uint64_t get(uint64_t id) = 0;
    virtual uint64_t findByServerId(const std::string &serverId) = 0;
    virtual uint64_t search(const Workload::Search &s) = 0;
    // The store answers this one from its index's entry count for the key, SQLite by walking the
    // index: the ratio says little more than that.
    virtual uint64_t countTrade(int32_t trade) = 0;
    // Two conditions: both engines must look at the rows (or intersect two indexes).
    virtual uint64_t countTradeProperty(int32_t trade, int32_t property) = 0;
    // Every record read and decoded.
    virtual uint64_t scanAll() = 0;
};

class StoreEngine : public Engine
{
public:
    void open(const std::string &directory) override { store_ = std::make_unique<obx::Store>(storeOptions(directory)); }
    void close() override { store_.reset(); }
    void putAll(std::vector<Listing> &listings) override { store_->box<Listing>().put(listings); }
    uint64_t get(uint64_t id) override
    {
        const auto l = store_->box<Listing>().get(id);
        return l ? l->price_1 + l->description.size() : 0;
    }
    uint64_t findByServerId(const std::string &serverId) override
    {
        const auto l = store_->box<Listing>().query(Listing_::server_id.equals(serverId)).build().findFirst();
        return l ? l->id : 0;
    }
    uint64_t search(const Workload::Search &s) override
    {
        const auto found = store_->box<Listing>()
                               .query(Listing_::trade_type.equals(s.trade) && Listing_::property_type.equals(s.property)
                                      && Listing_::price_1.between(int64_t(s.low), int64_t(s.high)))
                               .order(Listing_::date, OBXOrderFlags_DESCENDING)
                               .build()
                               .limit(50)
                               .find();
        uint64_t sum = found.size();
        for (const auto &l : found)
            sum += l->id;
        return sum;
    }
    uint64_t countTrade(int32_t trade) override
    {
        return store_->box<Listing>().query(Listing_::trade_type.equals(trade)).build().count();
    }
    uint64_t countTradeProperty(int32_t trade, int32_t property) override
    {
        return store_->box<Listing>()
            .query(Listing_::trade_type.equals(trade) && Listing_::property_type.equals(property))
            .build()
            .count();
    }
    uint64_t scanAll() override
    {
        uint64_t sum = 0;
        for (const auto &l : store_->box<Listing>().getAll())
            sum += l->price_1 + l->description.size() + l->districts.size();
        return sum;
    }

private:
    std::unique_ptr<obx::Store> store_;
};

class SqliteEngine : public Engine
{
public:
    void open(const std::string &directory) override
    {
        check(sqlite3_open((directory + "/listings.sqlite").c_str(), &db_), "open");
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=FULL");
        exec("PRAGMA cache_size=-65536");
        exec("PRAGMA mmap_size=1073741824");
        exec("CREATE TABLE IF NOT EXISTS listing (id INTEGER PRIMARY KEY, server_id TEXT, user_id TEXT,"
             " trade_type INTEGER, property_type INTEGER, price_1 INTEGER, price_2 INTEGER, area REAL, home REAL,"
             " room INTEGER, customer_name TEXT, customer_mobile TEXT, address TEXT, description TEXT,"
             " districts TEXT, deleted INTEGER, lat REAL, lng REAL, date INTEGER, edit_date INTEGER)");
        exec("CREATE UNIQUE INDEX IF NOT EXISTS listing_server_id ON listing(server_id)");
        exec("CREATE INDEX IF NOT EXISTS listing_user_id ON listing(user_id)");
        exec("CREATE INDEX IF NOT EXISTS listing_trade_type ON listing(trade_type)");
        exec("CREATE INDEX IF NOT EXISTS listing_property_type ON listing(property_type)");
        insert_ = prepare("INSERT INTO listing (server_id, user_id, trade_type, property_type, price_1, price_2, area,"
                          " home, room, customer_name, customer_mobile, address, description, districts, deleted, lat,"
                          " lng, date, edit_date) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        byId_ = prepare(std::string("SELECT ") + kColumns + " FROM listing WHERE id = ?");
        byServerId_ = prepare(std::string("SELECT ") + kColumns + " FROM listing WHERE server_id = ? LIMIT 1");
        search_ = prepare(std::string("SELECT ") + kColumns
                          + " FROM listing WHERE trade_type = ? AND property_type = ? AND price_1 BETWEEN ? AND ?"
                            " ORDER BY date DESC, id LIMIT 50");
        count_ = prepare("SELECT COUNT(*) FROM listing WHERE trade_type = ?");
        count2_ = prepare("SELECT COUNT(*) FROM listing WHERE trade_type = ? AND property_type = ?");
        scan_ = prepare(std::string("SELECT ") + kColumns + " FROM listing");
    }

    void close() override
    {
        for (sqlite3_stmt *s : {insert_, byId_, byServerId_, search_, count_, count2_, scan_})
            sqlite3_finalize(s);
        sqlite3_close(db_);
        db_ = nullptr;
    }

    void putAll(std::vector<Listing> &listings) override
    {
        exec("BEGIN");
        for (Listing &l : listings) {
            sqlite3_stmt *s = insert_;
            sqlite3_bind_text(s, 1, l.server_id.data(), int(l.server_id.size()), SQLITE_STATIC);
            sqlite3_bind_text(s, 2, l.user_id.data(), int(l.user_id.size()), SQLITE_STATIC);
            sqlite3_bind_int(s, 3, l.trade_type);
            sqlite3_bind_int(s, 4, l.property_type);
            sqlite3_bind_int64(s, 5, sqlite3_int64(l.price_1));
            sqlite3_bind_int64(s, 6, sqlite3_int64(l.price_2));
            sqlite3_bind_double(s, 7, l.area);
            sqlite3_bind_double(s, 8, l.home);
            sqlite3_bind_int(s, 9, l.room);
            sqlite3_bind_text(s, 10, l.customer_name.data(), int(l.customer_name.size()), SQLITE_STATIC);
            sqlite3_bind_text(s, 11, l.customer_mobile.data(), int(l.customer_mobile.size()), SQLITE_STATIC);
            sqlite3_bind_text(s, 12, l.address.data(), int(l.address.size()), SQLITE_STATIC);
            sqlite3_bind_text(s, 13, l.description.data(), int(l.description.size()), SQLITE_STATIC);
            std::string districts;
            for (const std::string &d : l.districts)
                districts += d + '\x1f';
            sqlite3_bind_text(s, 14, districts.data(), int(districts.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(s, 15, l.deleted);
            sqlite3_bind_double(s, 16, l.lat);
            sqlite3_bind_double(s, 17, l.lng);
            sqlite3_bind_int64(s, 18, sqlite3_int64(l.date));
            sqlite3_bind_int64(s, 19, sqlite3_int64(l.edit_date));
            if (sqlite3_step(s) != SQLITE_DONE)
                fail("insert");
            sqlite3_reset(s);
            l.id = uint64_t(sqlite3_last_insert_rowid(db_));
        }
        exec("COMMIT");
    }

    uint64_t get(uint64_t id) override
    {
        sqlite3_bind_int64(byId_, 1, sqlite3_int64(id));
        uint64_t sum = 0;
        if (sqlite3_step(byId_) == SQLITE_ROW) {
            const Listing l = read(byId_);
            sum = l.price_1 + l.description.size();
        }
        sqlite3_reset(byId_);
        return sum;
    }

    uint64_t findByServerId(const std::string &serverId) override
    {
        sqlite3_bind_text(byServerId_, 1, serverId.data(), int(serverId.size()), SQLITE_STATIC);
        uint64_t id = 0;
        if (sqlite3_step(byServerId_) == SQLITE_ROW)
            id = read(byServerId_).id;
        sqlite3_reset(byServerId_);
        return id;
    }

    uint64_t search(const Workload::Search &q) override
    {
        sqlite3_bind_int(search_, 1, q.trade);
        sqlite3_bind_int(search_, 2, q.property);
        sqlite3_bind_int64(search_, 3, sqlite3_int64(q.low));
        sqlite3_bind_int64(search_, 4, sqlite3_int64(q.high));
        std::vector<Listing> found;
        while (sqlite3_step(search_) == SQLITE_ROW)
            found.push_back(read(search_));
        sqlite3_reset(search_);
        uint64_t sum = found.size();
        for (const Listing &l : found)
            sum += l.id;
        return sum;
    }

    uint64_t countTrade(int32_t trade) override
    {
        sqlite3_bind_int(count_, 1, trade);
        uint64_t n = 0;
        if (sqlite3_step(count_) == SQLITE_ROW)
            n = uint64_t(sqlite3_column_int64(count_, 0));
        sqlite3_reset(count_);
        return n;
    }

    uint64_t countTradeProperty(int32_t trade, int32_t property) override
    {
        sqlite3_bind_int(count2_, 1, trade);
        sqlite3_bind_int(count2_, 2, property);
        uint64_t n = 0;
        if (sqlite3_step(count2_) == SQLITE_ROW)
            n = uint64_t(sqlite3_column_int64(count2_, 0));
        sqlite3_reset(count2_);
        return n;
    }

    uint64_t scanAll() override
    {
        std::vector<Listing> all;
        while (sqlite3_step(scan_) == SQLITE_ROW)
            all.push_back(read(scan_));
        sqlite3_reset(scan_);
        uint64_t sum = 0;
        for (const Listing &l : all)
            sum += l.price_1 + l.description.size() + l.districts.size();
        return sum;
    }

private:
    static constexpr const char *kColumns =
        "id, server_id, user_id, trade_type, property_type, price_1, price_2, area, home, room, customer_name,"
        " customer_mobile, address, description, districts, deleted, lat, lng, date, edit_date";

    static std::string text(sqlite3_stmt *s, int column)
    {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(s, column));
        return p ? std::string(p, size_t(sqlite3_column_bytes(s, column))) : std::string();
    }

    static Listing read(sqlite3_stmt *s)
    {
        Listing l;
        l.id = uint64_t(sqlite3_column_int64(s, 0));
        l.server_id = text(s, 1);
        l.user_id = text(s, 2);
        l.trade_type = sqlite3_column_int(s, 3);
        l.property_type = sqlite3_column_int(s, 4);
        l.price_1 = uint64_t(sqlite3_column_int64(s, 5));
        l.price_2 = uint64_t(sqlite3_column_int64(s, 6));
        l.area = float(sqlite3_column_double(s, 7));
        l.home = float(sqlite3_column_double(s, 8));
        l.room = sqlite3_column_int(s, 9);
        l.customer_name = text(s, 10);
        l.customer_mobile = text(s, 11);
        l.address = text(s, 12);
        l.description = text(s, 13);
        const std::string districts = text(s, 14);
        size_t from = 0;
        for (size_t to; (to = districts.find('\x1f', from)) != std::string::npos; from = to + 1)
            l.districts.push_back(districts.substr(from, to - from));
        l.deleted = sqlite3_column_int(s, 15) != 0;
        l.lat = sqlite3_column_double(s, 16);
        l.lng = sqlite3_column_double(s, 17);
        l.date = uint64_t(sqlite3_column_int64(s, 18));
        l.edit_date = uint64_t(sqlite3_column_int64(s, 19));
        return l;
    }

    void check(int rc, const char *what)
    {
        if (rc != SQLITE_OK)
            fail(what);
    }
    [[noreturn]] void fail(const char *what)
    {
        throw std::runtime_error(std::string("SQLite ") + what + ": " + (db_ ? sqlite3_errmsg(db_) : "no database"));
    }
    void exec(const char *sql)
    {
        char *error = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "unknown";
            sqlite3_free(error);
            throw std::runtime_error(std::string("SQLite: ") + sql + ": " + message);
        }
    }
    sqlite3_stmt *prepare(const std::string &sql)
    {
        sqlite3_stmt *s = nullptr;
        check(sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr), "prepare");
        return s;
    }

    sqlite3 *db_ = nullptr;
    sqlite3_stmt *insert_ = nullptr;
    sqlite3_stmt *byId_ = nullptr;
    sqlite3_stmt *byServerId_ = nullptr;
    sqlite3_stmt *search_ = nullptr;
    sqlite3_stmt *count_ = nullptr;
    sqlite3_stmt *count2_ = nullptr;
    sqlite3_stmt *scan_ = nullptr;
};

// The same rows and indexes straight in LMDB, laid out as the store lays them out (on this
// little-endian machine): big-endian ids as keys, one sorted duplicate list of ids per index value, texts indexed by their FNV-1a hash.
class LmdbEngine : public Engine
{
public:
    void open(const std::string &directory) override
    {
        check(mdb_env_create(&env_), "create");
        check(mdb_env_set_mapsize(env_, size_t(1) << 30), "map size");
        check(mdb_env_set_maxdbs(env_, 8), "databases");
        check(mdb_env_open(env_, directory.c_str(), MDB_NOTLS, 0644), "open");
        MDB_txn *txn = nullptr;
        check(mdb_txn_begin(env_, nullptr, 0, &txn), "begin");
        check(mdb_dbi_open(txn, "rows", MDB_CREATE, &rows_), "rows");
        const char *names[4] = {"server_id", "user_id", "trade_type", "property_type"};
        for (int i = 0; i < 4; ++i)
            check(mdb_dbi_open(txn, names[i], MDB_CREATE | MDB_DUPSORT | MDB_DUPFIXED, &indexes_[i]), "index");
        check(mdb_txn_commit(txn), "commit");
        check(mdb_txn_begin(env_, nullptr, MDB_RDONLY, &reader_), "begin");
        mdb_txn_reset(reader_);
    }

    void close() override
    {
        mdb_txn_abort(reader_);
        mdb_env_close(env_);
        env_ = nullptr;
    }

    void putAll(std::vector<Listing> &listings) override
    {
        MDB_txn *txn = nullptr;
        check(mdb_txn_begin(env_, nullptr, 0, &txn), "begin");
        flatbuffers::FlatBufferBuilder fbb;
        uint64_t id = 0;
        for (Listing &l : listings) {
            l.id = ++id;
            Listing::_OBX_MetaInfo::toFlatBuffer(fbb, l);
            Key key(l.id);
            MDB_val k = key.val(), v{fbb.GetSize(), fbb.GetBufferPointer()};
            // A unique server id is looked for before the row goes in, as the store must.
            Key serverKey(hashText(l.server_id));
            MDB_val sk = serverKey.val(), found;
            if (mdb_get(txn, indexes_[0], &sk, &found) == 0)
                throw std::runtime_error("LMDB: server id taken");
            check(mdb_put(txn, rows_, &k, &v, MDB_APPEND), "put");
            const uint64_t values[4] = {hashText(l.server_id), hashText(l.user_id), signedKey(l.trade_type),
                                        signedKey(l.property_type)};
            for (int i = 0; i < 4; ++i) {
                Key indexKey(values[i]);
                MDB_val ik = indexKey.val(), iv = key.val();
                check(mdb_put(txn, indexes_[i], &ik, &iv, MDB_APPENDDUP), "index put");
            }
        }
        check(mdb_txn_commit(txn), "commit");
    }

    uint64_t get(uint64_t id) override
    {
        Reader r(reader_);
        Key key(id);
        MDB_val k = key.val(), v;
        if (mdb_get(reader_, rows_, &k, &v) != 0)
            return 0;
        const auto l = Listing::_OBX_MetaInfo::newFromFlatBuffer(v.mv_data, v.mv_size);
        return l->price_1 + l->description.size();
    }

    uint64_t findByServerId(const std::string &serverId) override
    {
        Reader r(reader_);
        Cursor cursor(reader_, indexes_[0]);
        Key key(hashText(serverId));
        MDB_val k = key.val(), d;
        for (int rc = mdb_cursor_get(cursor.get(), &k, &d, MDB_SET_KEY); rc == 0;
             rc = mdb_cursor_get(cursor.get(), &k, &d, MDB_NEXT_DUP)) {
            MDB_val rk{8, d.mv_data}, v;
            if (mdb_get(reader_, rows_, &rk, &v) != 0)
                continue;
            const auto *t = flatbuffers::GetRoot<flatbuffers::Table>(v.mv_data);
            const auto *s = t->GetPointer<const flatbuffers::String *>(field(2));
            if (s && s->string_view() == serverId)
                return Listing::_OBX_MetaInfo::newFromFlatBuffer(v.mv_data, v.mv_size)->id;
        }
        return 0;
    }

    uint64_t search(const Workload::Search &s) override
    {
        Reader r(reader_);
        const std::vector<uint64_t> ids =
            intersect(idsOf(indexes_[2], signedKey(s.trade)), idsOf(indexes_[3], signedKey(s.property)));
        struct Hit
        {
            uint64_t date, id;
            MDB_val value;
        };
        std::vector<Hit> hits;
        for (uint64_t id : ids) {
            Key key(id);
            MDB_val k = key.val(), v;
            if (mdb_get(reader_, rows_, &k, &v) != 0)
                continue;
            const auto *t = flatbuffers::GetRoot<flatbuffers::Table>(v.mv_data);
            const uint64_t price = t->GetField<uint64_t>(field(6), 0);
            if (price >= s.low && price <= s.high)
                hits.push_back({t->GetField<uint64_t>(field(19), 0), id, v});
        }
        const auto before = [](const Hit &a, const Hit &b) { return a.date != b.date ? a.date > b.date : a.id < b.id; };
        const size_t n = std::min<size_t>(50, hits.size());
        std::partial_sort(hits.begin(), hits.begin() + std::ptrdiff_t(n), hits.end(), before);
        std::vector<std::unique_ptr<Listing>> found;
        for (size_t i = 0; i < n; ++i)
            found.push_back(Listing::_OBX_MetaInfo::newFromFlatBuffer(hits[i].value.mv_data, hits[i].value.mv_size));
        uint64_t sum = found.size();
        for (const auto &l : found)
            sum += l->id;
        return sum;
    }

    uint64_t countTrade(int32_t trade) override
    {
        Reader r(reader_);
        Cursor cursor(reader_, indexes_[2]);
        Key key(signedKey(trade));
        MDB_val k = key.val(), d;
        size_t n = 0;
        if (mdb_cursor_get(cursor.get(), &k, &d, MDB_SET_KEY) == 0)
            mdb_cursor_count(cursor.get(), &n);
        return n;
    }

    uint64_t countTradeProperty(int32_t trade, int32_t property) override
    {
        Reader r(reader_);
        return intersect(idsOf(indexes_[2], signedKey(trade)), idsOf(indexes_[3], signedKey(property))).size();
    }

    uint64_t scanAll() override
    {
        Reader r(reader_);
        std::vector<std::unique_ptr<Listing>> all;
        Cursor cursor(reader_, rows_);
        MDB_val k, v;
        for (int rc = mdb_cursor_get(cursor.get(), &k, &v, MDB_FIRST); rc == 0;
             rc = mdb_cursor_get(cursor.get(), &k, &v, MDB_NEXT))
            all.push_back(Listing::_OBX_MetaInfo::newFromFlatBuffer(v.mv_data, v.mv_size));
        uint64_t sum = 0;
        for (const auto &l : all)
            sum += l->price_1 + l->description.size() + l->districts.size();
        return sum;
    }

private:
    struct Key
    {
        explicit Key(uint64_t v)
        {
            v = __builtin_bswap64(v);
            std::memcpy(bytes, &v, 8);
        }
        MDB_val val() { return MDB_val{8, bytes}; }
        uint8_t bytes[8];
    };
    // One read snapshot per operation, on a transaction handle kept for reuse.
    struct Reader
    {
        explicit Reader(MDB_txn *txn) : txn(txn)
        {
            if (mdb_txn_renew(txn) != 0)
                throw std::runtime_error("LMDB: renew");
        }
        ~Reader() { mdb_txn_reset(txn); }
        MDB_txn *txn;
    };
    struct Cursor
    {
        Cursor(MDB_txn *txn, MDB_dbi dbi)
        {
            if (mdb_cursor_open(txn, dbi, &cursor) != 0)
                throw std::runtime_error("LMDB: cursor");
        }
        ~Cursor() { mdb_cursor_close(cursor); }
        MDB_cursor *get() const { return cursor; }
        MDB_cursor *cursor = nullptr;
    };

    static uint64_t hashText(const std::string &text)
    {
        uint64_t hash = 14695981039346656037ULL;
        for (unsigned char c : text) {
            hash ^= c;
            hash *= 1099511628211ULL;
        }
        return hash;
    }
    static uint64_t signedKey(int64_t v) { return uint64_t(v) ^ (uint64_t(1) << 63); }
    static uint64_t readKey(const uint8_t *p)
    {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return __builtin_bswap64(v);
    }

    std::vector<uint64_t> idsOf(MDB_dbi index, uint64_t value)
    {
        std::vector<uint64_t> ids;
        Cursor cursor(reader_, index);
        Key key(value);
        MDB_val k = key.val(), d;
        int rc = mdb_cursor_get(cursor.get(), &k, &d, MDB_SET_KEY);
        if (rc == 0) {
            size_t n = 0;
            mdb_cursor_count(cursor.get(), &n);
            ids.reserve(n);
            rc = mdb_cursor_get(cursor.get(), &k, &d, MDB_GET_MULTIPLE);
        }
        for (; rc == 0; rc = mdb_cursor_get(cursor.get(), &k, &d, MDB_NEXT_MULTIPLE))
            for (size_t i = 0; i + 8 <= d.mv_size; i += 8)
                ids.push_back(readKey(static_cast<const uint8_t *>(d.mv_data) + i));
        return ids;
    }

    static std::vector<uint64_t> intersect(const std::vector<uint64_t> &a, const std::vector<uint64_t> &b)
    {
        std::vector<uint64_t> both;
        both.reserve(std::min(a.size(), b.size()));
        std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both));
        return both;
    }

    void check(int rc, const char *what)
    {
        if (rc != 0)
            throw std::runtime_error(std::string("LMDB ") + what + ": " + mdb_strerror(rc));
    }

    MDB_env *env_ = nullptr;
    MDB_txn *reader_ = nullptr;
    MDB_dbi rows_ = 0;
    MDB_dbi indexes_[4] = {};
};

// ---- Measuring ----------------------------------------------------------------------------

double seconds(const std::function<void()> &fn)
{
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The median of the rounds, with the fastest and the slowest.
struct Spread
{
    double median = 0, low = 0, high = 0;
};

Spread spread(std::vector<double> v)
{
    Spread out;
    if (v.empty())
        return out;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    out.median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    out.low = v.front();
    out.high = v.back();
    return out;
}

enum Row { Bulk, Get, Lookup, Search, Count, Count2, Scan, RowCount };

// One engine's samples, one per round and row.
struct Samples
{
    std::vector<double> rows[RowCount];
    uint64_t checksum = 0;
};

// Both LMDB engines keep data.mdb and lock.mdb in the directory.
void removeTree(const std::string &directory)
{
    obx_remove_db_files(directory.c_str());
    for (const char *f : {"/listings.sqlite", "/listings.sqlite-wal", "/listings.sqlite-shm"})
        ::unlink((directory + f).c_str());
}

void runRound(Engine &engine, const std::string &directory, const std::vector<Listing> &listings, const Workload &w,
           Samples &out)
{
    removeTree(directory);
    engine.open(directory);
    std::vector<Listing> copy = listings;
    uint64_t &sum = out.checksum;
    out.rows[Bulk].push_back(seconds([&] { engine.putAll(copy); }) * 1e3);
    out.rows[Get].push_back(seconds([&] {
                                for (uint64_t id : w.ids)
                                    sum += engine.get(id);
                            }) * 1e6 / double(w.ids.size()));
    out.rows[Lookup].push_back(seconds([&] {
                                   for (const std::string &s : w.serverIds)
                                       sum += engine.findByServerId(s);
                               }) * 1e6 / double(w.serverIds.size()));
    out.rows[Search].push_back(seconds([&] {
                                   for (const Workload::Search &s : w.searches)
                                       sum += engine.search(s);
                               }) * 1e6 / double(w.searches.size()));
    out.rows[Count].push_back(seconds([&] {
                                  for (int32_t t : w.trades)
                                      sum += engine.countTrade(t);
                              }) * 1e6 / double(w.trades.size()));
    const size_t pairs = w.trades.size() / 10;
    out.rows[Count2].push_back(seconds([&] {
                                   for (size_t i = 0; i < pairs; ++i)
                                       sum += engine.countTradeProperty(w.trades[i], w.properties[i]);
                               }) * 1e6 / double(pairs));
    out.rows[Scan].push_back(seconds([&] { sum += engine.scanAll(); }) * 1e3);
    engine.close();
}

} // namespace

int main(int argc, char **argv)
{
    size_t records = 100000;
    int rounds = 5;
    std::string directory;
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--records"))
            records = size_t(std::strtoull(argv[i + 1], nullptr, 10));
        else if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::max(1, std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--dir"))
            directory = argv[i + 1];
        else if (!std::strcmp(argv[i], "--only"))
            only = argv[i + 1];
    }
    bool madeDirectory = false;
    if (directory.empty()) {
        char pattern[] = "/tmp/storebench-XXXXXX";
        if (!mkdtemp(pattern)) {
            std::perror("mkdtemp");
            return 1;
        }
        directory = pattern;
        madeDirectory = true;
    }

    try {
        const std::vector<Listing> listings = makeListings(records);
        const Workload w = makeWorkload(listings);
        StoreEngine store;
        SqliteEngine sqlite;
        LmdbEngine lmdb;
        Engine *engines[3] = {&store, &sqlite, &lmdb};
        const char *engineNames[3] = {"store", "sqlite", "lmdb"};
        Samples samples[3];
        for (int r = 0; r < rounds; ++r) {
            // Rotate which engine goes first, so that none always follows the same one's work.
            for (int k = 0; k < 3; ++k) {
                const int e = (r + k) % 3;
                if (only.empty() || only == engineNames[e])
                    runRound(*engines[e], directory, listings, w, samples[e]);
            }
        }
        removeTree(directory);
        const Samples &a = samples[0], &b = samples[1], &c = samples[2];
        if (only.empty() && (a.checksum != b.checksum || a.checksum != c.checksum))
            std::fprintf(stderr, "warning: the engines gave different answers (%llu, %llu, %llu)\n",
                         (unsigned long long)a.checksum, (unsigned long long)b.checksum,
                         (unsigned long long)c.checksum);
        std::printf("%zu records, median of %d rotated rounds [fastest - slowest]\n", records, rounds);
        std::printf("%-44s %29s %29s %29s %9s %9s\n", "operation", "store", "SQLite", "LMDB alone", "SQLite/st",
                    "st/LMDB");
        const char *names[RowCount] = {"bulk put, one transaction",
                                       "get by id",
                                       "look-up by server id",
                                       "trade+property+price, date desc, limit 50",
                                       "count, one trade type (index entry count)",
                                       "count, trade type and property type",
                                       "scan and decode every record"};
        const char *units[RowCount] = {"ms", "us", "us", "us", "us", "us", "ms"};
        for (int i = 0; i < RowCount; ++i) {
            const Spread x = spread(a.rows[i]);
            const Spread y = spread(b.rows[i]);
            const Spread z = spread(c.rows[i]);
            std::printf("%-44s %8.3f %-2s [%7.3f-%7.3f] %8.3f %-2s [%7.3f-%7.3f] %8.3f %-2s [%7.3f-%7.3f] %8.2fx %8.2fx\n",
                        names[i], x.median, units[i], x.low, x.high, y.median, units[i], y.low, y.high, z.median,
                        units[i], z.low, z.high, x.median > 0 ? y.median / x.median : 0.0,
                        z.median > 0 ? x.median / z.median : 0.0);
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "storebench: %s\n", e.what());
        return 1;
    }
    if (madeDirectory)
        ::rmdir(directory.c_str());
    return 0;
}
