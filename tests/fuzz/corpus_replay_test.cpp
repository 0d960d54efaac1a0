// Every fuzz target over its committed corpus: the seeds and every input that once
// crashed, hung or ran out of memory. A regression shows as a crash or a sanitizer report.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "fuzz/fuzz_target.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FuzzCorpus, EveryTargetHasSeedsAndSurvivesThem) {
    const fs::path corpus = fs::path(VELK_SOURCE_DIR) / "fuzz" / "corpus";
    const auto& targets = fuzz::Targets();
    ASSERT_GE(targets.size(), 9u);
    std::set<std::string> names;
    for (const auto& t : targets) {
        EXPECT_TRUE(names.insert(t.name).second) << "two targets named " << t.name;
        const fs::path dir = corpus / t.name;
        ASSERT_TRUE(fs::is_directory(dir)) << dir;
        int inputs = 0;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            const std::string bytes = ReadAll(entry.path());
            SCOPED_TRACE(entry.path().string());
            const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
            EXPECT_EQ(t.fn(data, bytes.size()), 0);
            // Cut short where a reader would stop mid-record, mid-header or mid-strip.
            for (std::size_t cut : {std::size_t{1}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1})
                if (cut > 0 && cut < bytes.size()) {
                    EXPECT_EQ(t.fn(data, cut), 0) << "cut at " << cut;
                }
            ++inputs;
        }
        EXPECT_GT(inputs, 0) << t.name << " has no corpus";
    }
    // The directory names no target that is gone.
    for (const auto& entry : fs::directory_iterator(corpus))
        if (entry.is_directory()) {
            EXPECT_TRUE(names.count(entry.path().filename().string())) << entry.path();
        }
}

}  // namespace
}  // namespace velk
