#include "calculator/tip_choice.h"
#include "tests/support/scripted_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

struct ScriptedCase {
    const char* name;
    int count;
    std::vector<int> randoms;
    std::vector<int> expected; // the indices chosen, one per random value
};

// Worked by hand from the rule: start at random % count, first unshown at or
// after it, else the nearest unshown before it; all unshown again once the
// whole set has been shown.
const ScriptedCase kScripted[] = {
    {"same start walks right then left", 5, {3, 3, 3, 3, 3, 3}, {3, 4, 2, 1, 0, 3}},
    {"always first is ascending", 4, {0, 0, 0, 0, 0}, {0, 1, 2, 3, 0}},
    {"always last is descending", 4, {3, 3, 3, 3, 3}, {3, 2, 1, 0, 3}},
    // 7 -> 2, 12 -> 2 (taken, so 3), 9 -> 4 (taken, none after, back to 1);
    // the sixth pick resets the set and may repeat the fifth.
    {"wrapping values and a reset", 5, {7, 0, 12, 4, 9, 1}, {2, 0, 3, 4, 1, 1}},
    {"backward search skips shown tips", 6, {5, 4, 5, 1, 5, 5}, {5, 4, 3, 1, 2, 0}},
    // 2147483647 % 5 == 2: the largest std::rand value still lands in range.
    {"large values", 5, {2147483647, 2147483647}, {2, 3}},
    {"negative values from a foreign source", 5, {-1, -6, -5}, {4, 3, 0}},
    {"one tip", 1, {0, 17, 3, 99}, {0, 0, 0, 0}},
};

TEST(TipChooser, ScriptedSequencesGiveTheExactOrder) {
    for (const ScriptedCase& c : kScripted) {
        calculator::TipChooser chooser(c.count, Scripted(c.randoms));
        std::vector<int> got;
        for (size_t i = 0; i < c.randoms.size(); ++i)
            got.push_back(chooser.Next());
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

// Whatever the source, each run of count picks (from a fresh chooser or
// right after a reset) is a permutation of all the tips.
TEST(TipChooser, NoRepetitionWithinARoundForAnySource) {
    struct Source {
        std::string name;
        std::function<int()> random;
    };
    std::vector<Source> sources;
    for (unsigned seed : {1u, 42u, 2024u}) {
        auto engine = std::make_shared<std::mt19937>(seed);
        sources.push_back({"mt19937 seed " + std::to_string(seed),
                           [engine] { return static_cast<int>((*engine)() & 0x7fffffff); }});
    }
    sources.push_back({"constant 0", [] { return 0; }});
    sources.push_back({"constant 1000", [] { return 1000; }});
    auto counter = std::make_shared<int>(0);
    sources.push_back({"counting", [counter] { return (*counter)++; }});
    sources.push_back({"default (std::rand)", {}});
    std::srand(7);

    for (int count : {1, 2, 3, 7, 65}) {
        for (const Source& s : sources) {
            calculator::TipChooser chooser(count, s.random);
            for (int round = 0; round < 3; ++round) {
                std::set<int> seen;
                for (int i = 0; i < count; ++i) {
                    const int tip = chooser.Next();
                    ASSERT_GE(tip, 0) << s.name;
                    ASSERT_LT(tip, count) << s.name;
                    EXPECT_TRUE(seen.insert(tip).second)
                        << s.name << ": tip " << tip << " repeated in round " << round << " of "
                        << count;
                }
                EXPECT_EQ(static_cast<int>(seen.size()), count) << s.name;
                EXPECT_EQ(chooser.shownCount(), count) << s.name;
            }
        }
    }
}

TEST(TipChooser, TheSetResetsOnlyWhenEveryTipHasBeenShown) {
    calculator::TipChooser chooser(3, Scripted({1, 1, 1, 1}));
    EXPECT_EQ(chooser.Next(), 1);
    EXPECT_TRUE(chooser.shown(1));
    EXPECT_FALSE(chooser.shown(0));
    EXPECT_EQ(chooser.Next(), 2);
    EXPECT_EQ(chooser.shownCount(), 2);
    EXPECT_EQ(chooser.Next(), 0);
    EXPECT_EQ(chooser.shownCount(), 3);
    // The fourth pick clears the set first: only the new pick is shown.
    EXPECT_EQ(chooser.Next(), 1);
    EXPECT_EQ(chooser.shownCount(), 1);
    EXPECT_TRUE(chooser.shown(1));
    EXPECT_FALSE(chooser.shown(2));
}

TEST(TipChooser, NoTipsGiveNoChoice) {
    for (int count : {0, -3}) {
        calculator::TipChooser chooser(count, [] { return 5; });
        EXPECT_EQ(chooser.count(), 0);
        EXPECT_EQ(chooser.Next(), -1);
        EXPECT_EQ(chooser.shownCount(), 0);
    }
}

} // namespace
