#pragma once
// A prediction run of one edition: the timer's handler hands it the window's inputs and the
// window itself as a RunView.

#include "engine/RunResult.h"
#include "engine/RunView.h"

#include <filesystem>
#include <string>

namespace tolvi {

inline constexpr int kPredictionTag = 0;          // "予想"
inline constexpr int kFactorEvaluationTag = 999;  // "要素評価"

struct RunRequest {
    int tag = kPredictionTag;              // WkupTim.Tag: 0 prediction, otherwise factor evaluation
    bool mismatch = true;                  // MismatchChk.Checked
    std::string candidateCountText = "4";  // EditNum.Text (read by the Numbers3 edition only)
    std::filesystem::path historyPath = "Numbers.dat";
    std::string groupSeparator = ",";  // thousands separator for "%10.0n" and "%12.0n"
    bool keepDraws = false;            // the result keeps every draw record a pass scores
};

class PredictionEngine {
public:
    virtual ~PredictionEngine() = default;
    // One whole run. Errors (IoError, ConversionError) end it where they occur; whatever was
    // shown until then stays shown. The view is shown each part of the result as it changes.
    virtual void run(const RunRequest& request, RunView& view) = 0;
};

}  // namespace tolvi
