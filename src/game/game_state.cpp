#include "game/game_state.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

GameSnapshot GameSnapshot::Capture() {
    GameSnapshot s;
    s.game = ::game;
    for (int i = 0; i < 2; ++i) s.player_slot[i] = ::player_slot[i];
    for (int i = 0; i < MAP_CELLS; ++i) s.map_cells[i] = ::map_cells[i];
    s.fireball = ::fireball;
    s.monster_list = ::monster_list;
    s.specialfx_list = ::specialfx_list;
    s.specialitem_list = ::specialitem_list;
    s.elevator_list = ::elevator_list;
    s.random_state = RandomState();
    return s;
}

void GameSnapshot::Restore() const {
    ::game = game;
    for (int i = 0; i < 2; ++i) ::player_slot[i] = player_slot[i];
    for (int i = 0; i < MAP_CELLS; ++i) ::map_cells[i] = map_cells[i];
    ::fireball = fireball;
    ::monster_list = monster_list;
    ::specialfx_list = specialfx_list;
    ::specialitem_list = specialitem_list;
    ::elevator_list = elevator_list;
    SetRandomState(random_state);
}

namespace {

// A record that gains a field must name it below too, or the digest would not see it change.
// The sizes are a 64-bit host's; the desktop build checks them, a 32-bit one (the browser's) has
// smaller pointers.
#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(game_tag) == 160, "game_tag changed: update its fields in the state digest");
static_assert(sizeof(player_tag) == 72, "player_tag changed: update its fields in the state digest");
static_assert(sizeof(map_tag) == 56, "map_tag changed: update its fields in the state digest");
static_assert(sizeof(fireball_tag) == 32, "fireball_tag changed: update its fields in the state digest");
static_assert(sizeof(monster_tag) == 100, "monster_tag changed: update its fields in the state digest");
static_assert(sizeof(specialfx_tag) == 88, "specialfx_tag changed: update its fields in the state digest");
static_assert(sizeof(specialitem_tag) == 44, "specialitem_tag changed: update its fields in the state digest");
static_assert(sizeof(elevator_tag) == 36, "elevator_tag changed: update its fields in the state digest");
#endif

template <class V> void visit(const game_tag& g, V& v) {
    v("state", g.state), v("topscore", g.topscore), v("players", g.players), v("curplayer", g.curplayer);
    v("jump", g.jump), v("tracertmr", g.tracertmr), v("invincible", g.invincible), v("fbflashstp", g.fbflashstp);
    v("fbflashctr", g.fbflashctr), v("turbo", g.turbo), v("sound", g.sound);
    v("cauldx", g.cauldx), v("cauldy", g.cauldy), v("cauldfc", g.cauldfc), v("cauldft", g.cauldft);
    v("setpoint", g.setpoint), v("curdir", g.curdir), v("fbshoot", g.fbshoot), v("cpflasher", g.cpflasher);
    v("pumkdeath", g.pumkdeath), v("wlaugh", g.wlaugh), v("savesc", g.savesc), v("item", g.item);
    v("wltimer", g.wltimer), v("scmx", g.scmx), v("scmy", g.scmy), v("scmys", g.scmys);
    v("fireballtmr", g.fireballtmr), v("fireballmaxtmr", g.fireballmaxtmr), v("autoturbo", g.autoturbo);
    v("music", g.music), v("soundset", g.soundset);
}

template <class V> void visit(const player_tag& p, V& v) {
    v("score", p.score), v("lives", p.lives), v("magic", p.magic), v("level", p.level), v("area", p.area);
    v("power", p.power), v("x", p.x), v("y", p.y), v("xstp", p.xstp), v("ystp", p.ystp), v("yscale", p.yscale);
    v("state", p.state), v("rotation", p.rotation), v("item", p.item);
}

template <class V> void visit(const map_tag& c, V& v) {
    v("x", c.x), v("y", c.y), v("tile1", c.tile1), v("tile2", c.tile2), v("rotation", c.rotation);
    v("xscale", c.xscale), v("yscale", c.yscale), v("framectr", c.framectr), v("framedly", c.framedly);
    v("yoffset", c.yoffset), v("objectid", c.objectid), v("multitmr", c.multitmr), v("hidden", c.hidden);
    v("hiddenwall", c.hiddenwall);
}

template <class V> void visit(const fireball_tag& f, V& v) {
    v("x", f.x), v("y", f.y), v("xstp", f.xstp), v("ystp", f.ystp), v("rstp", f.rstp), v("rotation", f.rotation);
    v("frame", f.frame), v("state", f.state);
}

template <class V> void visit(const monster_tag& m, V& v) {
    v("x", m.x), v("y", m.y), v("sx", m.sx), v("sy", m.sy), v("xstp", m.xstp), v("ystp", m.ystp);
    v("ctr1", m.ctr1), v("rotation", m.rotation), v("rstp", m.rstp), v("xscale", m.xscale);
    v("yscale", m.yscale), v("frame", m.frame), v("framectr", m.framectr), v("frametmr", m.frametmr);
    v("typ", m.typ), v("deathtmr", m.deathtmr), v("state", m.state), v("entered", m.entered);
    v("projectile", m.projectile), v("px", m.px), v("py", m.py), v("pxstp", m.pxstp), v("pystp", m.pystp);
    v("prstp", m.prstp), v("pframe", m.pframe);
}

template <class V> void visit(const specialfx_tag& e, V& v) {
    v("x", e.x), v("y", e.y), v("xstp", e.xstp), v("ystp", e.ystp), v("astp", e.astp), v("rstp", e.rstp);
    v("rotation", e.rotation), v("xscale", e.xscale), v("yscale", e.yscale), v("alpha", e.alpha), v("typ", e.typ);
    v("clr", e.clr), v("frametmr", e.frametmr), v("framectr", e.framectr), v("point", e.point);
}

template <class V> void visit(const specialitem_tag& i, V& v) {
    v("x", i.x), v("y", i.y), v("xstp", i.xstp), v("ystp", i.ystp), v("yinc", i.yinc), v("rstp", i.rstp);
    v("rotation", i.rotation), v("frame", i.frame), v("framedly", i.framedly), v("framectr", i.framectr);
    v("typ", i.typ);
}

template <class V> void visit(const elevator_tag& e, V& v) {
    v("x", e.x), v("y", e.y), v("xstp", e.xstp), v("ystp", e.ystp), v("xscale", e.xscale), v("typ", e.typ);
    v("frame", e.frame), v("distctr", e.distctr), v("dstp", e.dstp);
}

// FNV-1a over the bytes of plain values.
struct Hasher {
    uint32_t h = 2166136261u;
    void Bytes(const void* p, size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 16777619u;
    }
    void Add(int32_t v) { Bytes(&v, sizeof v); }
    void Add(uint32_t v) { Bytes(&v, sizeof v); }
    void Add(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        Add(bits);
    }
    void Add(const std::string& s) {
        Add(uint32_t(s.size()));
        Bytes(s.data(), s.size());
    }
    template <size_t N> void Add(const int (&a)[N]) {
        for (int v : a) Add(int32_t(v));
    }
    void Add(const char* s) { Bytes(s, std::strlen(s) + 1); }
};

// Digests one part: every value into the part's digest, and each field into a digest of its own.
struct PartDigester {
    Hasher part;
    std::vector<Hasher> fields;
    std::vector<std::string>* names = nullptr; // filled when only the layout is wanted
    size_t next = 0;

