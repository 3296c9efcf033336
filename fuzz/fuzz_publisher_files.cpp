// libFuzzer target: checkPublisherFiles() of FuzzChecks.h on every input (as a per-draw file and
// as the list file).

#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return tolvi::fuzz::runCheck(data, size, tolvi::fuzz::checkPublisherFiles);
}
