// The socket.io value tree: what an event carries, shared by reference.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sio {

class message
{
public:
    enum class flag { null, integer, floating, string, binary, array, object, boolean };

    using ptr = std::shared_ptr<message>;
    using list = std::vector<ptr>;
    using map = std::map<std::string, ptr>;
    using bytes = std::shared_ptr<const std::string>;

    static ptr make_null();
    static ptr make_integer(std::int64_t value);
    static ptr make_double(double value);
    static ptr make_string(std::string value);
    static ptr make_binary(bytes value);
    static ptr make_binary(std::string value);
    static ptr make_array(list values = {});
    static ptr make_object(map values = {});
    static ptr make_boolean(bool value);

    flag kind() const { return flag_; }
    bool is(flag f) const { return flag_ == f; }

    // Each getter answers the type's empty value when the message is of another type.
    std::int64_t get_int() const;
    double get_double() const; // integers too
    bool get_bool() const;
    const std::string &get_string() const;
    const bytes &get_binary() const;
    const list &get_vector() const { return array_; }
    list &get_vector() { return array_; }
    const map &get_map() const { return object_; }
    map &get_map() { return object_; }

    // The member `key` of an object, or null when absent.
    ptr at(const std::string &key) const;

    explicit message(flag f) : flag_(f) {}

private:
    flag flag_;
    std::int64_t int_ = 0;
    double double_ = 0;
    bool bool_ = false;
    std::string string_;
    bytes binary_;
    list array_;
    map object_;
};

} // namespace sio
