// Page maps: the first byte picks a text map beside a ".TIF", an image with its embedded
// map (and "META" block), or the text map of a name without extension.
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_target.h"
#include "platform/current_document.h"
#include "viewer/page_map.h"

VELK_FUZZ_TARGET(pagemap) {
    using namespace velk;
    if (size == 0) return 0;
    fuzz::QuietApp q;
    const std::string_view body = fuzz::Bytes(data + 1, size - 1);
    std::error_code ec;
    std::filesystem::remove_all(fuzz::ScratchDir() / "vol", ec);
    q.app.doc.VolumeDir = (fuzz::ScratchDir() / "vol").string();
    std::string image;
    switch (data[0] % 3) {
    case 0:
        fuzz::WriteScratch("vol/DOCS/5123456.tif", "image");
        fuzz::WriteScratch("vol/DOCS/5123456.a1a", body);
        image = "\\DOCS\\5123456.TIF";
        break;
    case 1:
        fuzz::WriteScratch("vol/DOCS/5123456.tif", body);
        image = "\\DOCS\\5123456.TIF";
        break;
    default:
        fuzz::WriteScratch("vol/maps/re12345a", body);
        image = "\\MAPS\\RE12345";
        break;
    }
    q.app.doc.LastOpenIdx.ImagePath = image;
    (void)ParsePage(q.app);
    for (int s = 0; s < 5; ++s) (void)SectionStart(q.app.doc, static_cast<Section>(s), Int16(40));
    return 0;
}
