#include "viewer/viewer_nav.h"

#include <algorithm>
#include <cmath>

#include "common/vb_text.h"

namespace velk {

int ZoomInLevel(int zoom) { return std::min(kZoomMax, zoom + kZoomStep); }

int ZoomOutLevel(int zoom) {
    if (zoom <= kZoomMin) return zoom;
    return std::max(kZoomMin, zoom - kZoomStep);
}

int FitMethodFor(ViewMode mode) {
    switch (mode) {
        case ViewMode::FitPage:
            return 2;
        case ViewMode::FitWidth:
            return 1;
        case ViewMode::Zoom:
            break;
    }
    return 0;
}

std::string ZoomText(ViewMode mode, int percent) {
    if (mode == ViewMode::FitPage) return kFitPageText;
    if (mode == ViewMode::FitWidth) return kFitWidthText;
    return std::to_string(percent) + " %";
}

std::optional<TypedView> ParseZoomText(const std::string& text) {
    std::string t = Trim(text);
    if (LCase(t) == LCase(kFitPageText)) return TypedView{ViewMode::FitPage, 100};
    if (LCase(t) == LCase(kFitWidthText)) return TypedView{ViewMode::FitWidth, 100};
    if (!t.empty() && t.back() == '%') t = Trim(t.substr(0, t.size() - 1));
    if (t.empty() || t.size() > 9 ||
        !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const double typed = std::max<double>(kTypedZoomMin, std::stod(t)) / 100.0;
    return TypedView{ViewMode::Zoom, static_cast<int>(std::lround(ViewZoom(typed) * 100))};
}

int PageTarget(PageMove move, int page, int pageCount) {
    if (pageCount < 1) return 0;
    switch (move) {
    case PageMove::First: return 1;
    case PageMove::Last: return pageCount;
    case PageMove::Next: return page + 1 <= pageCount ? page + 1 : 0;
    case PageMove::Previous: return page - 1 >= 1 && page - 1 <= pageCount ? page - 1 : 0;
    }
    return 0;
}

NavButtons PageButtons(int page, int pageCount) {
    const bool back = page > 1, on = page < pageCount;
    return {back, back, on, on};
}

NavButtons DocumentButtons(int position, int count) {
    if (count <= 1) return {};
    const bool back = position > 1, on = position < count;
    return {back, back, on, on};
}

int DocumentTarget(DocMove move, int shown, int chosen, int count) {
    if (count < 1) return 0;
    const int from = chosen > 0 ? chosen : shown;
    int p = 0;
    switch (move) {
    case DocMove::First: p = 1; break;
    case DocMove::Last: p = count; break;
    case DocMove::Next: p = from + 1; break;
    case DocMove::Previous: p = from - 1; break;
    }
    return p >= 1 && p <= count ? p : 0;
}

int DocumentOnward(DocMove move, int tried, int count) {
    const int p = move == DocMove::First || move == DocMove::Next ? tried + 1 : tried - 1;
    return p >= 1 && p <= count ? p : 0;
}

std::string FoundEntryDocNo(const std::string& entry) { return Trim(Left(entry, 9)); }

std::string EntryText(const std::string& docNo, const std::string& volume) {
    return FixedWidth(Trim(docNo), 9) + Trim(volume);
}

std::string TrademarkDocNo(const std::string& imagePath) { return Left(Right(imagePath, 11), 7) + " "; }

}  // namespace velk
