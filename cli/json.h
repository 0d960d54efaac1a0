#pragma once
// The small JSON value velkcmd prints: one object per command. Texts from a volume
// may be Windows-1252; they are written as UTF-8 either way.
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace velk::cli {

class Json {
public:
    using Array = std::vector<Json>;
    using Object = std::vector<std::pair<std::string, Json>>;  // in insertion order

    Json() = default;  // null
    Json(bool b) : v_(b) {}
    Json(int n) : v_(static_cast<long long>(n)) {}
    Json(long n) : v_(static_cast<long long>(n)) {}
    Json(long long n) : v_(n) {}
    Json(std::string s) : v_(std::move(s)) {}
    Json(const char* s) : v_(std::string(s)) {}
    Json(Array a) : v_(std::move(a)) {}
    Json(Object o) : v_(std::move(o)) {}

    static Json object() { return Json(Object{}); }
    static Json array() { return Json(Array{}); }
    // Adds (or replaces) a field of an object; returns *this for chaining.
    Json& set(const std::string& key, Json value);
    // Appends to an array.
    Json& push(Json value);

    bool isObject() const { return std::holds_alternative<Object>(v_); }
    bool isArray() const { return std::holds_alternative<Array>(v_); }
    const Object& fields() const { return std::get<Object>(v_); }
    const Array& items() const { return std::get<Array>(v_); }

    // Compact JSON text.
    std::string dump() const;
    // The value as a text line shows it: strings bare, everything else as JSON.
    std::string plain() const;

private:
    std::variant<std::nullptr_t, bool, long long, std::string, Array, Object> v_ = nullptr;
    void write(std::string& out) const;
};

// A JSON string literal of s (UTF-8; other bytes taken as Windows-1252).
std::string JsonQuote(const std::string& s);

}  // namespace velk::cli
