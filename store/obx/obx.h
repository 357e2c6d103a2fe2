#pragma once

// The object store: an ObjectBox-style library over LMDB in which every row is the
// FlatBuffers table of one object. This header is the whole public interface; LMDB and the
// layout of its databases stay inside the implementation files.
//
// Entities are plain structs with a binding struct reached as T::_OBX_MetaInfo, offering:
//   static constexpr obx_schema_id entityId();
//   static obx_id getObjectId(const T&);
//   static void setObjectId(T&, obx_id);
//   static void toFlatBuffer(flatbuffers::FlatBufferBuilder&, const T&);
//   static void fromFlatBuffer(const void* data, size_t size, T& out);
//   static std::unique_ptr<T> newFromFlatBuffer(const void* data, size_t size);
// and static property descriptors (Property, RelationProperty) used to build queries.

#include <flatbuffers/flatbuffers.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

typedef uint64_t obx_id;
typedef uint32_t obx_schema_id;
typedef uint64_t obx_uid;
typedef int obx_err;

#define OBX_SUCCESS 0
#define OBX_NOT_FOUND 404
#define OBX_ERROR_ILLEGAL_STATE 10001
#define OBX_ERROR_ILLEGAL_ARGUMENT 10002
#define OBX_ERROR_DB_FULL 10101
#define OBX_ERROR_MAX_READERS_EXCEEDED 10102
#define OBX_ERROR_STORAGE_GENERAL 10199
#define OBX_ERROR_UNIQUE_VIOLATED 10201
#define OBX_ERROR_ID_ALREADY_EXISTS 10210
#define OBX_ERROR_ID_NOT_FOUND 10211
#define OBX_ERROR_SCHEMA 10301
#define OBX_ERROR_FILE_CORRUPT 10302

enum OBXPropertyType {
    OBXPropertyType_Bool = 1,
    OBXPropertyType_Short = 3,
    OBXPropertyType_Int = 5,
    OBXPropertyType_Long = 6,
    OBXPropertyType_Float = 7,
    OBXPropertyType_Double = 8,
    OBXPropertyType_String = 9,
    OBXPropertyType_Relation = 11,
    OBXPropertyType_StringVector = 30,
};

enum OBXPropertyFlags {
    OBXPropertyFlags_ID = 1,
    OBXPropertyFlags_INDEXED = 8,
    OBXPropertyFlags_UNIQUE = 32,
    OBXPropertyFlags_ID_SELF_ASSIGNABLE = 128,
    OBXPropertyFlags_INDEX_PARTIAL_SKIP_ZERO = 512,
    OBXPropertyFlags_INDEX_HASH = 2048,
    OBXPropertyFlags_UNSIGNED = 8192,
};

enum OBXOrderFlags {
    OBXOrderFlags_DESCENDING = 1,
    OBXOrderFlags_CASE_SENSITIVE = 2,
    OBXOrderFlags_UNSIGNED = 4,
};

enum OBXPutMode {
    OBXPutMode_PUT = 1,    // insert when the id is new, replace otherwise
    OBXPutMode_INSERT = 2, // fails when the id exists
    OBXPutMode_UPDATE = 3, // fails when the id does not exist
};

enum OBXDebugFlags {
    OBXDebugFlags_LOG_TRANSACTIONS_READ = 1,
    OBXDebugFlags_LOG_TRANSACTIONS_WRITE = 2,
    OBXDebugFlags_LOG_QUERIES = 4,
    OBXDebugFlags_LOG_QUERY_PARAMETERS = 8,
};

// ---- Model and options (C-style, like the library's model calls) --------------------------
// Every call returns OBX_SUCCESS or an error code; the model keeps its first error and
// obx_opt_model reports it. obx_last_error_* hold the last failure of the calling thread.

struct OBX_model;
struct OBX_store_options;

OBX_model *obx_model();
obx_err obx_model_free(OBX_model *model);
obx_err obx_model_error_code(OBX_model *model);
const char *obx_model_error_message(OBX_model *model);
obx_err obx_model_entity(OBX_model *model, const char *name, obx_schema_id entity_id, obx_uid entity_uid);
obx_err obx_model_property(OBX_model *model, const char *name, OBXPropertyType type,
                           obx_schema_id property_id, obx_uid property_uid);
obx_err obx_model_property_flags(OBX_model *model, uint32_t flags);
obx_err obx_model_property_index_id(OBX_model *model, obx_schema_id index_id, obx_uid index_uid);
obx_err obx_model_property_relation(OBX_model *model, const char *target_entity,
                                    obx_schema_id index_id, obx_uid index_uid);
