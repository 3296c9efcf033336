// libFuzzer target: checkImport() of ImportFuzzChecks.h on every input (its first byte chooses
// the history, the rest is the results file).

#include "fuzz/FuzzTarget.h"
#include "fuzz/ImportFuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return tolvi::fuzz::runCheck(data, size, tolvi::fuzz::checkImport);
}