    template <class T> void operator()(const char* name, const T& value) {
        if (next == fields.size()) {
            fields.emplace_back();
            if (names != nullptr) names->push_back(name);
        }
        fields[next++].Add(value);
        part.Add(value);
    }
    template <class T> void Element(const T& value) {
        next = 0;
        visit(value, *this);
    }
    template <class T> void List(const TList<T>& list) {
        (*this)("count", uint32_t(list.Count()));
        const size_t first = next;
        // The field slots come from a blank element, so an empty list has the same layout.
        auto slot = [this](const char* name, const auto&) {
            fields.emplace_back();
            if (names != nullptr) names->push_back(name);
        };
        visit(T{}, slot);
        list.ForEach([&](const T& e) {
            next = first;
            visit(e, *this);
        });
    }
    StateDigest::Part Done() const {
        StateDigest::Part p;
        p.digest = part.h;
        for (const Hasher& f : fields) p.fields.push_back(uint8_t(f.h ^ f.h >> 8 ^ f.h >> 16 ^ f.h >> 24));
        return p;
    }
};

// Runs fn(name, digester) for each part of the live state, in layout order.
template <class F> void each_part(F&& fn) {
    fn("game", [](PartDigester& d) { d.Element(::game); });
    fn("player1", [](PartDigester& d) { d.Element(::player_slot[0]); });
    fn("player2", [](PartDigester& d) { d.Element(::player_slot[1]); });
    fn("map", [](PartDigester& d) {
        for (const map_tag& c : ::map_cells) d.Element(c);
    });
    fn("fireball", [](PartDigester& d) { d.Element(::fireball); });
    fn("monsters", [](PartDigester& d) { d.List(::monster_list); });
    fn("effects", [](PartDigester& d) { d.List(::specialfx_list); });
    fn("items", [](PartDigester& d) { d.List(::specialitem_list); });
    fn("lifts", [](PartDigester& d) { d.List(::elevator_list); });
    fn("random", [](PartDigester& d) { d("state", int32_t(RandomState())); });
}

} // namespace

