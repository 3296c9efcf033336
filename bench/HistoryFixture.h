#pragma once
// A generated history of a given length written to a temporary Numbers.dat, shared by the
// benchmarks of one length.

#include "support/RandomHistory.h"
#include "support/TempDir.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace tolvi::bench {

// Uniform random digits, prizes in the ranges real draws pay, a few comment and "---" records;
// the same bytes for the same length on every machine (the length is the seed).
inline std::string generatedHistory(int records)
{
    test::RandomHistoryOptions options;
    options.records = records;
    options.seed = std::uint32_t(records);
    return test::randomHistory(options);
}

inline const std::filesystem::path& historyOfLength(int records)
{
    static std::map<int, std::unique_ptr<test::TempDir>> folders;
    static std::map<int, std::filesystem::path> paths;
    auto& folder = folders[records];
    if (!folder) {
        folder = std::make_unique<test::TempDir>();
        paths[records] = folder->write("Numbers.dat", generatedHistory(records));
    }
    return paths[records];
}

}  // namespace tolvi::bench
