// The cumulative index: input is "key\nfile". Every search order runs on the file.
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_target.h"
#include "index/cumulative_index.h"

VELK_FUZZ_TARGET(cumindex) {
    using namespace velk;
    auto [key, file] = fuzz::SplitInput(fuzz::Bytes(data, size));
    const auto path = fuzz::WriteScratch("cum.idx", file);
    try {
        CumIndexFile index(path);
        (void)SearchByPrefix(index, key);
        (void)SearchExact(index, key);
        (void)SearchByValue(index, key);
        const std::int32_t n = index.count();
        for (std::int32_t r : {std::int32_t{1}, n / 2, n})
            if (r >= 1) {
                const CumRecord rec = index.record(r);
                (void)FindEntryText(rec);
                (void)AssignListEntryText(rec);
                (void)EntryDocNo(FindEntryText(rec));
            }
        if (index.preload()) (void)SearchByPrefix(index, key);
    } catch (const std::exception&) {
        // a refused file is a good outcome
    }
    return 0;
}
