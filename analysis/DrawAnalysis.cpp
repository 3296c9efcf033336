#include "analysis/DrawAnalysis.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace tolvi {

namespace {

int powerOfTen(int exponent)
{
    int value = 1;
    while (exponent-- > 0)
        value *= 10;
    return value;
}

std::array<int, 10> digitMultiplicities(Game game, int number)
{
    std::array<int, 10> counts {};
    for (int place = 0; place < describe(game).digits; ++place)
        ++counts[std::size_t(digitAt(game, number, place))];
    return counts;
}

// A shape is named by how often its most frequent digit occurs and by how many digits occur twice.
struct ShapeName {
    int most, doubles;
    const char* key;
    const char* name;
};
constexpr std::array kShapeNames {
    ShapeName {1, 0, "single", "シングル"},     ShapeName {2, 1, "double", "ダブル"},
    ShapeName {2, 2, "double_double", "ダブルダブル"}, ShapeName {3, 0, "triple", "トリプル"},
    ShapeName {4, 0, "quadruple", "クワッド"},
};

std::size_t shapeNameIndex(Game game, int number)
{
    const std::array<int, 10> counts = digitMultiplicities(game, number);
    const int most = *std::max_element(counts.begin(), counts.end());
    const int doubles = int(std::count(counts.begin(), counts.end(), 2));
    for (std::size_t i = 0; i < kShapeNames.size(); ++i)
        if (kShapeNames[i].most == most && (most != 2 || kShapeNames[i].doubles == doubles))
            return i;
    return kShapeNames.size() - 1;  // no game has more than four places
}

ExactModel buildModel(Game game)
{
    const GameDescription& g = describe(game);
    ExactModel model;
    model.sum.assign(std::size_t(9 * g.digits + 1), 0.0);
    std::map<std::size_t, long> shapes;
    long repeatCount = 0;
    const long space = g.numberSpace;
    for (int number = 0; number < g.numberSpace; ++number) {
        const std::array<int, 10> counts = digitMultiplicities(game, number);
        int sum = 0;
        for (int d = 0; d < 10; ++d)
            sum += d * counts[std::size_t(d)];
        model.sum[std::size_t(sum)] += 1.0;
        ++shapes[shapeNameIndex(game, number)];
        // The draws after this one that hold none of its k distinct digits: (10-k)^digits of them.
        const int distinct = int(10 - std::count(counts.begin(), counts.end(), 0));
        repeatCount += space - long(std::pow(10 - distinct, g.digits) + 0.5);
    }
    for (double& p : model.sum)
        p /= double(space);
    for (const auto& [index, count] : shapes) {
        model.shapeKeys.push_back(kShapeNames[index].key);
        model.shapeNames.push_back(kShapeNames[index].name);
        model.shape.push_back(double(count) / double(space));
    }
    model.repeatAny = double(repeatCount) / (double(space) * double(space));
    // A place repeats when the next draw's digit there equals this one's: 10 of the 100 pairs.
    long same = 0;
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 10; ++b)
            same += a == b;
    model.samePlace = double(same) / 100.0;
    return model;
}

// Counts of two outcomes against their exact probabilities.
ChiSquare twoWay(long hits, long n, double p)
{
    const std::array<long, 2> counts {hits, n - hits};
    const std::array<double, 2> probabilities {p, 1 - p};
    return chiSquareTest(counts, probabilities);
}

// Absences of one item that comes with probability `p` per draw, from the draws it came in.
Absence absenceOf(const std::vector<long>& comings, long draws, double p)
{
    Absence absence;
    long previous = -1;
    for (const long at : comings) {
        absence.longest = std::max(absence.longest, at - previous - 1);
        previous = at;
    }
    absence.seen = !comings.empty();
    absence.current = draws - previous - 1;
    absence.longest = std::max(absence.longest, absence.current);
    absence.chanceOfCurrent = std::pow(1 - p, double(absence.current));
    return absence;
}

