#pragma once
// The two programs over the one core. An edition predicts one game and buys its prediction in one
// way; its window, engine and design rows are looked up by the edition in their own layers, each
// with a case for every edition (the build fails on a switch that misses one).

#include "games/Games.h"

#include <array>
#include <cstddef>
#include <span>

namespace tolvi {

enum class Edition { Numbers3, Mini };
inline constexpr std::array kEditions {Edition::Numbers3, Edition::Mini};
// Tables by edition are indexed by the enum's value: kEditions lists every value in that order.
static_assert([] {
    for (std::size_t i = 0; i < kEditions.size(); ++i)
        if (std::size_t(kEditions[i]) != i)
            return false;
    return true;
}());

struct EditionDescription {
    Edition edition;
    const char* applicationTitle;  // task bar and message boxes
    const char* windowCaption;     // set by FormCreate
    const char* programName;       // executable, and the settings file's base name
    const char* toolName;          // the tool's --edition word
    const char* menuEntry;         // the desktop's menu entry, as the first start names it
    Game game;
    // How its prediction is bought, for the payback rate and the statistics: Numbers3 each
    // candidate as a straight and a box bet (a straight hit is a box hit too), Mini each
    // candidate as a mini bet.
    std::span<const BetKind> purchase;
    // The hits its run counts, as the summary and the charts list them: Numbers3 straight, box
    // and mini (the last two digits of a candidate); Mini the mini.
    std::span<const BetKind> countedHits;
    int predictedDigits;  // the last digits a candidate covers: 3, or 2 for the mini
    int firstPlace;       // the first of the game's places the prediction covers (0 hundreds)

    // Yen per candidate and draw number: one 口 of every kind bought.
    int pricePerCandidate() const;
};

const EditionDescription& describe(Edition edition);

}  // namespace tolvi
