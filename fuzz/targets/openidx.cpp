// A volume's open.idx: input is "document number\nfile".
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_target.h"
#include "viewer/document_locator.h"

VELK_FUZZ_TARGET(openidx) {
    using namespace velk;
    auto [docNo, file] = fuzz::SplitInput(fuzz::Bytes(data, size));
    const auto path = fuzz::WriteScratch("open.idx", file);
    try {
        RecordFile openIdx(path, kOpenIdxRecordLength);
        RecordHit hit = SearchOpenIdx(openIdx, std::string(docNo));
        if (hit.found) (void)ParseOpenIdxRecord(hit.bytes);
        for (std::int32_t r = 1; r <= openIdx.count() && r <= 3; ++r) (void)ParseOpenIdxRecord(openIdx.read(r));
    } catch (const std::exception&) {
    }
    return 0;
}