// The gaps between consecutive comings of a place's digits against the geometric distribution:
// P(gap = g) = p (1-p)^(g-1), the cells beyond the longest likely gap pooled into one.
ChiSquare gapTest(const std::array<std::vector<long>, 10>& comings, double p)
{
    const std::size_t cells = std::size_t(std::ceil(std::log(1e-4) / std::log(1 - p)));
    std::vector<long> counts(cells + 1, 0);
    std::vector<double> probabilities(cells + 1, 0.0);
    for (const std::vector<long>& at : comings)
        for (std::size_t i = 1; i < at.size(); ++i)
            ++counts[std::min(std::size_t(at[i] - at[i - 1]), cells + 1) - 1];
    double tail = 1;
    for (std::size_t g = 1; g <= cells; ++g) {
        probabilities[g - 1] = p * std::pow(1 - p, double(g - 1));
        tail -= probabilities[g - 1];
    }
    probabilities[cells] = tail;
    return chiSquareTest(counts, probabilities);
}

std::string pairName(Game game, int first, int second)
{
    if (first == 0 && second == 1)
        return "前ペア";
    return "飛びペア (" + placeName(game, first) + "・" + placeName(game, second) + ")";
}

}  // namespace

const ExactModel& exactModel(Game game)
{
    static const std::array<ExactModel, kGames.size()> models = [] {
        std::array<ExactModel, kGames.size()> built;
        for (std::size_t i = 0; i < kGames.size(); ++i)
            built[i] = buildModel(kGames[i]);
        return built;
    }();
    return models[std::size_t(std::find(kGames.begin(), kGames.end(), game) - kGames.begin())];
}

std::size_t shapeOf(Game game, int number)
{
    const ExactModel& model = exactModel(game);
    const std::string key = kShapeNames[shapeNameIndex(game, number)].key;
    return std::size_t(std::find(model.shapeKeys.begin(), model.shapeKeys.end(), key) - model.shapeKeys.begin());
}

std::string placeName(Game game, int place)
{
    static constexpr std::array kNames {"一の位", "十の位", "百の位", "千の位"};
    return kNames[std::size_t(describe(game).digits - 1 - place)];
}

int digitAt(Game game, int number, int place)
{
    return number / powerOfTen(describe(game).digits - 1 - place) % 10;
}

