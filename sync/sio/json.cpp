#include "sio/json.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace sio {
namespace json {

namespace {

const int kMaxDepth = 512;

void appendUtf8(std::string &out, unsigned cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at p, or 0 when it is not one.
std::size_t utf8Length(const unsigned char *p, const unsigned char *end)
{
    const unsigned char c = *p;
    std::size_t n;
    unsigned cp;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - p) < n)
        return 0;
    for (std::size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    return n;
}

// WebSocket text frames must be valid UTF-8, so broken sequences leave as U+FFFD.
void writeString(const std::string &s, std::string &out)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    const unsigned char *p = reinterpret_cast<const unsigned char *>(s.data());
    const unsigned char *end = p + s.size();
    const unsigned char *run = p;
    while (p < end) {
        const unsigned char c = *p;
        if (c >= 0x20 && c != '"' && c != '\\' && c < 0x80) {
            ++p;
            continue;
        }
        if (c >= 0x80) {
            const std::size_t n = utf8Length(p, end);
            if (n) {
                p += n;
                continue;
            }
        }
        out.append(reinterpret_cast<const char *>(run), p - run);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 0xF];
            } else {
                out += "\xEF\xBF\xBD";
            }
        }
        ++p;
        run = p;
    }
    out.append(reinterpret_cast<const char *>(run), p - run);
    out += '"';
}

void writeDouble(double d, std::string &out)
{
    if (!std::isfinite(d)) {
        out += "null";
        return;
    }
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d);
    out.append(buf, res.ptr);
}

class Parser
{
public:
    Parser(const char *data, std::size_t size) : p_(data), end_(data + size) {}

    message::ptr run(std::string *error)
    {
        skipSpace();
        message::ptr v = value(0);
        if (v) {
            skipSpace();
            if (p_ != end_)
                v = fail("unexpected text after the JSON value");
        }
        if (!v && error)
            *error = error_;
        return v;
    }

private:
    message::ptr fail(const char *why)
    {
        if (error_.empty())
            error_ = why;
        return nullptr;
    }

    void skipSpace()
    {
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t'))
            ++p_;
    }

    bool literal(const char *word)
    {
        const std::size_t n = std::strlen(word);
        if (static_cast<std::size_t>(end_ - p_) < n || std::memcmp(p_, word, n) != 0)
            return false;
        p_ += n;
        return true;
    }

    message::ptr value(int depth)
    {
        if (depth > kMaxDepth)
            return fail("JSON nests too deep");
        if (p_ >= end_)
            return fail("unexpected end of JSON");
        switch (*p_) {
        case '{': return object(depth);
        case '[': return array(depth);
        case '"': {
            std::string s;
            if (!string(s))
                return nullptr;
            return message::make_string(std::move(s));
        }
        case 't':
            if (literal("true"))
                return message::make_boolean(true);
            break;
        case 'f':
            if (literal("false"))
                return message::make_boolean(false);
            break;
        case 'n':
            if (literal("null"))
                return message::make_null();
            break;
        default:
            if (*p_ == '-' || (*p_ >= '0' && *p_ <= '9'))
                return number();
        }
        return fail("invalid JSON value");
    }

    message::ptr object(int depth)
    {
        ++p_;
        auto obj = message::make_object();
        skipSpace();
        if (p_ < end_ && *p_ == '}') {
            ++p_;
            return obj;
        }
        for (;;) {
            skipSpace();
            if (p_ >= end_ || *p_ != '"')
                return fail("expected a key in a JSON object");
            std::string key;
            if (!string(key))
                return nullptr;
            skipSpace();
            if (p_ >= end_ || *p_ != ':')
                return fail("expected ':' in a JSON object");
            ++p_;
            skipSpace();
            message::ptr v = value(depth + 1);
            if (!v)
                return nullptr;
            obj->get_map()[std::move(key)] = std::move(v);
            skipSpace();
            if (p_ < end_ && *p_ == ',') {
                ++p_;
                continue;
            }
            if (p_ < end_ && *p_ == '}') {
                ++p_;
                return obj;
            }
            return fail("expected ',' or '}' in a JSON object");
        }
    }

    message::ptr array(int depth)
    {
        ++p_;
        auto arr = message::make_array();
        skipSpace();
        if (p_ < end_ && *p_ == ']') {
            ++p_;
            return arr;
        }
        for (;;) {
            skipSpace();
            message::ptr v = value(depth + 1);
            if (!v)
                return nullptr;
            arr->get_vector().push_back(std::move(v));
            skipSpace();
            if (p_ < end_ && *p_ == ',') {
                ++p_;
                continue;
            }
            if (p_ < end_ && *p_ == ']') {
                ++p_;
                return arr;
            }
            return fail("expected ',' or ']' in a JSON array");
        }
    }

