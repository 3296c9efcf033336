// libFuzzer target: checkImport() of FuzzChecks.h on every input (its first byte chooses
// the history, the rest is the results file).

#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return tolvi::fuzz::runCheck(data, size, tolvi::fuzz::checkImport);
}
