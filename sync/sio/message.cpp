#include "sio/message.h"

namespace sio {

message::ptr message::make_null()
{
    return std::make_shared<message>(flag::null);
}

message::ptr message::make_integer(std::int64_t value)
{
    auto m = std::make_shared<message>(flag::integer);
    m->int_ = value;
    return m;
}

message::ptr message::make_double(double value)
{
    auto m = std::make_shared<message>(flag::floating);
    m->double_ = value;
    return m;
}

message::ptr message::make_string(std::string value)
{
    auto m = std::make_shared<message>(flag::string);
    m->string_ = std::move(value);
    return m;
}

message::ptr message::make_binary(bytes value)
{
    auto m = std::make_shared<message>(flag::binary);
    m->binary_ = value ? std::move(value) : std::make_shared<const std::string>();
    return m;
}

message::ptr message::make_binary(std::string value)
{
    return make_binary(std::make_shared<const std::string>(std::move(value)));
}

message::ptr message::make_array(list values)
{
    auto m = std::make_shared<message>(flag::array);
    m->array_ = std::move(values);
    return m;
}

message::ptr message::make_object(map values)
{
    auto m = std::make_shared<message>(flag::object);
    m->object_ = std::move(values);
    return m;
}

message::ptr message::make_boolean(bool value)
{
    auto m = std::make_shared<message>(flag::boolean);
    m->bool_ = value;
    return m;
}

std::int64_t message::get_int() const
{
    return flag_ == flag::integer ? int_ : 0;
}

double message::get_double() const
{
    if (flag_ == flag::integer)
        return static_cast<double>(int_);
    return flag_ == flag::floating ? double_ : 0.0;
}

bool message::get_bool() const
{
    return flag_ == flag::boolean && bool_;
}

const std::string &message::get_string() const
{
    static const std::string empty;
    return flag_ == flag::string ? string_ : empty;
}

const message::bytes &message::get_binary() const
{
    static const bytes empty = std::make_shared<const std::string>();
    return flag_ == flag::binary ? binary_ : empty;
}

message::ptr message::at(const std::string &key) const
{
    auto it = object_.find(key);
    return it == object_.end() ? nullptr : it->second;
}

} // namespace sio
