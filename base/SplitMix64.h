#pragma once
// The random numbers behind every simulated buyer (the charts' band, the verdict's buyers, the
// ledger's band): SplitMix64, small, fast and the same on every platform, so that the same
// history and seed always give the same figures.

#include <cstdint>

namespace tolvi {

class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) { }

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in 0 .. n-1 (n far below 2^32).
    int below(int n) { return int(((next() >> 32) * std::uint64_t(n)) >> 32); }
    // Uniform in (0, 1].
    double unit() { return double((next() >> 11) + 1) * 0x1.0p-53; }

private:
    std::uint64_t state_;
};

}  // namespace tolvi
