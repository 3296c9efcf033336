#include "design/RunCaptions.h"

#include "base/NumberFormat.h"

#include <array>

namespace tolvi {

namespace {

// Where the editions' windows word a result differently.
struct EditionCaptions {
    Edition edition;
    // The mini hit count: "%2d" in Numbers3, seven spaces and "%3d" in Mini.
    const char* miniCountPadding;
    int miniCountWidth;
    // A prediction may list fewer than four numbers: the first label then says "なし" and the
    // labels without a number are hidden.
    bool listsFewerNumbers;
};

constexpr std::array<EditionCaptions, kEditions.size()> kEditionCaptions {{
    {Edition::Numbers3, "", 2, false},
    {Edition::Mini, "       ", 3, true},
}};
static_assert([] {
    for (std::size_t i = 0; i < kEditions.size(); ++i)
        if (kEditionCaptions[i].edition != kEditions[i])
            return false;
    return true;
}());

const EditionCaptions& captionsOf(Edition edition)
{
    return kEditionCaptions[std::size_t(edition)];
}

constexpr std::array kCandidateLabels {RunControl::Candidate1, RunControl::Candidate2, RunControl::Candidate3,
                                       RunControl::Candidate4};

// The Japanese word for what hit the last draw record.
const char* hitKindText(const LastDrawHits& hits)
{
    return hits.straight != 0 ? "ストレート＆ボックス" : hits.box != 0 ? "ボックス" : "ミニ";
}

void addText(std::vector<RunCaption>& out, RunControl label, std::string text)
{
    out.push_back({RunCaption::Kind::Text, label, std::move(text)});
}

void addPrediction(std::vector<RunCaption>& out, const RunResult& result)
{
    const EditionDescription& edition = describe(result.edition);
    const GameDescription& game = describe(edition.game);
    const Prediction& prediction = result.prediction;
    addText(out, RunControl::NextDrawCaption, "次回 " + formatInt(prediction.nextDrawNumber, 4) + "回抽選予想番号");
    const auto numberText = [&](std::size_t k) {
        return game.numberText(prediction.numbers[k]).substr(std::size_t(game.digits - edition.predictedDigits));
    };
    if (!captionsOf(result.edition).listsFewerNumbers) {
        for (std::size_t k = 0; k < kCandidateLabels.size(); ++k)
            addText(out, kCandidateLabels[k], numberText(k));
        return;
    }
    for (std::size_t k = 0; k < kCandidateLabels.size(); ++k) {
        const bool exists = k < prediction.numbers.size();
        addText(out, kCandidateLabels[k], exists ? numberText(k) : k == 0 ? "なし" : "");
        out.push_back({exists || k == 0 ? RunCaption::Kind::Show : RunCaption::Kind::Hide, kCandidateLabels[k], {}});
    }
}

void addFinish(std::vector<RunCaption>& out, const RunResult& result)
{
    const RunTotals& totals = result.totals;
    const std::string& separator = result.groupSeparator;
    const EditionCaptions& captions = captionsOf(result.edition);
    auto amount = [&](std::int32_t sum) { return "金額：" + formatGrouped(sum, 10, separator) + "円"; };
    addText(out, RunControl::StraightHits, "ｽﾄﾚｰﾄ的中数：" + formatInt(totals.straightHits, 2) + "本");
    addText(out, RunControl::BoxHits, "ﾎﾞｯｸｽ的中数：" + formatInt(totals.boxHits, 2) + "本");
    addText(out, RunControl::MiniHits,
            "ﾐﾆ   的中数：" + std::string(captions.miniCountPadding) +
                formatInt(totals.miniHits, captions.miniCountWidth) + "本");
    addText(out, RunControl::StraightAmount, amount(totals.straightSum));
    addText(out, RunControl::BoxAmount, amount(totals.boxSum));
    addText(out, RunControl::MiniAmount, amount(totals.miniSum));
    out.push_back({RunCaption::Kind::DisableCommands, RunControl::PayoutPanel, {}});
    out.push_back({RunCaption::Kind::OpenPanel, RunControl::PayoutPanel, {}});
    addText(out, RunControl::PayoutTotal, formatGrouped(result.returned, 12, separator));
    if (result.paybackRate)
        addText(out, RunControl::PaybackRate, formatInt(*result.paybackRate, 3));
}

}  // namespace

std::vector<RunCaption> runCaptions(const RunResult& result, RunPart part)
{
    std::vector<RunCaption> out;
    switch (part) {
    case RunPart::Stake: addText(out, RunControl::TicketsBought, formatInt(result.ticketsBought, 0)); break;
    case RunPart::HitPanel:
        out.push_back({RunCaption::Kind::OpenPanel, RunControl::HitPanel, {}});
        addText(out, RunControl::HitDrawNumber, formatInt(result.lastDrawHits.drawNumber, 4));
        addText(out, RunControl::HitWinningNumber, result.lastDrawHits.winningNumber);
        addText(out, RunControl::HitKind, hitKindText(result.lastDrawHits));
        break;
    case RunPart::Prediction: addPrediction(out, result); break;
    case RunPart::Finished: addFinish(out, result); break;
    }
    return out;
}

void LabelView::show(const RunResult& result, RunPart part)
{
    for (RunCaption& caption : runCaptions(result, part)) {
        switch (caption.kind) {
        case RunCaption::Kind::Text: setText(caption.control, std::move(caption.text)); break;
        case RunCaption::Kind::Show: setVisible(caption.control, true); break;
        case RunCaption::Kind::Hide: setVisible(caption.control, false); break;
        case RunCaption::Kind::OpenPanel: openPanel(caption.control); break;
        case RunCaption::Kind::DisableCommands: disableCommands(); break;
        }
    }
}

}  // namespace tolvi
