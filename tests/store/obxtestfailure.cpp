// The object store's failures and durability: every failure is a DbException with its code,
// damaged rows are reported as such, and a killed writer leaves the last committed transaction.

#include "store/fulldisk.h"
#include "store/obxtestmodel.h"
#include "store/obx/indexkey.h"
#include "store/obx/row.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <atomic>
#include <fstream>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace obxtest;

namespace {

// The code of the DbException the call throws (its text into `what`), or OBX_SUCCESS.
int codeOf(const std::function<void()> &fn, std::string *what = nullptr)
{
    try {
        fn();
    } catch (const obx::DbException &e) {
        if (what)
            *what = e.what();
        return e.code();
    }
    return OBX_SUCCESS;
}

// Ends the table begun at `start` and answers the row's bytes.
std::string finish(flatbuffers::FlatBufferBuilder &fbb, flatbuffers::uoffset_t start)
{
    fbb.Finish(flatbuffers::Offset<flatbuffers::Table>(fbb.EndTable(start)));
    return std::string(reinterpret_cast<const char *>(fbb.GetBufferPointer()), fbb.GetSize());
}

} // namespace

TEST(ObxFailure, DamagedRowsAreReportedAsCorrupt)
{
    TempDir dir;
    {
        auto store = openStore(dir.path());
        for (const char *tag : {"a", "b", "c", "d"}) {
            Item item;
            item.tag = tag;
            item.owner = 1;
            store->box<Item>().put(item);
        }
        Owner owner;
        store->box<Owner>().put(owner);
    }
    // Row 2: bytes that are no table at all. Row 3: a table whose text runs past its end.
    // Owner 1: a root offset pointing outside the row.
    rawPut(dir.path(), "o1", bigEndian(2), "\x01\x02\x03");
    flatbuffers::FlatBufferBuilder fbb;
    const auto text = fbb.CreateString("a long enough text to be cut");
    const auto start = fbb.StartTable();
    fbb.AddElement<uint64_t>(4, 3, 0);
    fbb.AddOffset(8, text);
    const std::string cut = finish(fbb, start);
    rawPut(dir.path(), "o1", bigEndian(3), cut.substr(0, cut.size() - 12));
    rawPut(dir.path(), "o2", bigEndian(1), std::string("\xff\xff\x00\x00\x00\x00\x00\x00", 8));

    auto store = openStore(dir.path());
    auto items = store->box<Item>();
    std::string what;
    EXPECT_EQ(codeOf([&] { items.get(2); }, &what), OBX_ERROR_FILE_CORRUPT);
    EXPECT_EQ(what, "Stored object Item 2 is corrupt");
    EXPECT_EQ(codeOf([&] { items.get(3); }), OBX_ERROR_FILE_CORRUPT);
    EXPECT_EQ(codeOf([&] { items.getAll(); }), OBX_ERROR_FILE_CORRUPT);
    EXPECT_EQ(codeOf([&] { items.query(Item_::kind == 0).build().find(); }), OBX_ERROR_FILE_CORRUPT);
    EXPECT_EQ(codeOf([&] { items.query(Item_::tag == "b").build().findIds(); }), OBX_ERROR_FILE_CORRUPT);
    EXPECT_EQ(codeOf([&] {
                  auto qb = items.query(Item_::tag == "a");
                  qb.link(Item_::owner);
                  qb.build().findIds();
              }),
              OBX_ERROR_FILE_CORRUPT);
    // Rows that are whole still read, and counting needs no row.
    EXPECT_EQ(items.get(4)->tag, "d");
    EXPECT_EQ(items.count(), 4u);
    EXPECT_EQ(items.query(Item_::tag == "d").build().findIds(), std::vector<obx_id>{4});
}

