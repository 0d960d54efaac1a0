// Rendering a region of a page at a zoom: crop first, stay 1-bit as long as possible.
#include <allheaders.h>

#include <algorithm>
#include <cmath>

#include "viewer/imaging/page_image.h"
#include "viewer/imaging/pix_bits.h"

namespace velk {
namespace {

struct BoxPtr {
    Box* box;
    ~BoxPtr() { boxDestroy(&box); }
};

struct PixHolder {
    Pix* pix = nullptr;
    PixHolder() = default;
    explicit PixHolder(Pix* p) : pix(p) {}
    PixHolder(const PixHolder&) = delete;
    PixHolder& operator=(const PixHolder&) = delete;
    ~PixHolder() { pixDestroy(&pix); }
    void reset(Pix* p) {
        pixDestroy(&pix);
        pix = p;
    }
};

void RequireZoom(double zoom) {
    if (!std::isfinite(zoom) || zoom <= 0 || zoom > 64)
        throw ImageError(kErrInvalidCall, "zoom out of range");
}

// One output pixel's share of the source pixels under it along one axis: an area
// average, so a line one source pixel wide keeps its ink as grey at any reduction.
struct Taps {
    std::vector<int> first;   // first source index of each output pixel
    std::vector<int> count;   // how many source pixels
    std::vector<int> weight;  // weights of each, summing to 256
};

Taps AreaTaps(int outStart, int outCount, double scale, int srcStart, int srcLimit) {
    Taps t;
    t.first.reserve(outCount);
    t.count.reserve(outCount);
    for (int i = 0; i < outCount; ++i) {
        double a = (outStart + i) / scale, b = (outStart + i + 1) / scale;
        a = std::min(a, srcLimit - 1.0);
        b = std::clamp(b, a + 1e-9, static_cast<double>(srcLimit));
        int lo = static_cast<int>(std::floor(a));
        int hi = std::max(lo + 1, static_cast<int>(std::ceil(b)));
        double span = b - a;
        int given = 0, biggest = 0, biggestAt = 0;
        std::size_t base = t.weight.size();
        for (int s = lo; s < hi; ++s) {
            double cover = (std::min(b, s + 1.0) - std::max(a, static_cast<double>(s))) / span;
            int w = static_cast<int>(cover * 256 + 0.5);
            t.weight.push_back(w);
            given += w;
            if (w > biggest) biggest = w, biggestAt = s - lo;
        }
        t.weight[base + biggestAt] += 256 - given;  // rounding goes to the largest share
        t.first.push_back(lo - srcStart);
        t.count.push_back(hi - lo);
    }
    return t;
}

}  // namespace

QSize PageImage::scaledSize(double zoom) const {
    RequireZoom(zoom);
    auto side = [zoom](int n) { return std::max(1, static_cast<int>(std::lround(n * zoom))); };
    return {side(width()), side(height())};
}

QImage PageImage::render(const QRect& target, double zoom, bool smooth) const {
    if (!pix_) return {};
    const QRect clipped = target & QRect(QPoint(0, 0), scaledSize(zoom));
    if (clipped.isEmpty()) return {};
    if (static_cast<std::int64_t>(clipped.width()) * clipped.height() > ImageLimits::kMaxRenderPixels)
        throw ImageError(kErrOutOfMemory, "render area too large");
    return smooth && zoom < 1 ? renderGrey(clipped, zoom) : renderNearest(clipped, zoom);
}

QImage PageImage::renderAll(double zoom, bool smooth) const {
    return render(QRect(QPoint(0, 0), scaledSize(zoom)), zoom, smooth);
}

// At and above 100% (and without smoothing): each output pixel takes the source pixel
// under its centre; the result stays 1-bit.
QImage PageImage::renderNearest(const QRect& target, double zoom) const {
    QImage out(target.size(), QImage::Format_Mono);
    if (out.isNull()) throw ImageError(kErrOutOfMemory, "no memory for the rendered page");
    out.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const int srcW = width(), srcH = height();
    const l_uint32* data = pixGetData(pix_.get());
    const int wpl = pixGetWpl(pix_.get());
    auto source = [zoom](int i, int limit) {
        return std::min(limit - 1, static_cast<int>((i + 0.5) / zoom));
    };

    if (zoom == 1.0 && (target.x() & 7) == 0) {
        // Whole bytes line up: copy them.
        const int firstByte = target.x() / 8, bytes = (target.width() + 7) / 8;
        for (int y = 0; y < target.height(); ++y) {
            const l_uint32* line = data + static_cast<std::size_t>(target.y() + y) * wpl;
            uchar* dst = out.scanLine(y);
            for (int i = 0; i < bytes; ++i) dst[i] = pixbits::RowByte(line, firstByte + i);
        }
        return out;
    }
    std::vector<int> xs(target.width());
    for (int i = 0; i < target.width(); ++i) xs[i] = source(target.x() + i, srcW);
    int previous = -1;
    for (int y = 0; y < target.height(); ++y) {
        const int sy = source(target.y() + y, srcH);
        uchar* dst = out.scanLine(y);
        if (sy == previous) {
            std::memcpy(dst, out.constScanLine(y - 1), static_cast<std::size_t>(out.bytesPerLine()));
            continue;
        }
        previous = sy;
        const l_uint32* line = data + static_cast<std::size_t>(sy) * wpl;
        std::memset(dst, 0, static_cast<std::size_t>(out.bytesPerLine()));
        for (int x = 0; x < target.width(); ++x)
            if (pixbits::Bit(line, xs[x])) dst[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
    }
    return out;
}

// Below 100%: Leptonica's integer scale-to-gray (table driven, cheap) down to the nearest
// factor at or above the target, then an area average of the small grey image for the
// rest. The crop is aligned to the factor, so tiles share one grid.
QImage PageImage::renderGrey(const QRect& target, double zoom) const {
    static constexpr int kFactors[] = {16, 8, 6, 4, 3, 2};
    int factor = 1;
    for (int f : kFactors) {
        if (zoom * f <= 1.0 + 1e-9) {
            factor = f;
            break;
        }
    }
    const double scale = zoom * factor;  // what is left after the integer step, <= 1
    const int reducedW = (width() + factor - 1) / factor, reducedH = (height() + factor - 1) / factor;

    auto span = [scale](int start, int count, int limit) {
        int lo = std::min(limit - 1, static_cast<int>(std::floor(start / scale)));
        int hi = std::min(limit, static_cast<int>(std::ceil((start + count) / scale)));
        return std::pair{lo, std::max(hi, lo + 1)};
    };
    auto [c0, c1] = span(target.x(), target.width(), reducedW);
    auto [r0, r1] = span(target.y(), target.height(), reducedH);
    // Some reductions want whole groups of 8 output columns; pad with white.
    const int cols = (c1 - c0 + 7) / 8 * 8, rows = r1 - r0;

    BoxPtr box{boxCreate(c0 * factor, r0 * factor, cols * factor, rows * factor)};
    PixHolder crop(pixClipRectangle(pix_.get(), box.box, nullptr));
    if (!crop.pix) throw ImageError(kErrOutOfMemory, "no memory to crop the page");
    const int padRight = cols * factor - pixGetWidth(crop.pix),
              padBottom = rows * factor - pixGetHeight(crop.pix);
    if (padRight > 0 || padBottom > 0)
        crop.reset(pixAddBorderGeneral(crop.pix, 0, padRight, 0, padBottom, 0));

    PixHolder grey;
    switch (factor) {
        case 1:
            grey.reset(pixConvert1To8(nullptr, crop.pix, 255, 0));
            break;
        case 2:
            grey.reset(pixScaleToGray2(crop.pix));
            break;
        case 3:
            grey.reset(pixScaleToGray3(crop.pix));
            break;
        case 4:
            grey.reset(pixScaleToGray4(crop.pix));
            break;
        case 6:
            grey.reset(pixScaleToGray6(crop.pix));
            break;
        case 8:
            grey.reset(pixScaleToGray8(crop.pix));
            break;
        default:
            grey.reset(pixScaleToGray16(crop.pix));
            break;
    }
    if (!grey.pix || pixGetWidth(grey.pix) < c1 - c0 || pixGetHeight(grey.pix) < rows)
        throw ImageError(kErrOutOfMemory, "no memory to reduce the page");

    const Taps tx = AreaTaps(target.x(), target.width(), scale, c0, reducedW);
    const Taps ty = AreaTaps(target.y(), target.height(), scale, r0, reducedH);
    const l_uint32* gdata = pixGetData(grey.pix);
    const int gwpl = pixGetWpl(grey.pix);

    // Across first, on every grey row under the target, in 8.8 fixed point.
    std::vector<std::uint16_t> across(static_cast<std::size_t>(rows) * target.width());
    for (int r = 0; r < rows; ++r) {
        const l_uint32* line = gdata + static_cast<std::size_t>(r) * gwpl;
        std::uint16_t* dst = across.data() + static_cast<std::size_t>(r) * target.width();
        std::size_t w = 0;
        for (int x = 0; x < target.width(); ++x) {
            int sum = 0;
            for (int k = 0; k < tx.count[x]; ++k)
                sum += tx.weight[w + k] * GET_DATA_BYTE(line, tx.first[x] + k);
            w += tx.count[x];
            dst[x] = static_cast<std::uint16_t>(sum);
        }
    }
    QImage out(target.size(), QImage::Format_Grayscale8);
    if (out.isNull()) throw ImageError(kErrOutOfMemory, "no memory for the rendered page");
    std::vector<std::uint32_t> acc(target.width());
    std::size_t w = 0;
    for (int y = 0; y < target.height(); ++y) {
        std::fill(acc.begin(), acc.end(), 1u << 15);
        for (int k = 0; k < ty.count[y]; ++k) {
            const std::uint32_t wy = static_cast<std::uint32_t>(ty.weight[w + k]);
            const std::uint16_t* src =
                across.data() + static_cast<std::size_t>(ty.first[y] + k) * target.width();
            for (int x = 0; x < target.width(); ++x) acc[x] += wy * src[x];
        }
        w += ty.count[y];
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < target.width(); ++x)
            dst[x] = static_cast<uchar>(std::min<std::uint32_t>(255, acc[x] >> 16));
    }
    return out;
}

}  // namespace velk