obx_err obx_model_entity_last_property_id(OBX_model *model, obx_schema_id property_id, obx_uid property_uid);
obx_err obx_model_last_entity_id(OBX_model *model, obx_schema_id entity_id, obx_uid entity_uid);
obx_err obx_model_last_index_id(OBX_model *model, obx_schema_id index_id, obx_uid index_uid);

OBX_store_options *obx_opt();
obx_err obx_opt_directory(OBX_store_options *opt, const char *directory);
// Takes the model over, also when it reports the model's error.
obx_err obx_opt_model(OBX_store_options *opt, OBX_model *model);
// The LMDB map size; at least 1 GiB whatever is asked.
obx_err obx_opt_max_db_size_in_kb(OBX_store_options *opt, uint64_t size_in_kb);
obx_err obx_opt_debug_flags(OBX_store_options *opt, uint32_t flags);
obx_err obx_opt_free(OBX_store_options *opt);

// Deletes the store's files in directory; a directory without them is no error.
obx_err obx_remove_db_files(const char *directory);

obx_err obx_last_error_code();
const char *obx_last_error_message();

namespace obx {

// The one exception of the library, raised for every failure.
class DbException : public std::runtime_error
{
public:
    explicit DbException(const std::string &message, int code = 0)
        : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

// Raises DbException with the calling thread's last error code and message.
[[noreturn]] void throwLastError();
// Raises DbException with "<prefix>: <last error message>" and the last error code.
[[noreturn]] void throwLastError(const std::string &prefix);

class Store;
class Transaction;
template <class T> class Box;
template <class T> class QueryBuilder;
template <class T> class Query;

namespace internal {
class StoreImpl;
struct ConditionNode;
struct QueryNode;
class RawQuery;
} // namespace internal

enum class TxMode { READ, WRITE };

// ---- Store --------------------------------------------------------------------------------

class Store
{
public:
    // Opens (creating when missing) the store in the options' directory; takes the options
    // over. A stored model whose uids differ from the options' model is refused.
    explicit Store(OBX_store_options *options);
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    // Waits for every operation still running, then closes; later calls raise DbException.
    void close();
    bool isClosed() const;
    const std::string &directory() const;

    Transaction tx(TxMode mode);
    Transaction txRead();
    Transaction txWrite();

    // Data observers: once a write transaction has committed, each observer is called on the
    // committing thread with the ids of the entities it put or removed rows of. An observer may
    // read the store but must not write to it: a write transaction opened inside its call fails at
    // once with DbException (OBX_ERROR_ILLEGAL_STATE). observe() answers the handle unobserve()
    // takes; an observer added while observers are being called is first called for the next
    // commit, and one removed is never called again, also in the round under way. unobserve()
    // returns only once no call of that observer runs any more, but for the call it is made from.
    using Observer = std::function<void(const std::vector<obx_schema_id> &entityIds)>;
    uint64_t observe(Observer observer);
    void unobserve(uint64_t handle);

    template <class T> Box<T> box() { return Box<T>(*this); }

    internal::StoreImpl &impl() const { return *impl_; }

private:
    std::unique_ptr<internal::StoreImpl> impl_;
};

// ---- Transactions -------------------------------------------------------------------------
// Bound to the thread that opened them. A transaction opened while the same thread already
// holds one on the store joins it: its success() commits nothing and, if a joined write ends
// without success(), the outer transaction is aborted (its success() raises DbException). A
// read opened inside a write sees the write's uncommitted rows; a write inside a read fails.

class Transaction
{
public:
    Transaction(Store &store, TxMode mode);
    Transaction(Transaction &&other) noexcept;
    Transaction &operator=(Transaction &&other) = delete;
    Transaction(const Transaction &) = delete;
    ~Transaction(); // aborts when success() was not called

    void success(); // commits the outermost transaction; raises DbException on failure
    void close();   // ends without committing
    bool isActive() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// ---- Query conditions ---------------------------------------------------------------------

class QueryCondition
{
public:
    explicit QueryCondition(std::shared_ptr<internal::ConditionNode> node) : node_(std::move(node)) {}

