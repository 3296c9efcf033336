#pragma once
// A generated history of a given length written to a temporary Numbers.dat, shared by the
// benchmarks of one length.

#include "support/RandomHistory.h"
#include "support/TempDir.h"

#include <filesystem>
#include <map>
#include <memory>

namespace tolvi::bench {

inline const std::filesystem::path& historyOfLength(int records)
{
    static std::map<int, std::unique_ptr<test::TempDir>> folders;
    auto& folder = folders[records];
    if (!folder) {
        folder = std::make_unique<test::TempDir>();
        test::RandomHistoryOptions options;
        options.records = records;
        options.seed = std::uint32_t(records);
        folder->write("Numbers.dat", test::randomHistory(options));
    }
    static std::map<int, std::filesystem::path> paths;
    return paths[records] = folder->file("Numbers.dat");
}

}  // namespace tolvi::bench
