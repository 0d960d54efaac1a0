#include "lists/list_window.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "common/runtime_error.h"
#include "platform/ports.h"

namespace fs = std::filesystem;

namespace velk {

namespace {

constexpr ListTexts kFoundTexts{"Documents Found", "DOCUMENTS FOUND LISTING", "DOCUMENT FOUND LISTING",
                                "Documents Found"};
constexpr ListTexts kNotFoundTexts{"Documents Not Found", "DOCUMENTS NOT FOUND LISTING",
                                   "DOCUMENT NOT FOUND LISTING", "Documents Not Found"};
constexpr ListTexts kRemainingTexts{"Documents Not Printed/Exported", "DOCUMENTS NOT PRINTED/EXPORTED LISTING",
                                    "DOCUMENT NOT PRINTED/EXPORTED LISTING", "Documents Not Printed/Export"};

constexpr const char* kCrLf = "\r\n";

// Heading, date line, empty line, the entries (or the empty-list line), then
// `trailing` empty lines: the shape Copy and Save share.
std::string ListText(const char* heading, const std::vector<std::string>& entries, bool includeVolume,
                     const std::string& dateTime, const char* emptyLine, int trailing, const PercentFn& percent) {
    std::string text = std::string(heading) + kCrLf + dateTime + kCrLf + kCrLf;
    const auto total = static_cast<std::int64_t>(entries.size());
    for (std::int64_t i = 0; i < total; ++i) {
        text += OutputLine(entries[static_cast<std::size_t>(i)], includeVolume) + kCrLf;
        if (percent) percent(ProgressPercent(i + 1, total));
    }
    if (entries.empty()) text += std::string(emptyLine) + kCrLf;
    for (int i = 0; i < trailing; ++i) text += kCrLf;
    if (percent) percent(100);
    return text;
}

}  // namespace

std::optional<ListType> ListTypeFromText(const std::string& text) {
    if (text == "FOUND") return ListType::Found;
    if (text == "NOT FOUND") return ListType::NotFound;
    if (text == "REMAINING") return ListType::Remaining;
    return std::nullopt;
}

const ListTexts& TextsOf(ListType type) {
    switch (type) {
        case ListType::Found: return kFoundTexts;
        case ListType::NotFound: return kNotFoundTexts;
        case ListType::Remaining: break;
    }
    return kRemainingTexts;
}

std::vector<std::string> LoadListEntries(ListStore& store, ListType type, bool foundSorted) {
    store.RecountTotals();
    std::vector<ListRow> rows;
    switch (type) {
        case ListType::Found:
            rows = foundSorted ? store.RowsSorted(ListTable::FoundOrder) : store.Rows(ListTable::Found);
            break;
        case ListType::NotFound: rows = store.Rows(ListTable::NotFound); break;
        case ListType::Remaining: rows = store.Rows(ListTable::Remaining); break;
    }
    std::vector<std::string> entries;
    entries.reserve(rows.size());
    for (ListRow& r : rows) entries.push_back(std::move(r.DocumentNo));
    return entries;
}

std::int32_t ListCount(const ListStore& store, ListType type) {
    switch (type) {
        case ListType::Found: return store.FoundCount();
        case ListType::NotFound: return store.NotFoundCount();
        case ListType::Remaining: break;
    }
    return store.RemainingCount();
}

std::string OutputLine(const std::string& entry, bool includeVolume) {
    if (includeVolume) return entry;
    const auto space = entry.find(' ');
    return space == std::string::npos ? entry : entry.substr(0, space + 1);
}

int ProgressPercent(std::int64_t done, std::int64_t total) {
    if (total <= 0) return 100;
    done = std::clamp<std::int64_t>(done, 0, total);
    return static_cast<int>((done * 100 + total / 2) / total);
}

std::string ListCopyText(ListType type, const std::vector<std::string>& entries, bool includeVolume,
                         const std::string& date, const std::string& time, const PercentFn& percent) {
    return ListText(TextsOf(type).copyHeading, entries, includeVolume, date + " " + time, " No Records Found", 2,
                    percent);
}

std::string ListSaveText(ListType type, const std::vector<std::string>& entries, bool includeVolume,
                         const std::string& date, const std::string& time, const PercentFn& percent) {
    return ListText(TextsOf(type).saveHeading, entries, includeVolume, date + " " + time, kNoRecordsFound, 3,
                    percent);
}

int PaperCodeOf(const std::string& pageType) {
    if (pageType == "A4") return kPaperA4;
    if (pageType == "LEGAL") return kPaperLegal;
    return kPaperLetter;
}

bool PrintList(Printer& printer, ListType type, const std::vector<std::string>& entries, bool includeVolume,
               const std::string& pageType, const std::string& date, const std::string& time,
               const PercentFn& percent) {
    printer.setPaperSize(PaperCodeOf(pageType));
    const char* heading = TextsOf(type).printHeading;
    // A printable area too short for 56 lines and their header squeezes the lines
    // rather than running them off the page.
    const int height = printer.scaleHeight();
    const int step = height > 0 ? std::clamp(height / (kListLinesPerPage + 4), 1, kListLineHeight) : kListLineHeight;
    int y = 0;
    auto text = [&](int x, const std::string& s, bool bold = false) {
        if (!s.empty()) printer.drawText(x, y, s, kListFont, kListFontSize, bold);
    };
    auto header = [&](int page, bool withDate) {
        text(0, heading, true);
        y += step;
        text(kListPageX, "Page " + std::to_string(page));
        y += step;
        if (withDate) {
            text(0, date + " " + time);
            y += step;
        }
        y += step;  // empty line
    };

    header(1, true);
    const auto total = static_cast<std::int64_t>(entries.size());
    if (total == 0) text(0, kNoRecordsFound);
    int page = 1, lines = 0;
    for (std::int64_t i = 0; i < total; i += 2) {
        if (lines == kListLinesPerPage) {
            printer.newPage();
            y = 0;
            header(++page, false);
            lines = 0;
        }
        text(0, OutputLine(entries[static_cast<std::size_t>(i)], includeVolume));
        if (i + 1 < total) text(kListSecondX, OutputLine(entries[static_cast<std::size_t>(i + 1)], includeVolume));
        y += step;
        ++lines;
        if (percent) percent(ProgressPercent(std::min(i + 2, total), total));
    }
    if (percent) percent(100);
    return printer.endDoc();
}

std::string ProposedDocsName(const fs::path& dir) {
    for (int n = 1; n <= 9999; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "DOCS%04d.TXT", n);
        std::error_code ec;
        if (!fs::exists(dir / name, ec) && !ec) return name;
    }
    return "DOCS9999.TXT";  // every number taken: the dialog asks before replacing
}

void WriteDocsFile(const fs::path& file, const std::string& content) {
    const fs::path dir = file.has_parent_path() ? file.parent_path() : fs::path(".");
    std::string tmpl = (dir / ("." + file.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) throw ErrorFromErrno(errno);
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        throw ErrorFromErrno(err);
    };
    for (std::size_t done = 0; done < content.size();) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 && errno != EINVAL) fail(errno);
    (void)::fchmod(fd, 0644);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        throw ErrorFromErrno(err);
    }
    if (::rename(tmpl.c_str(), file.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        throw ErrorFromErrno(err);
    }
}

}  // namespace velk
