#include "print/select_pages.h"

#include <algorithm>

#include "common/vb_text.h"
#include "viewer/page_map.h"

namespace velk {

namespace {

constexpr int kMaxPage = 32767;

int MetaValue(const std::string& text) {
    if (!IsNumeric(text)) return 0;
    const long long v = ValInt(text);
    return v < 0 || v > kMaxPage ? 0 : static_cast<int>(v);
}

// Standard map: a section runs from its first page to the page before the next
// section; the next section absent (0) leaves only its first page.
SectionPages UpToNext(int first, int next) {
    return {first, next == 0 ? first : next - 1};
}

void Append(std::vector<Int16>& out, const SectionPages& s) {
    if (s.count() == 0) return;
    for (int p = s.first; p <= std::min(std::max(s.first, s.last), kMaxPage); ++p) out.push_back(Int16(p));
}

}  // namespace

int SectionPages::count() const {
    if (first <= 0) return 0;  // an absent section, even with a stray last page
    // A last page before the first (a malformed map) still prints the first page.
    return last < first ? 1 : last - first + 1;
}

bool IsMetaMap(const CurrentDocument& doc) { return StartsWith(doc.MapMarker, "META"); }

SectionPages SectionRange(const CurrentDocument& doc, PrintSection section, int lastPage) {
    const Int16 pages(std::clamp(lastPage, 0, kMaxPage));
    auto start = [&](Section s) { return SectionStart(doc, s, pages).value(); };
    if (section == PrintSection::Biblio) return UpToNext(start(SecInfo), start(SecAbstract));
    if (IsMetaMap(doc)) {
        int pair = 0;
        switch (section) {
        case PrintSection::Abstract: pair = 0; break;
        case PrintSection::Drawings: pair = 1; break;
        case PrintSection::Description: pair = 2; break;
        case PrintSection::Claims: pair = 3; break;
        case PrintSection::Corrections: pair = 4; break;
        case PrintSection::Reexaminations: pair = 5; break;
        case PrintSection::Biblio: break;
        }
        return {MetaValue(doc.SectionPageRange[2 * pair]), MetaValue(doc.SectionPageRange[2 * pair + 1])};
    }
    switch (section) {
    case PrintSection::Abstract: return UpToNext(start(SecAbstract), start(SecDrawings));
    case PrintSection::Drawings: return UpToNext(start(SecDrawings), start(SecDescription));
    case PrintSection::Description: return UpToNext(start(SecDescription), start(SecClaims));
    case PrintSection::Claims: {
        const int first = start(SecClaims);
        return {first, lastPage == 0 ? first : lastPage};
    }
    default: return {};  // no such section without a "META" map
    }
}

std::string SectionOfPage(const CurrentDocument& doc, int page, int lastPage) {
    using S = PrintSection;
    static const std::pair<PrintSection, const char*> kNames[] = {
        {S::Biblio, "Front page"},
        {S::Abstract, "Abstract"},
        {S::Drawings, "Drawings"},
        {S::Description, "Description"},
        {S::Claims, "Claims"},
        {S::Corrections, "Certificate of Corrections"},
        {S::Reexaminations, "Reexaminations"}};
    for (const auto& [section, name] : kNames) {
        const SectionPages r = SectionRange(doc, section, lastPage);
        if (r.count() > 0 && page >= r.first && page <= std::max(r.first, r.last)) return name;
    }
    return {};
}

PageSelection SelectPages(const PageOptions& o, const CurrentDocument& doc, int lastPage) {
    PageSelection sel;
    auto range = [&](int first, int last) {
        sel.count = last - first + 1;
        for (int p = std::max(first, 1); p <= std::min(std::max(first, last), kMaxPage); ++p) sel.pages.push_back(Int16(p));
    };
    switch (o.choice) {
    case PageChoice::Page: range(o.page, o.page); break;
    case PageChoice::Range: range(o.rangeStart, o.rangeEnd); break;
    case PageChoice::Entire: range(1, lastPage); break;
    case PageChoice::FirstPage: range(1, 1); break;
    case PageChoice::AllNotFirst: range(2, lastPage); break;
    case PageChoice::List:
        for (int p : o.list)
            if (p >= 1 && p <= kMaxPage) sel.pages.push_back(Int16(p));
        sel.count = static_cast<int>(o.list.size());
        break;
    case PageChoice::Subsection: {
        const std::pair<bool, PrintSection> boxes[] = {
            {o.abstract, PrintSection::Abstract},       {o.biblio, PrintSection::Biblio},
            {o.claims, PrintSection::Claims},           {o.description, PrintSection::Description},
            {o.drawings, PrintSection::Drawings},       {o.corrections, PrintSection::Corrections},
            {o.reexaminations, PrintSection::Reexaminations}};
        for (const auto& [checked, section] : boxes) {
            if (!checked) continue;
            const SectionPages s = SectionRange(doc, section, lastPage);
            sel.count += s.count();
            Append(sel.pages, s);
        }
        break;
    }
    }
    if (sel.count < 1) {
        sel.pages.clear();
        return sel;
    }
    std::erase_if(sel.pages, [&](Int16 p) { return p.value() < 1 || p.value() > lastPage; });
    sel.count = static_cast<int>(sel.pages.size());
    return sel;
}

namespace {
std::optional<int> PageNumber(const std::string& text) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > 5 || t.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const int v = std::stoi(t);
    if (v < 1 || v > kMaxPage) return std::nullopt;
    return v;
}
}  // namespace

std::optional<std::vector<int>> ParsePageList(const std::string& text) {
    std::vector<int> pages;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string part = text.substr(start, comma - start);
        const std::size_t dash = part.find('-');
        const auto first = PageNumber(part.substr(0, dash));
        const auto last = dash == std::string::npos ? first : PageNumber(part.substr(dash + 1));
        if (!first || !last || *last < *first) return std::nullopt;
        if (pages.size() + static_cast<std::size_t>(*last - *first) >= static_cast<std::size_t>(kMaxPage))
            return std::nullopt;  // a list longer than any document
        for (int p = *first; p <= *last; ++p) pages.push_back(p);
        start = comma + 1;
    }
    return pages;
}

}  // namespace velk
