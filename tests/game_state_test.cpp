// The whole-state digest: every value of every record reaches it, and a difference is named by
// part and field.
#include <gtest/gtest.h>

#include <cstring>

#include "game/game_state.h"

namespace {

void BlankState() {
    game = game_tag{};
    for (player_tag& p : player_slot) p = player_tag{};
    for (map_tag& c : map_cells) c = map_tag{};
    fireball = fireball_tag{};
    monster_list.Clear();
    specialfx_list.Clear();
    specialitem_list.Clear();
    elevator_list.Clear();
    SeedRandom(1);
}

std::vector<std::string> AfterChange(const std::function<void()>& change) {
    BlankState();
    monster_tag::Create(100.0f, 200.0f, -1.0f, 0.0f, 1.0f, 1.0f, 0);
    monster_tag::Create(300.0f, 200.0f, 1.0f, 0.0f, 1.0f, 1.0f, 3);
    const StateDigest before = StateDigest::Capture();
    change();
    return DifferingFields(before, StateDigest::Capture());
}

// Flips each 4-byte word of `record` outside [skip, skip + skip_size) and expects the digest to
// change each time: a field left out of the digest would leave it unchanged.
template <class T> void ExpectEveryWordDigested(T& record, const char* what, size_t skip = 0, size_t skip_size = 0) {
    static_assert(sizeof(T) % 4 == 0);
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    for (size_t at = 0; at < sizeof(T); at += 4) {
        if (at >= skip && at < skip + skip_size) continue;
        const StateDigest before = StateDigest::Capture();
        uint32_t word;
        std::memcpy(&word, bytes + at, 4);
        const uint32_t flipped = word ^ 0x00400001u;
        std::memcpy(bytes + at, &flipped, 4);
        EXPECT_FALSE(before == StateDigest::Capture()) << what << ": the word at byte " << at << " is not digested";
        std::memcpy(bytes + at, &word, 4);
    }
}

} // namespace

TEST(StateDigest, NamesThePartAndTheFieldThatDiffer) {
    EXPECT_TRUE(AfterChange([] {}).empty());
    EXPECT_EQ(AfterChange([] { monster_list.At(1)->ystp = 0.5f; }), std::vector<std::string>{"monsters.ystp"});
    EXPECT_EQ(AfterChange([] { player_slot[0].score += 100; }), std::vector<std::string>{"player1.score"});
    EXPECT_EQ(AfterChange([] { player_slot[1].item[2] = 1; }), std::vector<std::string>{"player2.item"});
    EXPECT_EQ(AfterChange([] { game.setpoint = "1up"; }), std::vector<std::string>{"game.setpoint"});
    EXPECT_EQ(AfterChange([] { map_cells[700].tile1 = 8; }), std::vector<std::string>{"map.tile1"});
    EXPECT_EQ(AfterChange([] { RandomFloat(1, 0); }), std::vector<std::string>{"random.state"});
    EXPECT_EQ(AfterChange([] { fireball.state = 1; }), std::vector<std::string>{"fireball.state"});
    // A new element changes the count and every field it brings a value to.
    const auto added = AfterChange([] { elevator_tag::Create(100.0f, 300.0f, 1, 1); });
    ASSERT_FALSE(added.empty());
    EXPECT_EQ(added.front(), "lifts.count");
    // A removed element too, though its fields are blank.
    const auto removed = AfterChange([] { monster_list.Remove(monster_list.At(0)); });
    ASSERT_FALSE(removed.empty());
    EXPECT_EQ(removed.front(), "monsters.count");
}

TEST(StateDigest, TellsTheLiveValueOfOneRecordsField) {
    BlankState();
    player_slot[0].score = 1350;
    player_slot[1].item[1] = 1;
    fireball.ystp = 2.3f;
    game.setpoint = "1up";
    EXPECT_EQ(CurrentValue("player1.score"), "1350");
    EXPECT_EQ(CurrentValue("player2.item"), "{0,1,0,0,0}");
    EXPECT_EQ(CurrentValue("fireball.ystp"), "2.29999995");
    EXPECT_EQ(CurrentValue("game.setpoint"), "\"1up\"");
    EXPECT_EQ(CurrentValue("monsters.x"), ""); // a list has no one value
    EXPECT_EQ(CurrentValue("player1.nothing"), "");
}

TEST(StateDigest, EveryValueOfEveryRecordIsDigested) {
    BlankState();
    monster_tag::Create(100.0f, 200.0f, -1.0f, 0.0f, 1.0f, 1.0f, 0);
    specialfx_tag::Create(10.0f, 20.0f, 0, 0, 0.0f, -1.0f, 0.01f, 4, 0);
    specialitem_tag::Create(100.0f, 200.0f, 3);
    elevator_tag::Create(100.0f, 300.0f, 1, 1);
    auto offset = [](const auto& record, const auto& member) {
        return size_t(reinterpret_cast<const char*>(&member) - reinterpret_cast<const char*>(&record));
    };
    // The text (and the padding that aligns it after the last int before it) is not a word of values.
    const size_t text_start = offset(game, game.cauldft) + sizeof(int);
    ExpectEveryWordDigested(game, "game", text_start, offset(game, game.setpoint) + sizeof(std::string) - text_start);
    ExpectEveryWordDigested(player_slot[0], "player1");
    ExpectEveryWordDigested(player_slot[1], "player2");
    ExpectEveryWordDigested(map_cells[1679], "map");
    ExpectEveryWordDigested(fireball, "fireball");
    ExpectEveryWordDigested(*monster_list.At(0), "monsters");
    specialfx_tag& fx = *specialfx_list.At(0);
    ExpectEveryWordDigested(fx, "effects", offset(fx, fx.point), sizeof(std::string));
    ExpectEveryWordDigested(*specialitem_list.At(0), "items");
    ExpectEveryWordDigested(*elevator_list.At(0), "lifts");
}

TEST(StateDigest, LayoutIsFixedWhateverTheListsHold) {
    BlankState();
    const StateDigest empty = StateDigest::Capture();
    monster_tag::Create(100.0f, 200.0f, -1.0f, 0.0f, 1.0f, 1.0f, 0);
    const StateDigest one = StateDigest::Capture();
    const auto& layout = StateDigestLayout();
    ASSERT_EQ(empty.parts.size(), layout.size());
    for (size_t p = 0; p < layout.size(); ++p) {
        EXPECT_EQ(empty.parts[p].fields.size(), layout[p].fields.size()) << layout[p].name;
        EXPECT_EQ(one.parts[p].fields.size(), layout[p].fields.size()) << layout[p].name;
    }
}
