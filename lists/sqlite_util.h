#pragma once
// Thin RAII over the sqlite3 C API: an error that carries SQLite's code, cached
// prepared statements that reset themselves after use, one-shot execution.
#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velk::sql {

class Error : public std::runtime_error {
public:
    Error(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
    int code() const noexcept { return code_; }            // extended result code
    int primary() const noexcept { return code_ & 0xff; }  // SQLITE_BUSY, SQLITE_NOTADB, ...

private:
    int code_;
};

// Throws Error unless rc is SQLITE_OK.
void Check(sqlite3* db, int rc);
// Runs one or more statements that return no rows we need.
void Exec(sqlite3* db, const char* sqlText);

// A prepared statement in use: bound, stepped, and reset and unbound when it goes.
class Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::string_view text);
    Statement& bind(int index, long long value);
    // True when a row is ready, false when done.
    bool step();
    // Steps a statement that yields no row.
    void run();
    std::string text(int column) const;
    long long int64(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_;
};

// Statements prepared once per connection, looked up by their text.
class StatementCache {
public:
    StatementCache() = default;
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;
    ~StatementCache() { clear(); }

    Statement get(sqlite3* db, const std::string& sqlText);
    void clear();  // finalizes all; required before the connection closes

private:
    std::unordered_map<std::string, sqlite3_stmt*> cache_;
};

}  // namespace velk::sql