// Counts whose conditions the indexes answer exactly read no row, so a damaged row does not stop
// them; a text's index key is a hash, so rows under it are still compared with the text.
TEST(ObxFailure, IndexAnsweredCountsReadNoRowAndTextKeysAreCompared)
{
    TempDir dir;
    std::vector<Item> rows(4);
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].tag = std::string(1, char('a' + i));
        rows[i].kind = 7;
        rows[i].amount = 5;
    }
    openStore(dir.path())->box<Item>().put(rows);
    rawPut(dir.path(), "o1", bigEndian(2), "\x01\x02\x03");
    // Row 4 ("d") planted under the key of "a", as a text that hashes alike would be.
    rawPut(dir.path(), "i2", bigEndian(obx::internal::hashText("a")), bigEndian(4));

    auto store = openStore(dir.path());
    auto items = store->box<Item>();
    EXPECT_EQ(items.query(Item_::kind == 7 && Item_::amount == 5).build().count(), 4u);
    EXPECT_EQ(items.query(Item_::kind == 7 && Item_::amount == 5).build().findIds(), (std::vector<obx_id>{1, 2, 3, 4}));
    EXPECT_EQ(items.query(Item_::kind == 7 && Item_::amount == 6).build().count(), 0u);
    EXPECT_EQ(items.query(Item_::tag == "a").build().count(), 1u);
    EXPECT_EQ(items.query(Item_::tag == "a" && Item_::kind == 7).build().findIds(), std::vector<obx_id>{1});
    // A condition no index answers still reads the rows, and the damaged one is reported.
    EXPECT_EQ(codeOf([&] { items.query(Item_::kind == 7 && Item_::flag == false).build().count(); }),
              OBX_ERROR_FILE_CORRUPT);
}

// Rows damaged at random are refused, or read without a byte past their end (each lies in a buffer
// of its own size, so that a sanitizer sees any read beyond it).
TEST(ObxFailure, DamagedRowsAreRefusedOrReadWithinTheirBytes)
{
    using namespace obx::internal;
    EntityInfo entity;
    const OBXPropertyType types[] = {OBXPropertyType_Long, OBXPropertyType_String, OBXPropertyType_Bool,
                                     OBXPropertyType_Short, OBXPropertyType_Int, OBXPropertyType_Double,
                                     OBXPropertyType_StringVector, OBXPropertyType_Relation, OBXPropertyType_String};
    for (size_t i = 0; i < sizeof types / sizeof types[0]; ++i) {
        PropertyInfo p;
        p.id = obx_schema_id(i + 1);
        p.type = types[i];
        entity.properties.push_back(p);
    }
    std::mt19937 random(29);
    int refused = 0;
    for (int round = 0; round < 20000; ++round) {
        flatbuffers::FlatBufferBuilder fbb;
        const auto name = fbb.CreateString(std::string(random() % 20, 'n'));
        const auto labels = fbb.CreateVectorOfStrings({"a", std::string(random() % 9, 'b')});
        const auto note = fbb.CreateString("note");
        const auto start = fbb.StartTable();
        fbb.AddElement<uint64_t>(4, round, 0);
        if (random() % 2)
            fbb.AddOffset(6, name);
        fbb.AddElement<uint8_t>(8, 1, 0);
        fbb.AddElement<int16_t>(10, 7, 0);
        fbb.AddElement<int32_t>(12, 9, 0);
        fbb.AddElement<double>(14, 1.5, 0);
        fbb.AddOffset(16, labels);
        fbb.AddElement<uint64_t>(18, 3, 0);
        fbb.AddOffset(20, note);
        std::string row = finish(fbb, start);
        for (int hits = 1 + int(random() % 3); hits > 0; --hits) {
            // A byte anywhere, a small number where offsets and lengths lie, cut short, longer.
            switch (random() % 4) {
            case 0: row[random() % row.size()] = char(random()); break;
            case 1: row[(random() % (row.size() / 4 + 1)) * 4 % row.size()] = char(random() % 64); break;
            case 2: row.resize(random() % row.size()); break;
            default: row.append(random() % 9, char(random()));
            }
            if (row.empty())
                row.push_back('x');
        }
        const std::vector<uint8_t> bytes(row.begin(), row.end());
        const bool accepted = Row::verify(entity, bytes.data(), bytes.size());
        refused += accepted ? 0 : 1;
        if (!accepted)
            continue;
        // Every text of an accepted row, with its closing zero, lies within it; every scalar is read.
        const char *begin = reinterpret_cast<const char *>(bytes.data()), *end = begin + bytes.size();
        const auto within = [&](const char *text, size_t size) { return !text || (text >= begin && text + size < end && !text[size]); };
        const Row read(entity, bytes.data(), bytes.size());
        volatile double scalars = 0;
        for (const PropertyInfo &p : entity.properties) {
            if (p.type == OBXPropertyType_String) {
                ASSERT_TRUE(within(read.text(p).data(), read.text(p).size())) << "round " << round;
            } else if (p.type != OBXPropertyType_StringVector) {
                scalars = scalars + read.floating(p);
            } else if (const auto *texts = read.texts(p)) {
                for (const flatbuffers::String *text : *texts)
                    ASSERT_TRUE(within(text->c_str(), text->size())) << "round " << round;
            }
        }
    }
    EXPECT_GT(refused, 5000);
    EXPECT_LT(refused, 19000);
}

