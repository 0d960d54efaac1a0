// Rendering a region of a page at a zoom: crop first, stay 1-bit as long as possible.
#include <allheaders.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

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
    if (!std::isfinite(zoom) || zoom <= 0 || zoom > kMaxRenderZoom)
        throw ImageError(kErrInvalidCall, "zoom out of range");
}

// One output pixel's share of the source pixels under it along one axis: an area
// average, so a line one source pixel wide keeps its ink as grey at any reduction.
// Every output pixel gets the same number of taps (unused ones weigh 0), so the inner
// loops have no branches.
struct Taps {
    int perPixel = 1;
    std::vector<int> index;   // source index (relative to the crop) of each tap
    std::vector<int> weight;  // weights of one output pixel sum to 256
};

Taps AreaTaps(int outStart, int outCount, double scale, int srcStart, int srcLimit) {
    Taps t;
    t.perPixel = static_cast<int>(std::ceil(1.0 / scale)) + 1;
    t.index.assign(static_cast<std::size_t>(outCount) * t.perPixel, 0);
    t.weight.assign(t.index.size(), 0);
    for (int i = 0; i < outCount; ++i) {
        double a = (outStart + i) / scale, b = (outStart + i + 1) / scale;
        a = std::min(a, srcLimit - 1.0);
        b = std::clamp(b, a + 1e-9, static_cast<double>(srcLimit));
        const int lo = static_cast<int>(std::floor(a));
        const int hi = std::min(lo + t.perPixel, std::max(lo + 1, static_cast<int>(std::ceil(b))));
        const double span = b - a;
        int* index = &t.index[static_cast<std::size_t>(i) * t.perPixel];
        int* weight = &t.weight[static_cast<std::size_t>(i) * t.perPixel];
        int given = 0, biggest = 0;
        for (int s = lo; s < hi; ++s) {
            const double cover = (std::min(b, s + 1.0) - std::max(a, static_cast<double>(s))) / span;
            const int k = s - lo;
            index[k] = s - srcStart;
            weight[k] = static_cast<int>(cover * 256 + 0.5);
            given += weight[k];
            if (weight[k] > weight[biggest]) biggest = k;
        }
        for (int k = hi - lo; k < t.perPixel; ++k) index[k] = lo - srcStart;  // weight 0
        weight[biggest] += 256 - given;  // rounding goes to the largest share
    }
    return t;
}

template <int K>
void AcrossFixed(const std::uint16_t* src, const int* idx, const int* wt, int count, uchar* dst) {
    for (int x = 0; x < count; ++x, idx += K, wt += K) {
        std::uint32_t sum = 1u << 15;
        for (int k = 0; k < K; ++k) sum += static_cast<std::uint32_t>(wt[k]) * src[idx[k]];
        dst[x] = static_cast<uchar>(std::min<std::uint32_t>(255, sum >> 16));
    }
}

// One output row from a row of 8.8 sums.
void AcrossRow(const std::uint16_t* src, const int* idx, const int* wt, int perPixel, int count, uchar* dst) {
    switch (perPixel) {
        case 2:
            return AcrossFixed<2>(src, idx, wt, count, dst);
        case 3:
            return AcrossFixed<3>(src, idx, wt, count, dst);
        default:
            for (int x = 0; x < count; ++x, idx += perPixel, wt += perPixel) {
                std::uint32_t sum = 1u << 15;
                for (int k = 0; k < perPixel; ++k) sum += static_cast<std::uint32_t>(wt[k]) * src[idx[k]];
                dst[x] = static_cast<uchar>(std::min<std::uint32_t>(255, sum >> 16));
            }
    }
}

}  // namespace

double FitZoom(QSize room, QSize page) {
    if (page.isEmpty()) return 1.0;
    return ViewZoom(std::min(double(room.width()) / page.width(), double(room.height()) / page.height()));
}

double FitWidthZoom(QSize room, QSize page, int bar) {
    if (page.isEmpty()) return 1.0;
    const double whole = double(room.width()) / page.width();
    if (page.height() * whole <= room.height()) return ViewZoom(whole);
    return ViewZoom(double(std::max(1, room.width() - bar)) / page.width());
}

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
    const int outW = target.width(), outH = target.height();
    const l_uint32* gdata = pixGetData(grey.pix);
    const int gwpl = pixGetWpl(grey.pix);

    // Down first, on whole grey rows (contiguous, vectorised), into 8.8 fixed point;
    // then across. Leptonica keeps 8-bit pixels in native words, so byte x of a row sits
    // at address x ^ 3 on a little-endian machine; the first pass keeps that order.
    const int swizzle = std::endian::native == std::endian::little ? 3 : 0;
    const std::size_t rowBytes = static_cast<std::size_t>(gwpl) * 4;
    std::vector<std::uint16_t> down(rowBytes);
    std::vector<int> byteIndex(tx.index.size());
    for (std::size_t i = 0; i < byteIndex.size(); ++i) byteIndex[i] = tx.index[i] ^ swizzle;
    QImage out(target.size(), QImage::Format_Grayscale8);
    if (out.isNull()) throw ImageError(kErrOutOfMemory, "no memory for the rendered page");
    for (int y = 0; y < outH; ++y) {
        std::fill(down.begin(), down.end(), 0);
        for (int k = 0; k < ty.perPixel; ++k) {
            const std::size_t tap = static_cast<std::size_t>(y) * ty.perPixel + k;
            const auto wy = static_cast<std::uint16_t>(ty.weight[tap]);
            if (wy == 0) continue;
            const auto* line =
                reinterpret_cast<const std::uint8_t*>(gdata + static_cast<std::size_t>(ty.index[tap]) * gwpl);
            for (std::size_t i = 0; i < rowBytes; ++i)
                down[i] = static_cast<std::uint16_t>(down[i] + wy * line[i]);
        }
        AcrossRow(down.data(), byteIndex.data(), tx.weight.data(), tx.perPixel, outW, out.scanLine(y));
    }
    return out;
}

}  // namespace velk
