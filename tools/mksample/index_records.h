#pragma once
// Document numbers of a collection and the fixed-length record files that list
// them: the cumulative index (26-byte records) and a volume's open.idx (50 bytes).
#include <cstdint>
#include <string>
#include <vector>

#include "tools/mksample/mksample.h"

namespace velk::mksample {

// The numbers of a whole cumulative index, in index order, without storing them:
// each kind of number (utility, design, ... patents; short and long registration
// numbers; reel/frame) is a run of evenly spread values whose k-th member is a
// function of the seed, so a million records cost no memory and no sort.
class NumberPlan {
public:
    // total records, of which present are documents on the generated volumes.
    NumberPlan(Collection collection, long total, int present, std::uint64_t seed);

    long total() const { return total_; }
    // The present documents' numbers, in index order.
    std::vector<std::string> presentNumbers() const;
    // The highest number of the main kind (coverage file).
    std::string lastNumber() const;

    struct Present {
        std::string volume;
        int pages = 0;
    };
    // All records of the cumulative index. present[i] belongs to presentNumbers()[i];
    // the other records name volumes that are not generated (absentPrefix & number).
    std::string indexRecords(const std::vector<Present>& present, const std::string& absentPrefix,
                             int firstAbsentVolume) const;

private:
    struct Run {
        std::string prefix;
        int digits = 0;
        std::uint64_t lo = 0, span = 0;
        double share = 0;  // of the records beyond the present documents
        long count = 0;
        std::vector<long> presentAt;  // ascending member indexes
    };
    Collection collection_;
    long total_;
    std::uint64_t seed_;
    std::vector<Run> runs_;
    std::string number(std::size_t run, long k) const;
};

// "5123456 " etc.: one 26-byte cumulative index record (number 8, volume 10, pages 6, CR LF).
std::string IndexRecord(const std::string& number, const std::string& volume, int pages);
// One 50-byte open.idx record (number 8, image path 37, pages 3, CR LF); the path must fit.
std::string OpenIdxRecord(const std::string& number, const std::string& imagePath, const std::string& pages);

}  // namespace velk::mksample