    QueryCondition operator&&(const QueryCondition &other) const;
    QueryCondition operator||(const QueryCondition &other) const;
    // Groups of any size; an empty group matches every row.
    static QueryCondition all(const std::vector<QueryCondition> &conditions);
    static QueryCondition any(const std::vector<QueryCondition> &conditions);
    // This condition with its text tests, at every depth, taking the Arabic-Indic and Persian
    // digits (U+0660-U+0669, U+06F0-U+06F9) of the stored texts and of the values as the ASCII
    // digits: "۱۲" equals "12". Other conditions are left as they are.
    QueryCondition withDigitsFolded() const;

    const std::shared_ptr<internal::ConditionNode> &node() const { return node_; }

private:
    std::shared_ptr<internal::ConditionNode> node_;
};

namespace internal {
// Builders of condition nodes; each captures the property (entity id, property id) and value.
QueryCondition intCondition(obx_schema_id entity, obx_schema_id property, int op, int64_t a, int64_t b = 0);
QueryCondition doubleCondition(obx_schema_id entity, obx_schema_id property, int op, double a, double b = 0);
QueryCondition stringCondition(obx_schema_id entity, obx_schema_id property, int op, const std::string &value,
                               bool caseSensitive);
QueryCondition intSetCondition(obx_schema_id entity, obx_schema_id property, std::vector<int64_t> values);
enum ConditionOp {
    OpEqual, OpNotEqual, OpGreater, OpGreaterOrEqual, OpLess, OpLessOrEqual, OpBetween,
    OpContains, OpStartsWith, OpEndsWith, OpContainsElement, OpOneOf,
};
} // namespace internal

class PropertyBase
{
public:
    constexpr PropertyBase(obx_schema_id entityId, obx_schema_id propertyId)
        : entityId_(entityId), propertyId_(propertyId) {}
    constexpr obx_schema_id entityId() const { return entityId_; }
    constexpr obx_schema_id id() const { return propertyId_; }

private:
    obx_schema_id entityId_;
    obx_schema_id propertyId_;
};

template <class EntityT, OBXPropertyType Type>
class Property;

// Shared by the integer types (Bool, Short, Int, Long) and by relations (the target's id). On
// unsigned properties and relations an operand is taken as the uint64_t it was converted from.
template <class EntityT>
class IntegerProperty : public PropertyBase
{
public:
    using PropertyBase::PropertyBase;
    QueryCondition equals(int64_t v) const { return cond(internal::OpEqual, v); }
    QueryCondition notEquals(int64_t v) const { return cond(internal::OpNotEqual, v); }
    QueryCondition greaterThan(int64_t v) const { return cond(internal::OpGreater, v); }
    QueryCondition greaterOrEq(int64_t v) const { return cond(internal::OpGreaterOrEqual, v); }
    QueryCondition lessThan(int64_t v) const { return cond(internal::OpLess, v); }
    QueryCondition lessOrEq(int64_t v) const { return cond(internal::OpLessOrEqual, v); }
    QueryCondition between(int64_t a, int64_t b) const { return cond(internal::OpBetween, a, b); }
    // Rows whose value is any of values; none matches an empty list.
    QueryCondition oneOf(std::vector<int64_t> values) const
    {
        return internal::intSetCondition(entityId(), id(), std::move(values));
    }
    QueryCondition operator==(int64_t v) const { return equals(v); }
    QueryCondition operator!=(int64_t v) const { return notEquals(v); }
    QueryCondition operator>(int64_t v) const { return greaterThan(v); }
    QueryCondition operator>=(int64_t v) const { return greaterOrEq(v); }
    QueryCondition operator<(int64_t v) const { return lessThan(v); }
    QueryCondition operator<=(int64_t v) const { return lessOrEq(v); }

private:
    QueryCondition cond(int op, int64_t a, int64_t b = 0) const
    {
        return internal::intCondition(entityId(), id(), op, a, b);
    }
};

template <class EntityT> class Property<EntityT, OBXPropertyType_Bool> : public IntegerProperty<EntityT>
{ public: using IntegerProperty<EntityT>::IntegerProperty; };
template <class EntityT> class Property<EntityT, OBXPropertyType_Short> : public IntegerProperty<EntityT>
{ public: using IntegerProperty<EntityT>::IntegerProperty; };
template <class EntityT> class Property<EntityT, OBXPropertyType_Int> : public IntegerProperty<EntityT>
{ public: using IntegerProperty<EntityT>::IntegerProperty; };
template <class EntityT> class Property<EntityT, OBXPropertyType_Long> : public IntegerProperty<EntityT>
{ public: using IntegerProperty<EntityT>::IntegerProperty; };

template <class EntityT>
class FloatingProperty : public PropertyBase
{
public:
    using PropertyBase::PropertyBase;
    QueryCondition greaterThan(double v) const { return cond(internal::OpGreater, v); }
    QueryCondition greaterOrEq(double v) const { return cond(internal::OpGreaterOrEqual, v); }
    QueryCondition lessThan(double v) const { return cond(internal::OpLess, v); }
    QueryCondition lessOrEq(double v) const { return cond(internal::OpLessOrEqual, v); }
    QueryCondition between(double a, double b) const { return cond(internal::OpBetween, a, b); }
    QueryCondition operator>(double v) const { return greaterThan(v); }
    QueryCondition operator>=(double v) const { return greaterOrEq(v); }
    QueryCondition operator<(double v) const { return lessThan(v); }
    QueryCondition operator<=(double v) const { return lessOrEq(v); }

private:
    QueryCondition cond(int op, double a, double b = 0) const
    {
        return internal::doubleCondition(entityId(), id(), op, a, b);
    }
};

template <class EntityT> class Property<EntityT, OBXPropertyType_Float> : public FloatingProperty<EntityT>
{ public: using FloatingProperty<EntityT>::FloatingProperty; };
template <class EntityT> class Property<EntityT, OBXPropertyType_Double> : public FloatingProperty<EntityT>
{ public: using FloatingProperty<EntityT>::FloatingProperty; };

// Text comparisons are case-sensitive unless asked otherwise.
template <class EntityT>
class Property<EntityT, OBXPropertyType_String> : public PropertyBase
{
public:
    using PropertyBase::PropertyBase;
    QueryCondition equals(const std::string &v, bool caseSensitive = true) const { return cond(internal::OpEqual, v, caseSensitive); }
    QueryCondition notEquals(const std::string &v, bool caseSensitive = true) const { return cond(internal::OpNotEqual, v, caseSensitive); }
    QueryCondition contains(const std::string &v, bool caseSensitive = true) const { return cond(internal::OpContains, v, caseSensitive); }
    QueryCondition startsWith(const std::string &v, bool caseSensitive = true) const { return cond(internal::OpStartsWith, v, caseSensitive); }
    QueryCondition endsWith(const std::string &v, bool caseSensitive = true) const { return cond(internal::OpEndsWith, v, caseSensitive); }
    QueryCondition operator==(const std::string &v) const { return equals(v); }
    QueryCondition operator!=(const std::string &v) const { return notEquals(v); }

private:
    QueryCondition cond(int op, const std::string &v, bool cs) const
    {
        return internal::stringCondition(entityId(), id(), op, v, cs);
    }
};

// Matches rows whose list holds an element equal to the value.
template <class EntityT>
class Property<EntityT, OBXPropertyType_StringVector> : public PropertyBase
{
public:
    using PropertyBase::PropertyBase;
    QueryCondition contains(const std::string &element, bool caseSensitive = true) const
    {
        return internal::stringCondition(entityId(), id(), internal::OpContainsElement, element, caseSensitive);
    }
};

// A Relation property: conditions on the target's local id, and links to the target's rows.
template <class EntityT, class TargetT>
class RelationProperty : public IntegerProperty<EntityT>
{
public:
    using IntegerProperty<EntityT>::IntegerProperty;
};

// ---- Boxes --------------------------------------------------------------------------------

namespace internal {
// Untyped access to the rows of one entity; Box<T> is a typed face over it. Each call runs in
// the thread's transaction on the store, or in one of its own.
class RawBox
{
public:
    RawBox(Store &store, obx_schema_id entityId);
    // The id a put of an object with this id will use: a new one for 0, otherwise id itself
    // (checked against the sequence unless the entity's ids are self-assignable).
    obx_id idForPut(obx_id id);
    // Stores a finished FlatBuffers table whose id field equals id; returns id. Observers hear of
    // the put unless observed is false.
    obx_id put(obx_id id, const void *data, size_t size, OBXPutMode mode, bool observed = true);
    // Calls fn(data, size) with the stored table, or returns false when there is no row.
    template <class Fn> bool get(obx_id id, Fn &&fn);
    bool getRaw(obx_id id, const void **data, size_t *size); // valid inside the transaction only
    std::vector<obx_id> ids();
    // Calls fn(context, data, size) for every row in id order, within one read transaction.
    void visitAll(void (*fn)(void *context, const void *data, size_t size), void *context);
    bool contains(obx_id id);
    bool remove(obx_id id);
    uint64_t removeAll();
    uint64_t count(uint64_t limit);
    Store &store() const { return store_; }
    obx_schema_id entityId() const { return entityId_; }

private:
    Store &store_;
    obx_schema_id entityId_;
};

template <class Fn> bool RawBox::get(obx_id id, Fn &&fn)
{
    Transaction tx = store_.txRead();
    const void *data = nullptr;
    size_t size = 0;
    const bool found = getRaw(id, &data, &size);
    if (found)
        fn(data, size);
    tx.success();
    return found;
}

// The builder each thread serialises its objects with; reset after a buffer above 1 MiB.
flatbuffers::FlatBufferBuilder &threadBuilder();
void releaseThreadBuilderIfLarge();
// Overwrites the id field (vtable offset 4) of a finished table in place; false when the table
// has no such field, as a binding that leaves defaults out writes none for id 0.
bool writeIdField(uint8_t *buffer, size_t size, obx_id id);
} // namespace internal

template <class T>
class Box
{
    using Meta = typename T::_OBX_MetaInfo;

public:
    explicit Box(Store &store) : store_(store), raw_(store, Meta::entityId()) {}

