#include "index/cumulative_index.h"

#include <cstdio>
#include <exception>

#include "common/runtime_error.h"
#include "common/vb_text.h"
#include "platform/app.h"

namespace velk {

namespace {

int CompareValues(long long a, long long b) { return a < b ? -1 : (a > b ? 1 : 0); }

// The number field of a record without its blanks; no copy, as it runs once per probe.
std::string_view TrimmedNumber(std::string_view bytes) {
    std::string_view n = bytes.substr(0, 8);
    while (!n.empty() && n.front() == ' ') n.remove_prefix(1);
    while (!n.empty() && n.back() == ' ') n.remove_suffix(1);
    return n;
}

CumSearch ToSearch(RecordHit hit) {
    CumSearch s;
    s.found = hit.found;
    s.record = hit.record;
    if (!hit.bytes.empty()) s.rec = ParseCumRecord(hit.bytes);
    return s;
}

CumSearch ExactIn(CumIndexFile& index, std::int32_t lo, std::int32_t hi, std::string_view key) {
    return ToSearch(SearchRecords(index.file(), lo, hi,
                                  [&](std::string_view bytes) { return CompareCodes(TrimmedNumber(bytes), key); }));
}

bool SearchedInPatents(char c) {
    return c == 'D' || c == 'H' || c == 'T' || c == 'P' || c == 'R' || c == 'B' || (c >= '0' && c <= '9');
}

}  // namespace

CumRecord ParseCumRecord(std::string_view bytes) {
    std::string rec = FixedWidth(bytes, kCumRecordLength);
    return {rec.substr(0, 8), rec.substr(8, 10), rec.substr(18, 6)};
}

Int16 RecordPages(const CumRecord& r) {
    return CInt(Val(Trim(r.Pages)));
}

bool HasPages(const CumRecord& r) {
    try {
        return RecordPages(r) >= 1;
    } catch (const RuntimeError&) {
        return true;  // more than a page count holds: the lists refuse it when storing
    }
}

CumOrder CumOrderOf(const std::string& collectionMode) {
    if (collectionMode == kModePatents) return CumOrder::ByText;
    if (collectionMode == kModeTrademarks) return CumOrder::ByValue;
    return CumOrder::None;
}

CumIndexFile OpenCumIndex(const App& app) {
    auto path = app.drives.resolve(app.config.CurrentIndexPath);
    if (!path) throw RuntimeError(kErrDiskNotReady);
    return CumIndexFile(*path);
}

CumSearch SearchByPrefix(CumIndexFile& index, std::string_view key) {
    RecordHit hit = SearchRecords(index.file(), 1, index.count(), [&](std::string_view bytes) {
        std::string_view number = TrimmedNumber(bytes);
        if (number.substr(0, key.size()) == key) return 0;
        return CompareCodes(number, key);
    });
    if (!hit.found || TrimmedNumber(hit.bytes) == key) return ToSearch(hit);
    // A longer number matched; the key itself, when present, sorts before every
    // number it begins, so it lies between the bounds and the probe.
    CumSearch exact = ExactIn(index, hit.lo, hit.record - 1, key);
    return exact.found ? exact : ToSearch(hit);
}

CumSearch SearchExact(CumIndexFile& index, std::string_view key) { return ExactIn(index, 1, index.count(), key); }

CumSearch SearchByValue(CumIndexFile& index, std::string_view key) {
    const long long want = ValInt(Trim(key));
    return ToSearch(SearchRecords(index.file(), 1, index.count(), [&](std::string_view bytes) {
        return CompareValues(ValInt(TrimmedNumber(bytes)), want);
    }));
}

Int16 FindInCum(App& app, const std::string& key) {
    try {
        CumIndexFile index = OpenCumIndex(app);
        CumSearch s;
        switch (CumOrderOf(app.config.CollectionMode)) {
        case CumOrder::ByText: s = SearchByPrefix(index, Trim(key)); break;
        case CumOrder::ByValue: s = SearchByValue(index, key); break;
        case CumOrder::None: return Int16(1);
        }
        if (!s.found) {
            app.LastCumRecord = s.record;
            return Int16(-2);
        }
        Int16 pages = RecordPages(s.rec);
        app.LastCumRecord = s.record;
        return pages;
    } catch (const std::exception&) {
        return Int16(-2);
    }
}

bool CumIndex(App& app, ImportTable& table, const ImportProgress* progress) {
    if (progress && progress->message) progress->message("Checking data against Cumulative Index...");
    try {
        CumIndexFile index = OpenCumIndex(app);
        const CumOrder order = CumOrderOf(app.config.CollectionMode);
        // One read of the whole file serves every row; a single look-up never does this.
        index.preload();
        const int total = static_cast<int>(table.rows.size());
        for (int i = 1; i <= total; ++i) {
            ImportRow& row = table.rows[static_cast<std::size_t>(i - 1)];
            row.Found = "N";
            std::string s = KeepAlnum(Trim(row.EntryText));
            const char first = s.empty() ? '\0' : s.front();
            CumSearch hit;
            const bool byText = order == CumOrder::ByText && SearchedInPatents(first);
            if (byText) {
                hit = SearchExact(index, s);
            } else if (order == CumOrder::ByValue && first >= '0' && first <= '9') {
                hit = SearchByValue(index, s);
                if (hit.found && s.size() > 9) hit.found = false;  // too long for the entry's columns
            }
            // A record without pages is refused as the find dialog refuses it: not found.
            if (hit.found && !HasPages(hit.rec)) hit.found = false;
            if (hit.found) {
                const std::string volume = Trim(hit.rec.Volume);
                row.EntryText =
                    byText ? PatentImportEntryText(s, volume) : TrademarkImportEntryText(ValInt(s), volume);
                row.Found = "Y";
                row.Pages = Trim(hit.rec.Pages);
                row.Volume = Trim(hit.rec.Volume);
            }
            if (progress && progress->advance) progress->advance(total, i);
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string FindEntryText(const CumRecord& r) { return FixedWidth(r.DocNo, 8) + " " + FixedWidth(r.Volume, 10); }

std::string AssignListEntryText(const CumRecord& r) {
    std::string n = FixedWidth(r.DocNo, 8);
    return n.substr(0, 4) + "/" + n.substr(4, 4) + " " + FixedWidth(r.Volume, 10);
}

std::string AssignStoredEntryText(const CumRecord& r) {
    return FixedWidth(r.DocNo, 8) + " " + Trim(r.Volume);
}

std::string PatentImportEntryText(const std::string& number, const std::string& volume) {
    return FixedWidth(number, 8) + " " + volume;
}

std::string TrademarkImportEntryText(long long value, const std::string& volume) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%07lld", value);
    std::string n = digits;
    return n + std::string(n.size() < 9 ? 9 - n.size() : 1, ' ') + volume;
}

std::string EntryDocNo(const std::string& entry) {
    if (entry.size() >= 9 && entry[4] == '/') return entry.substr(0, 4) + entry.substr(5, 4);
    return entry.substr(0, entry.find(' '));
}

std::string EntryVolume(const std::string& entry) { return Trim(Mid(entry, 10)); }

}  // namespace velk
