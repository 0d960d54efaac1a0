#include "cli/json.h"

#include <cstdio>

#include "common/vb_text.h"

namespace velk::cli {

Json& Json::set(const std::string& key, Json value) {
    Object& o = std::get<Object>(v_);
    for (auto& [k, v] : o)
        if (k == key) {
            v = std::move(value);
            return *this;
        }
    o.emplace_back(key, std::move(value));
    return *this;
}

Json& Json::push(Json value) {
    std::get<Array>(v_).push_back(std::move(value));
    return *this;
}

std::string JsonQuote(const std::string& s) {
    const std::string text = IsValidUtf8(s) ? s : Cp1252ToUtf8(s);
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7f) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out.push_back(static_cast<char>(c));
            }
        }
    }
    return out + "\"";
}

void Json::write(std::string& out) const {
    struct Writer {
        std::string& out;
        void operator()(std::nullptr_t) const { out += "null"; }
        void operator()(bool b) const { out += b ? "true" : "false"; }
        void operator()(long long n) const { out += std::to_string(n); }
        void operator()(const std::string& s) const { out += JsonQuote(s); }
        void operator()(const Array& a) const {
            out += '[';
            for (std::size_t i = 0; i < a.size(); ++i) {
                if (i) out += ',';
                a[i].write(out);
            }
            out += ']';
        }
        void operator()(const Object& o) const {
            out += '{';
            for (std::size_t i = 0; i < o.size(); ++i) {
                if (i) out += ',';
                out += JsonQuote(o[i].first);
                out += ':';
                o[i].second.write(out);
            }
            out += '}';
        }
    };
    std::visit(Writer{out}, v_);
}

std::string Json::dump() const {
    std::string out;
    write(out);
    return out;
}

std::string Json::plain() const {
    if (const auto* s = std::get_if<std::string>(&v_)) return IsValidUtf8(*s) ? *s : Cp1252ToUtf8(*s);
    return dump();
}

}  // namespace velk::cli
