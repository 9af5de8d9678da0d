// Replays the fuzz targets' seed corpora and every input the fuzzer kept
// (tests/fuzz/regressions/<target>/) through the same property checks the
// targets run, so a fault once found stays covered without clang.
#include "../fuzz/invariants.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kTargets = {"fuzz_extension", "fuzz_file_name", "fuzz_path", "fuzz_base_name",
                                           "fuzz_file_size"};

// tests/fuzz, found from this file's place in the sources (or
// TARNWICK_FUZZ_DIR when the sources live elsewhere at run time).
fs::path fuzzFolder() {
    if (const char* dir = std::getenv("TARNWICK_FUZZ_DIR"); dir != nullptr && *dir != '\0')
        return fs::path(dir);
    return fs::path(__FILE__).parent_path().parent_path() / "fuzz";
}

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    return files;
}

TEST(FuzzRegressions, SeedCorporaHoldEveryProperty) {
    const fs::path root = fuzzFolder();
    ASSERT_TRUE(fs::is_directory(root / "corpus")) << "no seed corpora under " << root.string();
    for (const auto& target : kTargets) {
        const auto files = filesIn(root / "corpus" / target);
        EXPECT_GE(files.size(), 5u) << "seed corpus of " << target;
        for (const auto& file : files)
            EXPECT_EQ(fuzzcheck::checkFor(target, readBytes(file)), "") << file.string();
    }
}

TEST(FuzzRegressions, KeptFuzzInputsHoldEveryProperty) {
    const fs::path root = fuzzFolder();
    ASSERT_TRUE(fs::is_directory(root)) << "no fuzz folder at " << root.string();
    for (const auto& target : kTargets)
        for (const auto& file : filesIn(root / "regressions" / target))
            EXPECT_EQ(fuzzcheck::checkFor(target, readBytes(file)), "") << file.string();
}

// The size check's own arithmetic: exact ties and the largest size are
// judged by integers, not by floating point.
TEST(FuzzRegressions, SizeCheckAcceptsTheFormatterOnTiesAndExtremes) {
    for (const std::uint64_t bytes : {1023ull, 1024ull, 1056ull, 1120ull, 1088ull, 1025ull * 1024ull,
                                      18446744073709551615ull, 18446744073709551615ull - 1023ull})
        EXPECT_EQ(fuzzcheck::checkFileSizeValue(bytes, ","), "") << bytes;
}

} // namespace
