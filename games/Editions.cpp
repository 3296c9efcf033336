#include "games/Editions.h"

#include <stdexcept>

namespace tolvi {

namespace {

constexpr std::array kStraightAndBox {BetKind::Straight, BetKind::Box};
constexpr std::array kMiniOnly {BetKind::Mini};
constexpr std::array kStraightBoxAndMini {BetKind::Straight, BetKind::Box, BetKind::Mini};

}  // namespace

const EditionDescription& describe(Edition edition)
{
    static const EditionDescription numbers3 {Edition::Numbers3,
                                              "Tolvi Numbers3",
                                              "Tolvi Numbers3 Ver1.6c",
                                              "TolviNumbers3",
                                              "numbers3",
                                              "Tolvi ナンバーズ3",
                                              Game::Numbers3,
                                              kStraightAndBox,
                                              kStraightBoxAndMini,
                                              3,
                                              0};
    static const EditionDescription mini {Edition::Mini,
                                          "Tolvi NumbersMini",
                                          "Tolvi NumbersMini Ver1.6c",
                                          "TolviNumbersMini",
                                          "mini",
                                          "Tolvi ナンバーズミニ",
                                          Game::Numbers3,
                                          kMiniOnly,
                                          kMiniOnly,
                                          2,
                                          1};
    switch (edition) {
    case Edition::Numbers3: return numbers3;
    case Edition::Mini: return mini;
    }
    throw std::logic_error("unknown edition");
}

int EditionDescription::pricePerCandidate() const
{
    return int(purchase.size()) * describe(game).ticketPrice;
}

}  // namespace tolvi