DrawAnalysis analyzeDraws(Game game, std::span<const Draw> draws)
{
    const GameDescription& g = describe(game);
    const ExactModel& model = exactModel(game);
    const std::size_t places = std::size_t(g.digits);
    const long n = long(draws.size());
    DrawAnalysis a;
    a.game = game;
    a.draws = n;
    a.range = rangeText(draws);
    a.positions.assign(places, {});
    a.numbers.assign(std::size_t(g.numberSpace), 0);
    a.sums.assign(model.sum.size(), 0);
    a.shapes.assign(model.shape.size(), 0);
    a.odd.assign(places, 0);
    a.high.assign(places, 0);
    a.samePlace.assign(places, 0);
    std::vector<std::array<std::vector<long>, 10>> digitComings(places);
    std::vector<std::vector<long>> numberComings(std::size_t(g.numberSpace));

    for (long i = 0; i < n; ++i) {
        const int number = draws[std::size_t(i)].number;
        ++a.numbers[std::size_t(number)];
        ++a.mini[std::size_t(number % 100)];
        numberComings[std::size_t(number)].push_back(i);
        ++a.shapes[shapeOf(game, number)];
        int sum = 0;
        std::array<bool, 10> inPrevious {};
        if (i > 0)
            for (std::size_t p = 0; p < places; ++p)
                inPrevious[std::size_t(digitAt(game, draws[std::size_t(i - 1)].number, int(p)))] = true;
        bool repeats = false;
        for (std::size_t p = 0; p < places; ++p) {
            const int digit = digitAt(game, number, int(p));
            sum += digit;
            ++a.positions[p][std::size_t(digit)];
            a.odd[p] += digit % 2;
            a.high[p] += digit >= 5;
            digitComings[p][std::size_t(digit)].push_back(i);
            repeats = repeats || inPrevious[std::size_t(digit)];
            if (i > 0)
                a.samePlace[p] += digit == digitAt(game, draws[std::size_t(i - 1)].number, int(p));
        }
        ++a.sums[std::size_t(sum)];
        a.repeatAny += repeats;
    }
    a.repeatDraws = std::max(n - 1, 0L);
    a.repeatExpected = model.repeatAny;

    const std::vector<double> uniform10(10, 0.1);
    std::vector<TestResult>& tests = a.tests;
    for (std::size_t p = 0; p < places; ++p) {
        a.positionTests.push_back(chiSquareTest(a.positions[p], uniform10));
        tests.push_back({"position" + std::to_string(p), placeName(game, int(p)) + "の数字の出方", a.positionTests[p]});
    }
    a.numbersTest = chiSquareTest(a.numbers, std::vector<double>(a.numbers.size(), 1.0 / double(g.numberSpace)));
    tests.push_back({"numbers", "番号ごとの出方", a.numbersTest});
    a.miniTest = chiSquareTest(a.mini, std::vector<double>(100, 0.01));
    tests.push_back({"mini", "ミニ (下2桁) の出方", a.miniTest});
    for (int first = 0; first < g.digits; ++first)
        for (int second = first + 1; second < g.digits; ++second) {
            if (first == g.digits - 2 && second == g.digits - 1)
                continue;  // the last two places are the ミニ
            PairCounts pair;
            pair.key = "pair" + std::to_string(first) + std::to_string(second);
            pair.name = pairName(game, first, second);
            pair.first = first;
            pair.second = second;
            for (const Draw& draw : draws)
                ++pair.counts[std::size_t(digitAt(game, draw.number, first) * 10 + digitAt(game, draw.number, second))];
            pair.test = chiSquareTest(pair.counts, std::vector<double>(100, 0.01));
            tests.push_back({pair.key, pair.name + "の出方", pair.test});
            a.pairs.push_back(std::move(pair));
        }
    a.sumTest = chiSquareTest(a.sums, model.sum);
    for (const double p : model.sum)
        a.sumExpected.push_back(p * double(n));
    tests.push_back({"sum", "合計値の分布", a.sumTest});
    a.shapeTest = chiSquareTest(a.shapes, model.shape);
    for (const double p : model.shape)
        a.shapeExpected.push_back(p * double(n));
    tests.push_back({"patterns", "シングル・ダブル・トリプルの割合", a.shapeTest});
    for (std::size_t p = 0; p < places; ++p) {
        a.oddTests.push_back(twoWay(a.odd[p], n, 0.5));
        tests.push_back({"odd" + std::to_string(p), placeName(game, int(p)) + "の奇数・偶数", a.oddTests[p]});
    }
    for (std::size_t p = 0; p < places; ++p) {
        a.highTests.push_back(twoWay(a.high[p], n, 0.5));
        tests.push_back({"high" + std::to_string(p), placeName(game, int(p)) + "の大 (5-9)・小 (0-4)", a.highTests[p]});
    }
    a.digitAbsences.resize(places);
    for (std::size_t p = 0; p < places; ++p) {
        for (std::size_t d = 0; d < 10; ++d)
            a.digitAbsences[p][d] = absenceOf(digitComings[p][d], n, 0.1);
        a.gapTests.push_back(gapTest(digitComings[p], 0.1));
        tests.push_back({"skips" + std::to_string(p), placeName(game, int(p)) + "の遅れ (間隔の分布)", a.gapTests[p]});
    }
    for (const std::vector<long>& comings : numberComings)
        a.numberAbsences.push_back(absenceOf(comings, n, 1.0 / double(g.numberSpace)));
    a.repeatTest = twoWay(a.repeatAny, a.repeatDraws, model.repeatAny);
    tests.push_back({"repeat", "引っ張り (前回の数字をひとつ以上含む)", a.repeatTest});
    for (std::size_t p = 0; p < places; ++p) {
        a.samePlaceTests.push_back(twoWay(a.samePlace[p], a.repeatDraws, model.samePlace));
        tests.push_back({"repeat" + std::to_string(p), placeName(game, int(p)) + "の引っ張り (同じ数字)", a.samePlaceTests[p]});
    }
    adjustHolm(tests);
    return a;
}

}  // namespace tolvi