    // Inserts when the object's id is 0 (and writes the new id into it), replaces otherwise.
    obx_id put(T &object, OBXPutMode mode = OBXPutMode_PUT)
    {
        const obx_id id = putConst(object, mode);
        Meta::setObjectId(object, id);
        return id;
    }
    obx_id put(const T &object, OBXPutMode mode = OBXPutMode_PUT) { return putConst(object, mode); }
    // A put the observers are not told of, for bookkeeping no observer follows (a last-update
    // stamp): the entity is still reported when the transaction writes its rows otherwise too.
    obx_id putUnobserved(const T &object) { return putConst(object, OBXPutMode_PUT, false); }
    // All in one write transaction; the new ids are written into the objects.
    void put(std::vector<T> &objects, OBXPutMode mode = OBXPutMode_PUT)
    {
        Transaction tx = store_.txWrite();
        for (T &object : objects)
            put(object, mode);
        tx.success();
    }

    std::unique_ptr<T> get(obx_id id)
    {
        std::unique_ptr<T> result;
        raw_.get(id, [&](const void *data, size_t size) { result = Meta::newFromFlatBuffer(data, size); });
        return result;
    }
    bool get(obx_id id, T &out)
    {
        return raw_.get(id, [&](const void *data, size_t size) {
            out = T();
            Meta::fromFlatBuffer(data, size, out);
        });
    }
    // Every row in id order.
    std::vector<std::unique_ptr<T>> getAll()
    {
        std::vector<std::unique_ptr<T>> result;
        raw_.visitAll(
            [](void *context, const void *data, size_t size) {
                static_cast<std::vector<std::unique_ptr<T>> *>(context)->push_back(Meta::newFromFlatBuffer(data, size));
            },
            &result);
        return result;
    }