TEST(ObxFailure, EveryFailureIsADbException)
{
    TempDir dir;
    EXPECT_EQ(codeOf([&] { obx::Store store(nullptr); }), OBX_ERROR_ILLEGAL_ARGUMENT);
    EXPECT_EQ(codeOf([&] { obx::Store store(obx_opt()); }), OBX_ERROR_ILLEGAL_ARGUMENT); // no model
    std::ofstream(dir.sub("file")) << "in the way";
    std::string why;
    EXPECT_EQ(codeOf([&] { openStore(dir.sub("file/store")); }, &why), OBX_ERROR_STORAGE_GENERAL);
    EXPECT_NE(why.find(strerror(ENOTDIR)), std::string::npos) << why; // the system's own error
    EXPECT_EQ(obx_last_error_code(), OBX_ERROR_STORAGE_GENERAL);

    auto store = openStore(dir.sub("store"));
    EXPECT_EQ(codeOf([&] { obx::internal::RawBox(*store, 77); }), OBX_ERROR_ILLEGAL_ARGUMENT);
    obx::internal::RawBox raw(*store, kItem);
    flatbuffers::FlatBufferBuilder fbb;
    const auto start = fbb.StartTable();
    fbb.AddElement<uint64_t>(4, 1, 0);
    const std::string good = finish(fbb, start);
    EXPECT_EQ(codeOf([&] { raw.put(0, good.data(), good.size(), OBXPutMode_PUT); }), OBX_ERROR_ILLEGAL_ARGUMENT);
    EXPECT_EQ(codeOf([&] { raw.put(2, good.data(), good.size(), OBXPutMode_PUT); }), OBX_ERROR_ILLEGAL_ARGUMENT);
    EXPECT_EQ(codeOf([&] { raw.put(1, "junk", 4, OBXPutMode_PUT); }), OBX_ERROR_ILLEGAL_ARGUMENT);
    EXPECT_EQ(codeOf([&] {
                  const void *data;
                  size_t size;
                  raw.getRaw(1, &data, &size); // outside any transaction
              }),
              OBX_ERROR_ILLEGAL_STATE);
    EXPECT_EQ(store->box<Item>().count(), 0u);

    // A C-style call's failure becomes the exception through the thread's last error.
    OBX_store_options *opt = obx_opt();
    EXPECT_EQ(obx_opt_directory(opt, ""), OBX_ERROR_ILLEGAL_ARGUMENT);
    obx_opt_free(opt);
    std::string what;
    EXPECT_EQ(codeOf([] { obx::throwLastError("Could not set the directory"); }, &what), OBX_ERROR_ILLEGAL_ARGUMENT);
    EXPECT_EQ(what, "Could not set the directory: Store directory must not be empty");
}

