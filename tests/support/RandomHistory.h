#pragma once
// Realistic random histories: uniform digits, prizes in the ranges real draws pay, a few
// comment records and draws without a Numbers3 result.

#include <cstdint>
#include <string>

namespace tolvi::test {

struct RandomHistoryOptions {
    int records = 1000;
    int firstDraw = 1;
    std::uint32_t seed = 1;
    double commentShare = 0.002;
    double noResultShare = 0.002;
    bool endOfFileByte = true;
};

std::string randomHistory(const RandomHistoryOptions& options);

}  // namespace tolvi::test