    bool contains(obx_id id) { return raw_.contains(id); }
    bool remove(obx_id id) { return raw_.remove(id); }
    uint64_t removeAll() { return raw_.removeAll(); }
    uint64_t count(uint64_t limit = 0) { return raw_.count(limit); }
    bool isEmpty() { return count(1) == 0; }

    QueryBuilder<T> query() { return QueryBuilder<T>(store_); }
    QueryBuilder<T> query(const QueryCondition &condition) { return QueryBuilder<T>(store_).with(condition); }

private:
    obx_id putConst(const T &object, OBXPutMode mode, bool observed = true)
    {
        Transaction tx = store_.txWrite();
        const obx_id id = raw_.idForPut(Meta::getObjectId(object));
        flatbuffers::FlatBufferBuilder &fbb = internal::threadBuilder();
        Meta::toFlatBuffer(fbb, object);
        // A new object gets its id written into its table, not through a copy of the object.
        if (id != Meta::getObjectId(object) && !internal::writeIdField(fbb.GetBufferPointer(), fbb.GetSize(), id)) {
            T copy = object;
            Meta::setObjectId(copy, id);
            Meta::toFlatBuffer(fbb, copy);
        }
        const obx_id stored = raw_.put(id, fbb.GetBufferPointer(), fbb.GetSize(), mode, observed);
        internal::releaseThreadBuilderIfLarge();
        tx.success();
        return stored;
    }