    bool hex4(unsigned &out)
    {
        if (end_ - p_ < 4)
            return false;
        out = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = *p_++;
            out <<= 4;
            if (c >= '0' && c <= '9')
                out |= c - '0';
            else if (c >= 'a' && c <= 'f')
                out |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                out |= c - 'A' + 10;
            else
                return false;
        }
        return true;
    }

    bool string(std::string &out)
    {
        ++p_;
        for (;;) {
            const char *run = p_;
            while (p_ < end_ && *p_ != '"' && *p_ != '\\' && static_cast<unsigned char>(*p_) >= 0x20)
                ++p_;
            out.append(run, p_ - run);
            if (p_ >= end_) {
                fail("unterminated JSON string");
                return false;
            }
            const char c = *p_++;
            if (c == '"')
                return true;
            if (c != '\\') {
                fail("control character in a JSON string");
                return false;
            }
            if (p_ >= end_) {
                fail("unterminated JSON string");
                return false;
            }
            switch (*p_++) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned cp;
                if (!hex4(cp)) {
                    fail("invalid \\u escape in a JSON string");
                    return false;
                }
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    unsigned low;
                    const char *save = p_;
                    if (end_ - p_ >= 6 && p_[0] == '\\' && p_[1] == 'u' && (p_ += 2, hex4(low))
                        && low >= 0xDC00 && low <= 0xDFFF) {
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    } else {
                        p_ = save;
                        cp = 0xFFFD;
                    }
                } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                    cp = 0xFFFD;
                }
                appendUtf8(out, cp);
                break;
            }
            default:
                fail("invalid escape in a JSON string");
                return false;
            }
        }
    }

    message::ptr number()
    {
        const char *start = p_;
        bool integral = true;
        if (*p_ == '-')
            ++p_;
        if (p_ >= end_ || !(*p_ >= '0' && *p_ <= '9'))
            return fail("invalid JSON number");
        if (*p_ == '0') {
            ++p_;
        } else {
            while (p_ < end_ && *p_ >= '0' && *p_ <= '9')
                ++p_;
        }
        if (p_ < end_ && *p_ == '.') {
            integral = false;
            ++p_;
            if (p_ >= end_ || !(*p_ >= '0' && *p_ <= '9'))
                return fail("invalid JSON number");
            while (p_ < end_ && *p_ >= '0' && *p_ <= '9')
                ++p_;
        }
        if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
            integral = false;
            ++p_;
            if (p_ < end_ && (*p_ == '+' || *p_ == '-'))
                ++p_;
            if (p_ >= end_ || !(*p_ >= '0' && *p_ <= '9'))
                return fail("invalid JSON number");
            while (p_ < end_ && *p_ >= '0' && *p_ <= '9')
                ++p_;
        }
        if (integral) {
            std::int64_t i;
            auto res = std::from_chars(start, p_, i);
            if (res.ec == std::errc() && res.ptr == p_)
                return message::make_integer(i);
        }
        double d;
        auto res = std::from_chars(start, p_, d);
        if (res.ptr != p_)
            return fail("invalid JSON number");
        if (res.ec == std::errc::result_out_of_range)
            d = std::strtod(std::string(start, p_).c_str(), nullptr); // infinity or zero, as JavaScript reads it
        return message::make_double(d);
    }

    const char *p_;
    const char *end_;
    std::string error_;
};

} // namespace

void write(const message &value, std::string &out, std::vector<message::bytes> *attachments)
{
    switch (value.kind()) {
    case message::flag::null:
        out += "null";
        break;
    case message::flag::integer:
        out += std::to_string(value.get_int());
        break;
    case message::flag::floating:
        writeDouble(value.get_double(), out);
        break;
    case message::flag::string:
        writeString(value.get_string(), out);
        break;
    case message::flag::binary:
        if (attachments) {
            out += "{\"_placeholder\":true,\"num\":";
            out += std::to_string(attachments->size());
            out += '}';
            attachments->push_back(value.get_binary());
        } else {
            out += "null";
        }
        break;
    case message::flag::array: {
        out += '[';
        bool first = true;
        for (const auto &item : value.get_vector()) {
            if (!first)
                out += ',';
            first = false;
            if (item)
                write(*item, out, attachments);
            else
                out += "null";
        }
        out += ']';
        break;
    }
    case message::flag::object: {
        out += '{';
        bool first = true;
        for (const auto &entry : value.get_map()) {
            if (!first)
                out += ',';
            first = false;
            writeString(entry.first, out);
            out += ':';
            if (entry.second)
                write(*entry.second, out, attachments);
            else
                out += "null";
        }
        out += '}';
        break;
    }
    case message::flag::boolean:
        out += value.get_bool() ? "true" : "false";
        break;
    }
}

message::ptr parse(const char *data, std::size_t size, std::string *error)
{
    return Parser(data, size).run(error);
}

message::ptr parse(const std::string &text, std::string *error)
{
    return parse(text.data(), text.size(), error);
}

} // namespace json
} // namespace sio
