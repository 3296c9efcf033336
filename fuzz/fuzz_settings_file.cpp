// libFuzzer target: checkSettings() of FuzzChecks.h on every input.

#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return tolvi::fuzz::runCheck(data, size, tolvi::fuzz::checkSettings);
}
