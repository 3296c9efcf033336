#pragma once
// The views players read the draws through — how often each digit came in each place, every
// number and ミニ, the digit sums, the shapes, how long each digit has stayed away, digits carried
// over from the previous draw and the pairs — each beside its exact value under pure chance and a
// test of the difference, with Holm's correction over every test shown together.

#include "analysis/ChanceTests.h"
#include "analysis/DrawSeries.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace tolvi {

using DigitCounts = std::array<long, 10>;

// What uniform draws of a game give, found by walking every number of the game once.
struct ExactModel {
    std::vector<double> sum;             // P(digit sum = s), s = 0 .. 9 x digits
    std::vector<std::string> shapeKeys;  // "single", "double", ... in the order of shapeNames
    std::vector<std::string> shapeNames; // "シングル", "ダブル", ...
    std::vector<double> shape;
    double repeatAny = 0;  // P(a draw holds a digit of the draw before)
    double samePlace = 0;  // P(a place repeats its digit)
};
const ExactModel& exactModel(Game game);

// The shape of `number`: its index in ExactModel::shapeKeys.
std::size_t shapeOf(Game game, int number);

// How long a digit (or number) has stayed away, in draws: 0 when it came in the last draw.
struct Absence {
    long current = 0;
    long longest = 0;
    bool seen = false;              // came at least once in the range
    double chanceOfCurrent = 1;     // P(an absence at least this long) under chance: (1-p)^current
};

struct PairCounts {
    std::string key, name;
    int first = 0, second = 0;      // places, 0 the leftmost
    std::array<long, 100> counts {};  // by the two digits read as a number
    ChiSquare test;
};

struct DrawAnalysis {
    Game game = Game::Numbers3;
    long draws = 0;
    std::string range;  // "第1回～第6500回 (6,500 回)"

    std::vector<DigitCounts> positions;  // per place, leftmost first
    std::vector<ChiSquare> positionTests;
    std::vector<long> numbers;           // every number's count
    ChiSquare numbersTest;
    std::array<long, 100> mini {};       // the last two digits
    ChiSquare miniTest;
    std::vector<PairCounts> pairs;       // every other pair of places
    std::vector<long> sums;              // by digit sum
    std::vector<double> sumExpected;
    ChiSquare sumTest;
    std::vector<long> shapes;            // by ExactModel::shapeKeys
    std::vector<double> shapeExpected;
    ChiSquare shapeTest;
    std::vector<long> odd, high;         // per place: odd digits, digits 5-9
    std::vector<ChiSquare> oddTests, highTests;
    std::vector<std::array<Absence, 10>> digitAbsences;  // per place and digit
    std::vector<ChiSquare> gapTests;     // per place: the gaps between a digit's comings, against geometric
    std::vector<Absence> numberAbsences;
    long repeatDraws = 0;                // draws with a previous one in the range
    long repeatAny = 0;                  // of them, holding a digit of the previous draw
    double repeatExpected = 0;
    ChiSquare repeatTest;
    std::vector<long> samePlace;         // per place: the same digit as the previous draw
    std::vector<ChiSquare> samePlaceTests;

    std::vector<TestResult> tests;       // all of the above, Holm-adjusted together
};

DrawAnalysis analyzeDraws(Game game, std::span<const Draw> draws);

// "百の位" for the place `place` (0 the leftmost) of `game`.
std::string placeName(Game game, int place);
// The digit of `number` in `place` (0 the leftmost).
int digitAt(Game game, int number, int place);

}  // namespace tolvi
