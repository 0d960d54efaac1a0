#include "lists/sqlite_util.h"

namespace velk::sql {

void Check(sqlite3* db, int rc) {
    if (rc == SQLITE_OK) return;
    const char* msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    throw Error(db ? sqlite3_extended_errcode(db) : rc, msg ? msg : "sqlite error");
}

void Exec(sqlite3* db, const char* sqlText) {
    char* err = nullptr;
    int rc = sqlite3_exec(db, sqlText, nullptr, nullptr, &err);
    if (rc == SQLITE_OK) return;
    std::string what = err ? err : sqlite3_errstr(rc);
    sqlite3_free(err);
    throw Error(sqlite3_extended_errcode(db), what);
}

Statement::~Statement() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

Statement& Statement::bind(int index, std::string_view text) {
    Check(db_, sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bind(int index, long long value) {
    Check(db_, sqlite3_bind_int64(stmt_, index, value));
    return *this;
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw Error(sqlite3_extended_errcode(db_), sqlite3_errmsg(db_));
}

void Statement::run() {
    while (step()) {
    }
}

std::string Statement::text(int column) const {
    const unsigned char* p = sqlite3_column_text(stmt_, column);
    if (!p) return {};
    return std::string(reinterpret_cast<const char*>(p),
                       static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

long long Statement::int64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

Statement StatementCache::get(sqlite3* db, const std::string& sqlText) {
    auto it = cache_.find(sqlText);
    if (it == cache_.end()) {
        sqlite3_stmt* stmt = nullptr;
        Check(db, sqlite3_prepare_v3(db, sqlText.c_str(), static_cast<int>(sqlText.size()),
                                     SQLITE_PREPARE_PERSISTENT, &stmt, nullptr));
        it = cache_.emplace(sqlText, stmt).first;
    }
    return Statement(db, it->second);
}

void StatementCache::clear() {
    for (auto& [text, stmt] : cache_) sqlite3_finalize(stmt);
    cache_.clear();
}

}  // namespace velk::sql