    Store &store_;
    internal::RawBox raw_;
};

// ---- Queries ------------------------------------------------------------------------------

namespace internal {
// The untyped query: conditions at the root (AND), links to other entities, order.
class RawQuery
{
public:
    RawQuery(Store &store, std::shared_ptr<QueryNode> root);
    void setOffset(uint64_t offset);
    void setLimit(uint64_t limit);
    // Matching ids in query order (the order properties, ties in id order; id order without).
    std::vector<obx_id> findIds();
    uint64_t count();
    uint64_t remove();
    // Calls fn(data, size) for each matching row in query order, within one read transaction.
    template <class Fn> void forEach(Fn &&fn);
    void visit(void (*fn)(void *context, const void *data, size_t size), void *context);
    Store &store() const { return store_; }

private:
    Store &store_;
    std::shared_ptr<QueryNode> root_;
    uint64_t offset_ = 0;
    uint64_t limit_ = 0;
};

std::shared_ptr<QueryNode> newQueryNode(obx_schema_id entityId);
void addCondition(QueryNode &node, const QueryCondition &condition);
std::shared_ptr<QueryNode> addLink(QueryNode &node, obx_schema_id relationPropertyId, obx_schema_id targetEntityId);
void addOrder(QueryNode &node, obx_schema_id propertyId, uint32_t flags);
template <class Fn> void RawQuery::forEach(Fn &&fn)
{
    visit([](void *context, const void *data, size_t size) { (*static_cast<Fn *>(context))(data, size); }, &fn);
}
} // namespace internal

template <class T>
class QueryBuilder
{
    using Meta = typename T::_OBX_MetaInfo;

public:
    explicit QueryBuilder(Store &store)
        : store_(&store), node_(internal::newQueryNode(Meta::entityId())), root_(node_) {}

    // Adds a condition at this level; conditions added one after another combine with AND.
    QueryBuilder &with(const QueryCondition &condition)
    {
        internal::addCondition(*node_, condition);
        return *this;
    }

    // Conditions added to the returned builder apply to the row that the relation points at;
    // rows whose relation is 0 or points at no row do not match.
    template <class TargetT>
    QueryBuilder<TargetT> link(const RelationProperty<T, TargetT> &relation)
    {
        return QueryBuilder<TargetT>(*store_, root_,
                                     internal::addLink(*node_, relation.id(), TargetT::_OBX_MetaInfo::entityId()));
    }

    // Order by one property after another; flags from OBXOrderFlags. Ties fall back to id order.
    QueryBuilder &order(const PropertyBase &property, uint32_t flags = 0)
    {
        internal::addOrder(*node_, property.id(), flags);
        return *this;
    }

    // The query over the whole builder, also when called on a linked builder's parent.
    Query<T> build() { return Query<T>(*store_, root_); }

private:
    template <class> friend class QueryBuilder;
    QueryBuilder(Store &store, std::shared_ptr<internal::QueryNode> root, std::shared_ptr<internal::QueryNode> node)
        : store_(&store), node_(std::move(node)), root_(std::move(root)) {}

    Store *store_;
    std::shared_ptr<internal::QueryNode> node_;
    std::shared_ptr<internal::QueryNode> root_;
};

template <class T>
class Query
{
    using Meta = typename T::_OBX_MetaInfo;

public:
    Query(Store &store, std::shared_ptr<internal::QueryNode> root) : raw_(store, std::move(root)) {}

    // Paging of find and findIds; 0 means none.
    Query &offset(uint64_t offset) { raw_.setOffset(offset); return *this; }
    Query &limit(uint64_t limit) { raw_.setLimit(limit); return *this; }

    std::vector<std::unique_ptr<T>> find()
    {
        std::vector<std::unique_ptr<T>> result;
        raw_.forEach([&](const void *data, size_t size) { result.push_back(Meta::newFromFlatBuffer(data, size)); });
        return result;
    }
    // The first match in query order (after the offset), or nothing.
    std::unique_ptr<T> findFirst()
    {
        std::unique_ptr<T> result;
        internal::RawQuery first = raw_;
        first.setLimit(1);
        first.forEach([&](const void *data, size_t size) { result = Meta::newFromFlatBuffer(data, size); });
        return result;
    }
    std::vector<obx_id> findIds() { return raw_.findIds(); }
    uint64_t count() { return raw_.count(); }     // ignores offset and limit
    uint64_t remove() { return raw_.remove(); }   // ignores offset and limit; returns how many

private:
    internal::RawQuery raw_;
};

} // namespace obx
