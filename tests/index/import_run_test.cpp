#include "index/import_run.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <tuple>

#include "tests/index/import_fixture.h"

namespace velk {
namespace {

using test::Entries;
using test::ImportWorld;
using test::Strings;

// rows, found, already listed, not found, ignored, dropped.
std::array<int, 6> Counts(const ImportCounts& c) {
    return {c.rows, c.found, c.alreadyListed, c.notFound, c.ignored, c.dropped};
}

ImportRequest FileRequest(const std::string& path, bool clear = false) {
    ImportRequest r;
    r.path = path;
    r.clearLists = clear;
    return r;
}

TEST(ImportNotFoundRule, ByFirstCharactersAndCollection) {
    for (const char* n : {"1234567", "D123456", "RE12345", "Pd"})
        EXPECT_TRUE(RecordedAsNotFound(n, kModePatents)) << n;
    // Six digits are in neither list; a kind letter counts in patents only.
    for (const char* n : {"123456", "DX12345", "x1234567"})
        EXPECT_FALSE(RecordedAsNotFound(n, kModePatents)) << n;
    EXPECT_FALSE(RecordedAsNotFound("D123456", kModeTrademarks));
    EXPECT_TRUE(RecordedAsNotFound("12345678", kModeAssignments));
}

TEST(ImportRun, FileIntoFoundAndNotFoundWithCounts) {
    ImportWorld w = ImportWorld::Patents();
    // Mixed separators and junk: commas in a number, a six-digit number, a word,
    // a number the index lacks, one too large for a page count, a repeat.
    const std::string path = w.list("a.txt",
                                    "\xEF\xBB\xBF"
                                    "5,123,456 D345678\r\njunk line here\r\n123456\n9999999 7345678\r\n5123456\r\n");
    ImportResult r = RunImport(w.app, FileRequest(path), {});
    ASSERT_EQ(r.outcome, ImportResult::Processed);
    // Rows 5123456 D345678 9999999 7345678 5123456; 7345678 dropped for its 40000 pages;
    // the six-digit number ignored.
    EXPECT_EQ(Counts(r.counts), (std::array<int, 6>{5, 2, 1, 1, 1, 1}));
    EXPECT_TRUE(r.incomplete());
    w.expectLists({"5123456  V001", "D345678  V002"}, {"9999999"}, 14);
    const std::string text = ImportFinishedText(r, w.store->FoundCount());
    EXPECT_EQ(text.rfind("Import finished with errors!\r\r\n  2 Documents Found", 0), 0u) << text;
    EXPECT_NE(
        text.find("  2 Documents Found\r\n\r\nNumbers read: 6\r\nAdded to Found: 2\r\nAlready listed: "
                  "1\r\nNot found: 1\r\nIgnored: 1 (123456)\r\n\r\n1 numbers could not be checked or stored"),
        std::string::npos)
        << text;

    // Again, clearing first: the same lists, not doubled; a clean run says success.
    const std::string clean = w.list("b.txt", "6234567\n");
    r = RunImport(w.app, FileRequest(clean, true), {});
    ASSERT_EQ(r.outcome, ImportResult::Processed);
    w.expectLists({"6234567  V001"}, {}, 3);
    EXPECT_EQ(
        ImportFinishedText(r, w.store->FoundCount()),
        "Import finished successfully!\r\r\n  1 Documents Found\r\n\r\nNumbers read: 1\r\nAdded to Found: "
        "1\r\nAlready listed: 0\r\nNot found: 0\r\nIgnored: 0");

    // Relative paths stay in the import directory, never the working directory.
    EXPECT_EQ(ImportNativePath(w.app, "b.txt"), w.app.config.ImportPath + "/b.txt");
    EXPECT_EQ(ImportNativePath(w.app, "  "), "");
    w.app.config.ImportPath.clear();
    EXPECT_EQ(ImportNativePath(w.app, "b.txt"), "");
}

TEST(ImportRun, TrademarksByValueRecordsWithoutPagesAndTheClipboard) {
    ImportWorld w(kModeTrademarks, {{"253106", "T01", "1"},
                                    {"1253106", "T02", "2"},
                                    {"2000001", "T02", "5"},
                                    {"2000002", "T02", ""},
                                    {"2000003", "T02", "0"}});
    // The find dialog's form of 253106 is on the lists: the import's "0253106" is that document.
    std::string found = "253106   T01       ";
    ASSERT_TRUE(w.store->AddToFound(found, 1));
    ImportRequest req;
    req.source = ImportSourceKind::Clipboard;
    req.clipboardText = "0253106\r\n1253106 D345678\n3000000\n12345678901\n2000002;2000003\n";
    ImportResult r = RunImport(w.app, req, {});
    ASSERT_EQ(r.outcome, ImportResult::Processed);
    // A kind letter in trademarks is never recorded; long numbers are, cleaned; a
    // record without pages is refused as the find dialog refuses it.
    w.expectLists({found, "1253106  T02"}, {"3000000", "12345678901", "2000002", "2000003"}, 3);
    EXPECT_EQ(Counts(r.counts), (std::array<int, 6>{7, 1, 1, 4, 1, 0}));
    EXPECT_EQ(r.counts.ignoredFirst, Strings{"D345678"});

    req.clipboardText = " \r\n ";
    EXPECT_EQ(RunImport(w.app, req, {}).outcome, ImportResult::ClipboardEmpty);
}

TEST(ImportRun, FailuresAndCancelLeaveTheListsAsTheyWere) {
    ImportWorld w = ImportWorld::Patents();
    std::string entry = "6234567  V001";
    ASSERT_TRUE(w.store->AddToFound(entry, 3));
    ASSERT_TRUE(w.store->AddToNotFound("1111111", 0));
    const ListTotals before = w.store->totals();
    auto unchanged = [&] {
        EXPECT_EQ(w.store->totals(), before);
        w.expectLists({"6234567  V001"}, {"1111111"}, 3);
    };

    // Missing file, a directory, no line ends in a huge file, an unmapped drive.
    const std::string huge = w.list("huge.txt", std::string(3 << 20, '7'));
    for (const std::string& p : {w.tree.str() + "/gone.txt", w.tree.str(), huge, std::string("Q:\\list.txt")})
        EXPECT_EQ(RunImport(w.app, FileRequest(p, true), {}).outcome, ImportResult::Unreadable) << p;
    unchanged();
    // A program, an empty file, words, six-digit numbers: refused before the clearing, and said so.
    using namespace std::string_literals;
    const std::string none = "No document numbers were found in ";
    for (auto [name, bytes, outcome, head, tail] :
         {std::tuple{"prog", "\177ELF\x02\x01\x01\0\0\0 5123456\n"s, ImportResult::NotText, ""s,
                     " is not a text file of document numbers."s},
          {"empty.txt", ""s, ImportResult::NoNumbers, none, ""s},
          {"words.txt", "Patent list\r\n"s, ImportResult::NoNumbers, none, ""s},
          {"six.txt", "123456 654321\n"s, ImportResult::NoNumbers, none,
           "\r\n\r\nNumbers read: 2\r\nAdded to Found: 0\r\nAlready listed: 0\r\nNot found: 0\r\nIgnored: 2 "
           "(123456, 654321)"s}}) {
        const std::string path = w.list(name, bytes);
        ImportResult refused = RunImport(w.app, FileRequest(path, true), {});
        EXPECT_EQ(refused.outcome, outcome) << path;
        EXPECT_EQ(ImportRefusedText(refused, path), head + path + tail);
        unchanged();
    }

    // Cancel half-way through the rows, with the clearing asked: nothing changes.
    std::string many;
    for (int i = 0; i < 3000; ++i) many += (i % 2 ? "5123456\n" : "9000000\n");
    const std::string path = w.list("many.txt", many);
    bool cancel = false;
    ImportHooks hooks;
    hooks.cancelled = [&] { return cancel; };
    std::string lastMessage;
    hooks.message = [&](const std::string& m) { lastMessage = m; };
    w.fakes.pump.onPump = [&](int calls) {
        if (calls == 55) cancel = true;  // past the check (1 + 3000 / 64 pumps)
    };
    EXPECT_EQ(RunImport(w.app, FileRequest(path, true), hooks).outcome, ImportResult::Cancelled);
    EXPECT_EQ(lastMessage, "Adding data to Found table...");  // cancelled in the middle of storing
    unchanged();

    // Cancel while reading a long file.
    cancel = false;
    w.fakes.pump.calls = 0;
    w.fakes.pump.onPump = [&](int) { cancel = true; };
    std::string lines;
    for (int i = 0; i < 200000; ++i) lines += "junk junk junk\n";
    EXPECT_EQ(RunImport(w.app, FileRequest(w.list("long.txt", lines)), hooks).outcome, ImportResult::Cancelled);
    unchanged();

    // The index gone: the rows are counted, the error named, the lists untouched.
    std::filesystem::remove(w.app.config.CurrentIndexPath);
    ImportResult r = RunImport(w.app, FileRequest(w.list("c.txt", "5123456\n")), {});
    ASSERT_EQ(r.outcome, ImportResult::Processed);
    EXPECT_EQ(r.errors, (Strings{"File not found 53"}));
    EXPECT_EQ(r.counts.dropped, 1);
    unchanged();
}

TEST(ImportRun, MoreThan32767ClipboardRowsAndTheFileCap) {
    auto numbers = [](int count, const char* end) {
        std::string text;
        for (int n = 0; n < count; ++n) text += std::to_string(4000000 + n) + end;
        return text;
    };
    std::vector<std::vector<std::string>> records;
    for (int n = 0; n < 40000; ++n) records.push_back({std::to_string(4000000 + n), "V1", "1"});
    ImportWorld w(kModePatents, records);
    ImportRequest req;
    req.source = ImportSourceKind::Clipboard;
    req.clipboardText = numbers(40000, "\r\n");
    std::pair<std::int32_t, std::int32_t> advanced;
    ImportHooks hooks;
    hooks.advance = [&](std::int32_t total, std::int32_t current) { advanced = {total, current}; };
    ImportResult r = RunImport(w.app, req, hooks);
    ASSERT_EQ(r.outcome, ImportResult::Processed);
    EXPECT_EQ(r.counts.found, 40000);  // checked whole, not ended after row 1
    EXPECT_EQ(w.store->FoundCount(), 40000);
    EXPECT_EQ(w.store->RemainingPages(), 40000);
    EXPECT_EQ(advanced, std::make_pair(40000, 40000));

    // The file reader takes 32000 and says that it stopped.
    r = RunImport(w.app, FileRequest(w.list("big.txt", numbers(33000, "\n")), true), {});
    ASSERT_EQ(r.outcome, ImportResult::Processed);
    EXPECT_TRUE(r.truncated);
    EXPECT_EQ(w.store->FoundCount(), 32000);
    const std::string message = ImportFinishedText(r, w.store->FoundCount());
    EXPECT_NE(message.find("Only the first 32000 numbers were taken; the rest of the file was not read."),
              std::string::npos);
    // Exactly at the cap with nothing after it is no truncation.
    r = RunImport(w.app, FileRequest(w.list("exact.txt", numbers(32000, "\n") + "\n\n"), true), {});
    EXPECT_FALSE(r.truncated);
}

TEST(ImportRun, ARowTheStoreRefusesCostsOnlyItself) {
    // Rows are stored in groups; a refused row undoes its group, which is stored again row by row.
    ImportWorld w = ImportWorld::Patents();
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open((w.tree.root() / "VELKWp.mdb").c_str(), &h), SQLITE_OK);
    const int rc =
        sqlite3_exec(h,
                     "CREATE TRIGGER f BEFORE INSERT ON RemainingOrder WHEN NEW.DocumentNo LIKE '6234567%' "
                     "BEGIN SELECT RAISE(ABORT, 'full'); END; CREATE TRIGGER n BEFORE INSERT ON NotFound "
                     "WHEN NEW.DocumentNo = '9999998' BEGIN SELECT RAISE(ABORT, 'full'); END;",
                     nullptr, nullptr, nullptr);
    sqlite3_close(h);
    ASSERT_EQ(rc, SQLITE_OK);
    ImportResult r =
        RunImport(w.app, FileRequest(w.list("g.txt", "5123456 6234567 9999999 9999998 D345678\n")), {});
    EXPECT_EQ(Counts(r.counts), (std::array<int, 6>{5, 2, 0, 1, 0, 2}));
    w.expectLists({"5123456  V001", "D345678  V002"}, {"9999999"}, 14);
}

}  // namespace
}  // namespace velk