// A child process writes numbered transactions until it is killed at a random moment. Each
// transaction sets all ten counters to its number and adds one log row with it. After each kill
// the store must hold one whole prefix of transactions: every counter at K, log rows 1..K, and K
// no lower than the last number the child reported as committed.
TEST(ObxFailure, AKilledWriterLeavesTheLastCommittedTransaction)
{
    TempDir dir;
    {
        auto store = openStore(dir.path());
        std::vector<Item> counters(10);
        store->box<Item>().put(counters);
    }
    std::mt19937 random(5);
    uint64_t committed = 0;
    for (int round = 0; round < 20; ++round) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeFds[0]);
            try {
                auto store = openStore(dir.path());
                auto items = store->box<Item>();
                auto log = store->box<Owner>();
                for (uint64_t n = committed + 1;; ++n) {
                    obx::Transaction tx = store->txWrite();
                    for (obx_id id = 1; id <= 10; ++id) {
                        auto counter = items.get(id);
                        counter->kind = int(n);
                        items.put(*counter);
                    }
                    Owner entry;
                    entry.level = int(n);
                    entry.name = std::string(size_t(n % 7) * 300, 'x');
                    log.put(entry);
                    tx.success();
                    if (write(pipeFds[1], &n, sizeof n) != sizeof n)
                        _exit(3);
                }
            } catch (...) {
                _exit(2);
            }
        }
        close(pipeFds[1]);
        const uint64_t wanted = committed + 3 + random() % 20;
        uint64_t reported = committed;
        while (reported < wanted) {
            uint64_t n;
            if (read(pipeFds[0], &n, sizeof n) != sizeof n)
                break;
            reported = n;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        close(pipeFds[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself with " << WEXITSTATUS(status);
        ASSERT_GE(reported, wanted);

        auto store = openStore(dir.path());
        auto counters = store->box<Item>().getAll();
        ASSERT_EQ(counters.size(), 10u);
        const uint64_t k = uint64_t(counters[0]->kind);
        for (const auto &c : counters)
            ASSERT_EQ(uint64_t(c->kind), k) << "a transaction was kept in part";
        EXPECT_GE(k, reported);
        auto entries = store->box<Owner>().query().order(Owner_::level).build().find();
        ASSERT_EQ(entries.size(), k);
        for (uint64_t i = 0; i < k; ++i)
            ASSERT_EQ(uint64_t(entries[i]->level), i + 1);
        // The store takes writes again after the kill.
        Place p;
        EXPECT_NO_THROW(store->box<Place>().put(p));
        committed = k;
    }
}

static off_t fileSize(const std::string &path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

TEST(ObxFailure, AFullDiskIsAnErrorAndAStoredModelStillOpens)
{
    IN_OWN_TMPFS(dir, "2m");
    {
        auto store = openStore(dir + "/kept");
        std::vector<Item> items(20);
        for (size_t i = 0; i < items.size(); ++i)
            items[i].name = "item " + std::to_string(i);
        store->box<Item>().put(items);
    }
    fillDisk(dir + "/fill");

    // A new store: its lock file would be a sparse mapping, a SIGBUS on first touch.
    std::string what;
    EXPECT_EQ(codeOf([&] { openStore(dir + "/fresh"); }, &what), OBX_ERROR_DB_FULL);
    EXPECT_NE(what.find("disk is full"), std::string::npos) << what;

    // The stored one still reads; a write fails cleanly and loses nothing.
    {
        auto store = openStore(dir + "/kept");
        auto box = store->box<Item>();
        EXPECT_EQ(box.count(), 20u);
        EXPECT_EQ(box.query(Item_::name == "item 7").build().findFirst()->id, 8u);
        Item big;
        big.note = std::string(1 << 20, 'x');
        EXPECT_EQ(codeOf([&] { box.put(big); }, &what), OBX_ERROR_DB_FULL) << what;
        EXPECT_EQ(box.count(), 20u);
    }

    // With room again, the store that failed to open opens whole.
    ASSERT_EQ(unlink((dir + "/fill").c_str()), 0);
    auto store = openStore(dir + "/fresh");
    Item item;
    store->box<Item>().put(item);
    EXPECT_EQ(store->box<Item>().count(), 1u);
}

// A disk without room for the store's folder is a full disk, as a commit that finds none is.
TEST(ObxFailure, AFolderTheDiskHasNoRoomForIsDiskFull)
{
    IN_OWN_TMPFS(dir, "1m,nr_inodes=8");
    for (int i = 0; mkdir((dir + "/d" + std::to_string(i)).c_str(), 0755) == 0; ++i) {
    }
    std::string what;
    EXPECT_EQ(codeOf([&] { openStore(dir + "/store"); }, &what), OBX_ERROR_DB_FULL) << what;
}

// A creation that the disk stops at any point leaves nothing that blocks the next try, and a write
// that the disk cuts short says the disk is full.
TEST(ObxFailure, ACreationOrCommitCutShortByAFullDiskIsDiskFull)
{
    IN_OWN_TMPFS(dir, "1m");
    // 64 KiB go to the lock file; then the two header pages, then the first commit.
    for (off_t leave : {off_t(66 * 1024), off_t(68 * 1024), off_t(72 * 1024), off_t(80 * 1024)}) {
        SCOPED_TRACE(leave);
        const std::string store = dir + "/s" + std::to_string(leave);
        fillDisk(dir + "/fill", leave);
        std::string what;
        const int code = codeOf([&] { openStore(store); }, &what);
        EXPECT_TRUE(code == OBX_SUCCESS || code == OBX_ERROR_DB_FULL) << what;
        const off_t data = fileSize(store + "/data.mdb");
        EXPECT_TRUE(data == -1 || data >= 2 * 4096) << "a data file of " << data << " bytes is left";
        ASSERT_EQ(unlink((dir + "/fill").c_str()), 0);
        EXPECT_NO_THROW(openStore(store)->box<Item>().put(Item()));
    }

    auto store = openStore(dir + "/kept");
    auto box = store->box<Item>();
    box.put(Item());
    fillDisk(dir + "/fill", 16 * 1024);
    Item big;
    big.note = std::string(256 * 1024, 'x');
    std::string what;
    EXPECT_EQ(codeOf([&] { box.put(big); }, &what), OBX_ERROR_DB_FULL) << what;
    EXPECT_NE(what.find("disk is full"), std::string::npos) << what;
    EXPECT_EQ(box.count(), 1u);
}

// A store from before the lock file was reserved has a 32 KiB lock file of which LMDB wrote only
// the first page. On a full disk it opens with that file, and its readers stay on that page.
TEST(ObxFailure, AnOlderSparseLockFileOpensOnAFullDisk)
{
    IN_OWN_TMPFS(dir, "1m");
    for (const char *name : {"old", "unwritten"}) {
        const std::string store = dir + "/" + name;
        std::vector<Item> items(30);
        openStore(store)->box<Item>().put(items);
        const std::string lock = store + "/lock.mdb";
        ASSERT_EQ(unlink(lock.c_str()), 0);
        const int fd = ::open(lock.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        if (std::string(name) == "old") {
            ASSERT_EQ(write(fd, std::string(4096, '\0').data(), 4096), 4096);
        }
        ASSERT_EQ(ftruncate(fd, 32 * 1024), 0);
        ::close(fd);
    }
    fillDisk(dir + "/fill");

    // A lock file with no page on disk cannot take even LMDB's header: refused, not a crash.
    EXPECT_EQ(codeOf([&] { openStore(dir + "/unwritten"); }), OBX_ERROR_DB_FULL);

    auto store = openStore(dir + "/old");
    EXPECT_EQ(fileSize(store->directory() + "/lock.mdb"), 32 * 1024);
    // More readers at once than the page has slots for: the others wait for a slot.
    std::atomic<int> counted{0}, inside{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 100; ++i)
        readers.emplace_back([&] {
            obx::Transaction tx = store->txRead();
            ++inside;
            for (int wait = 0; wait < 50 && inside < 100; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (store->box<Item>().count() == 30)
                ++counted;
            --inside;
        });
    for (std::thread &t : readers)
        t.join();
    EXPECT_EQ(counted, 100);
}
