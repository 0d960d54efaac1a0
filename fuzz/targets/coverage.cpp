// The coverage file beside the program: the number and date shown in About.
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_target.h"
#include "shell/config.h"

VELK_FUZZ_TARGET(coverage) {
    using namespace velk;
    fuzz::QuietApp q;
    fuzz::WriteScratch("p_RegNo.ASC", fuzz::Bytes(data, size));
    ReadCoverage(q.app);
    return 0;
}
