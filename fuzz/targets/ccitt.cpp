// Raw CCITT page data as a container page holds it: the first 6 bytes give width,
// height, fill order and coding as a page record would; the rest is the data.
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_target.h"
#include "viewer/imaging/page_image.h"

VELK_FUZZ_TARGET(ccitt) {
    using namespace velk;
    if (size < 6) return 0;
    RawPageSpec spec;
    spec.width = data[0] | (data[1] << 8);
    spec.height = data[2] | (data[3] << 8);
    spec.fillOrder = data[4] % 2 ? 2 : 1;
    spec.ccittType = 2 + data[5] % 3;
    const auto path = fuzz::WriteScratch("raw.g4", fuzz::Bytes(data + 6, size - 6));
    try {
        PageImage image = PageImage::loadRaw(path, spec);
        (void)image.width();
    } catch (const std::exception&) {
    }
    return 0;
}
