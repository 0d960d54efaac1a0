// TIFF pages through our libtiff wrapper, with its limits: every page of the file.
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_target.h"
#include "viewer/imaging/page_image.h"

VELK_FUZZ_TARGET(tiff) {
    using namespace velk;
    for (int page = 1; page <= 3; ++page) {
        try {
            PageImage image = PageImage::loadMemory(data, size, page);
            if (image.isNull()) break;
            (void)image.width();
        } catch (const std::exception&) {
            break;
        }
    }
    return 0;
}
