#pragma once
// The Numbers3 run written the plain way: the file read in 87-byte reads straight from disk,
// every comparison made on strings in the order the rules give them. Slow on purpose; the
// engine's results must be exactly the same.

#include "design/RunCaptions.h"
#include "engine/PredictionEngine.h"

namespace tolvi::test {

class LiteralNumbers3Engine : public PredictionEngine {
public:
    void run(const RunRequest& request, RunView& view) override;
};

}  // namespace tolvi::test