StateDigest StateDigest::Capture() {
    StateDigest s;
    each_part([&](const char*, auto digest) {
        PartDigester d;
        digest(d);
        s.parts.push_back(d.Done());
    });
    return s;
}

const std::vector<DigestPartLayout>& StateDigestLayout() {
    static const std::vector<DigestPartLayout> layout = [] {
        std::vector<DigestPartLayout> l;
        each_part([&](const char* name, auto digest) {
            DigestPartLayout part{name, {}};
            PartDigester d;
            d.names = &part.fields;
            digest(d);
            l.push_back(std::move(part));
        });
        return l;
    }();
    return layout;
}

uint32_t StateDigestLayoutId() {
    Hasher h;
    for (const DigestPartLayout& part : StateDigestLayout()) {
        h.Add(part.name.c_str());
        for (const std::string& f : part.fields) h.Add(f.c_str());
    }
    return h.h;
}

namespace {
// Finds one field by name and writes its value.
struct ValueFinder {
    std::string want, out;
    void operator()(const char* name, int v) { Put(name, std::to_string(v)); }
    void operator()(const char* name, float v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.9g", double(v));
        Put(name, buf);
    }
    void operator()(const char* name, const std::string& v) { Put(name, "\"" + v + "\""); }
    template <size_t N> void operator()(const char* name, const int (&a)[N]) {
        std::string text;
        for (int v : a) text += (text.empty() ? "" : ",") + std::to_string(v);
        Put(name, "{" + text + "}");
    }
    void Put(const char* name, const std::string& value) {
        if (want == name) out = value;
    }
};
} // namespace

std::string CurrentValue(const std::string& part_field) {
    const size_t dot = part_field.find('.');
    if (dot == std::string::npos) return "";
    const std::string part = part_field.substr(0, dot);
    ValueFinder f{part_field.substr(dot + 1), ""};
    if (part == "game") visit(::game, f);
    if (part == "player1") visit(::player_slot[0], f);
    if (part == "player2") visit(::player_slot[1], f);
    if (part == "fireball") visit(::fireball, f);
    if (part == "random") f("state", int(RandomState()));
    return f.out;
}

std::vector<std::string> DifferingFields(const StateDigest& expected, const StateDigest& actual) {
    std::vector<std::string> out;
    const auto& layout = StateDigestLayout();
    for (size_t p = 0; p < layout.size() && p < expected.parts.size() && p < actual.parts.size(); ++p) {
        const StateDigest::Part &a = expected.parts[p], &b = actual.parts[p];
        if (a == b) continue;
        const size_t before = out.size();
        for (size_t f = 0; f < layout[p].fields.size() && f < a.fields.size() && f < b.fields.size(); ++f)
            if (a.fields[f] != b.fields[f]) out.push_back(layout[p].name + "." + layout[p].fields[f]);
        if (out.size() == before) out.push_back(layout[p].name);
    }
    return out;
}
