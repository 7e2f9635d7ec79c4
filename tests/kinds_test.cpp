// The named kinds held together: every monster kind the map can hold has a character in the
// legend that makes it, every kind has a name, and the event names are built from those names.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "actors/monster_spawn.h"
#include "game/game.h"
#include "replay/event_log.h"
#include "world/map_source.h"

namespace {

TEST(Kinds, EveryMonsterKindOfTheMapHasALegendCharacterThatMakesIt) {
    std::set<int> made;
    for (const auto& [glyph, g] : mapc::default_legend()) {
        monster_list.Clear();
        const bool monster = spawn_map_monster(g.tile2, 300.0f, 300.0f);
        EXPECT_EQ(monster_list.Count(), monster ? 1u : 0u) << "'" << glyph << "'";
        if (monster) made.insert(monster_list.At(0)->typ);
    }
    monster_list.Clear();
    for (int kind = 0; kind < MONSTER_KINDS; ++kind) {
        // A shell comes from a stomp and the witch's fireball from her timer, not from the map.
        if (kind == MONSTER_SHELL || kind == MONSTER_WITCH_FIREBALL) continue;
        EXPECT_TRUE(made.count(kind)) << "no character of the legend makes " << MonsterName(kind);
    }
    EXPECT_FALSE(spawn_map_monster(OBJECT_MAGIC, 0.0f, 0.0f));
    EXPECT_EQ(monster_list.Count(), 0u);
}

TEST(Kinds, EveryKindHasItsOwnNameInTheEvents) {
    std::set<std::string> names;
    for (int kind = 0; kind < MONSTER_KINDS; ++kind) {
        ASSERT_NE(monster_kind_name(kind), nullptr) << kind;
        names.insert(monster_kind_name(kind));
        EXPECT_EQ(EventName(GameEvent::Stomp, kind), std::string("stomp.") + monster_kind_name(kind));
    }
    EXPECT_EQ(names.size(), size_t(MONSTER_KINDS));
    EXPECT_EQ(monster_kind_name(MONSTER_KINDS), nullptr);
    EXPECT_EQ(EventName(GameEvent::ShellHit, MONSTER_KINDS), "shell-hit.type12");
    EXPECT_EQ(EventName(GameEvent::FireballBurn, MONSTER_HOVERER), "burn.hoverer");
    EXPECT_EQ(EventName(GameEvent::ItemTaken, PICKUP_FIRE_POWER), "item.fire-power");
    EXPECT_EQ(EventName(GameEvent::HiddenBlockOpened, CONTENT_NONE), "hidden-block.empty");
    EXPECT_EQ(EventName(GameEvent::MagicTaken, MAGIC_FROM_HIDDEN_BLOCK), "magic.hidden");
    EXPECT_EQ(EventName(GameEvent::Death, DEATH_LIQUID), "death.liquid");
    EXPECT_EQ(EventName(GameEvent::LiftLanding, LIFT_VERTICAL), "lift.vertical");
}

} // namespace
