// Page containers: the first byte picks the page; the header and offset table are read
// as the viewer reads them, then the page is decoded.
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_target.h"
#include "viewer/imaging/page_image.h"
#include "viewer/page_loading.h"

VELK_FUZZ_TARGET(container) {
    using namespace velk;
    if (size == 0) return 0;
    fuzz::QuietApp q;
    const auto path = fuzz::WriteScratch("DOCS/5123456", fuzz::Bytes(data + 1, size - 1)).string();
    const Int16 page(static_cast<int>(data[0] % 8) + 1);
    if (!GetPage(q.app, path, "5123456", page)) return 0;
    const PageFileInfo& info = q.app.doc.Page;
    RawPageSpec spec;
    spec.offset = static_cast<std::uint64_t>(PageDataOffset(info));
    spec.width = info.XSize.value();
    spec.height = info.YSize.value();
    try {
        PageImage image = PageImage::loadRaw(path, spec);
        (void)image.width();
    } catch (const std::exception&) {
    }
    return 0;
}
