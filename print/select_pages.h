#pragma once
// Which pages of a document a print or export dialog chose. One model function over
// a plain options struct, so every dialog (single print, batch print, export) selects
// the same pages for the same choice.
#include <optional>
#include <string>
#include <vector>

#include "common/int16.h"
#include "platform/current_document.h"

namespace velk {

// List: the pages given, in their order (the command line's --pages).
enum class PageChoice { Entire, FirstPage, AllNotFirst, Page, Range, Subsection, List };

// The dialog's state: the chosen option, its list and box positions as page numbers
// (list index + 1), and the checked section boxes.
struct PageOptions {
    PageChoice choice = PageChoice::Page;
    int page = 1;
    int rangeStart = 1, rangeEnd = 1;
    bool abstract = false, biblio = false, claims = false, description = false, drawings = false;
    bool corrections = false, reexaminations = false;
    std::vector<int> list;
};

// One section's pages; count 0 means the section selects nothing.
struct SectionPages {
    int first = 0, last = 0;
    int count() const;
};

enum class PrintSection { Abstract, Biblio, Claims, Description, Drawings, Corrections, Reexaminations };

// The first and last page of a section of the current document (its page map) in a
// document of lastPage pages. A "META" map gives the abstract, drawings, description,
// claims, corrections and reexaminations from its ranges (a text that is no number is
// 0); the front page always comes from the standard map.
SectionPages SectionRange(const CurrentDocument& doc, PrintSection section, int lastPage);
bool IsMetaMap(const CurrentDocument& doc);
// The name of the first section that holds `page` ("Front page", "Abstract", "Drawings",
// "Description", "Claims", and with a "META" map "Certificate of Corrections" and
// "Reexaminations"); "" when none does.
std::string SectionOfPage(const CurrentDocument& doc, int page, int lastPage);

struct PageSelection {
    std::vector<Int16> pages;  // in the order they are printed; a page may repeat
    // The count the dialogs test: below 1 is "There are no pages in this section".
    int count = 0;
    bool empty() const { return count < 1 || pages.empty(); }
};

inline constexpr const char* kNoPagesText = "There are no pages in this section";

// Pages outside 1..lastPage never reach the page loader; count is then the number
// of pages that remain.
PageSelection SelectPages(const PageOptions& options, const CurrentDocument& doc, int lastPage);

// "1,3-5": pages and ascending ranges of 1..32767 in the order written; nullopt for
// anything else (the command line's page lists).
std::optional<std::vector<int>> ParsePageList(const std::string& text);

}  // namespace velk
