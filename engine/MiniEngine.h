#pragma once
// The Mini edition's prediction run.

#include "engine/PredictionEngine.h"

namespace tolvi {

class MiniEngine : public PredictionEngine {
public:
    void run(const RunRequest& request, RunView& view) override;
};

}  // namespace tolvi
