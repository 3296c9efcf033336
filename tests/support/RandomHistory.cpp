#include "support/RandomHistory.h"

#include "support/HistoryBuilder.h"

#include <random>

namespace tolvi::test {

std::string randomHistory(const RandomHistoryOptions& options)
{
    std::mt19937 random(options.seed);
    std::uniform_int_distribution<int> digits(0, 999);
    std::uniform_real_distribution<double> share(0.0, 1.0);
    std::uniform_int_distribution<int> straight(40000, 200000), box(7000, 35000), mini(4000, 20000);
    std::string bytes;
    bytes.reserve(std::size_t(options.records) * 88 + 1);
    for (int i = 0; i < options.records; ++i) {
        if (share(random) < options.commentShare)
            bytes += commentRecord("note " + std::to_string(i));
        const int draw = options.firstDraw + i;
        const bool noResult = share(random) < options.noResultShare;
        const int number = digits(random);
        char winning[4] = {char('0' + number / 100), char('0' + number / 10 % 10), char('0' + number % 10), 0};
        const int s = straight(random), b = box(random);
        bytes += drawRecord({draw, noResult ? "---" : winning, s, b, s / 2 + b / 2, b / 2, mini(random)});
    }
    if (options.endOfFileByte)
        bytes += '\x1A';
    return bytes;
}

}  // namespace tolvi::test
