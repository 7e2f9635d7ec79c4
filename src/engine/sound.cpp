// Sounds, channels and the software mixer. Every playing sound is a voice on a channel slot,
// mixed in 16.16 fixed point into one 44100 Hz 16-bit stereo stream. The game thread starts
// voices through a lock-free ring and changes a channel by writing single words of its slot;
// the audio thread picks both up at the next fragment. No allocation happens on the audio thread.
//
// A slot's status word carries, above its status bits, the number of the slot's latest start
// (every Play, Cue, allocation and Stop counts one). The audio thread knows which start its voice
// came from, and records the end of that voice only while no newer start has been made, so a
// sound started on a kept channel just as the previous one ends is never marked as ended.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "engine/engine.h"
#include "engine/mixer.h"
#include "engine/platform.h"

namespace {

constexpr int kSlots = 4096; // slot 0 is never handed out
constexpr int kRing = 4096;
constexpr int kOutRate = 44100;
constexpr int kFragment = 512;
constexpr int kStartDelayMs = 20;

enum : int { ST_IDLE = 0, ST_STOPPED = 1, ST_ONCE = 2, ST_LOOP = 4, ST_PAUSED = 16 };
constexpr uint32_t kStatusBits = 0xff;

// The status word: start number in the high 24 bits, status in the low 8.
constexpr int StatusOf(uint32_t word) { return int(word & kStatusBits); }
constexpr uint32_t StartOf(uint32_t word) { return word >> 8; }
constexpr uint32_t Word(uint32_t start, int status) { return (start << 8) | uint32_t(status); }

// The loudest gain a channel takes (4096 = unity); anything louder clips in the output anyway.
constexpr float kMaxVolume = 4096.0f;
enum : int { OWN_FREE = 0, OWN_KEPT = 1, OWN_AUTO = 2 };

struct Slot {
    std::atomic<uint32_t> handle{0}; // generation in the high bits, slot index in the low 12
    std::atomic<int> owner{OWN_FREE};
    std::atomic<uint32_t> status{Word(0, ST_STOPPED)};
    std::atomic<int> vol_req{4096}, pan_req{0}, depth_req{4096}, rate_req{65536};
    // Audio thread only.
    std::shared_ptr<const SoundData> sound;
    uint32_t start = 0; // the start the voice being mixed came from
    uint32_t pos = 0, frac = 0;
    int vol_cur = 4096, pan_cur = 0, depth_cur = 4096, rate_cur = 65536;
    int delay = 0;
    bool active = false;
};

struct Start {
    int slot = 0;
    uint32_t handle = 0;
    uint32_t start = 0;
    std::shared_ptr<const SoundData> sound;
    uint32_t start_ms = 0;
};

struct Mixer {
    std::array<Slot, kSlots> slots;
    std::array<Start, kRing> ring;
    std::atomic<uint32_t> ring_write{0}, ring_read{0};
    std::array<int, kSlots> active{}; // indices of active slots (audio thread)
    int active_count = 0;
    std::array<int64_t, kFragment * 2> acc{};
    int next_free = 1;
    bool tried = false, open = false;
};

Mixer& M() {
    static Mixer* m = new Mixer; // lives until the process ends, as the audio thread may
    return *m;
}

void AudioCallback(void*, int16_t* out, int frames);

bool DeviceOpen() {
    Mixer& m = M();
    if (!m.tried) {
        m.tried = true;
        Platform* p = EnginePlatform();
        m.open = p != nullptr && p->OpenAudio(kOutRate, kFragment, &AudioCallback, nullptr);
    }
    return m.open;
}

Slot* SlotOf(uint32_t handle) {
    const uint32_t index = handle & 4095u;
    if (index == 0 || !M().open) return nullptr;
    Slot& s = M().slots[index];
    return s.handle.load() == handle ? &s : nullptr;
}

// Records a new start on the slot with the given status; returns its number (game thread).
uint32_t NewStart(Slot& s, int status) {
    const uint32_t start = (StartOf(s.status.load()) + 1) & 0xffffffu;
    s.status = Word(start, status);
    return start;
}

// Takes a free slot with a new generation, so older handles to it go stale.
uint32_t Allocate(int owner) {
    Mixer& m = M();
    for (int tries = 0; tries < kSlots; ++tries) {
        const int i = m.next_free;
        m.next_free = m.next_free % (kSlots - 1) + 1;
        int expected = OWN_FREE;
        if (!m.slots[i].owner.compare_exchange_strong(expected, owner)) continue;
        Slot& s = m.slots[i];
        const uint32_t handle = ((s.handle.load() & ~4095u) + 4096u) | uint32_t(i);
        s.vol_req = 4096;
        s.pan_req = 0;
        s.depth_req = 4096;
        s.rate_req = 65536;
        NewStart(s, ST_STOPPED);
        s.handle = handle;
        return handle;
    }
    return 0;
}

TChannel StartSound(const std::shared_ptr<const SoundData>& data, TChannel channel, bool paused) {
    if (!data || data->length <= 0 || !DeviceOpen()) return TChannel{};
    Mixer& m = M();
    uint32_t handle = channel.handle;
    Slot* s = SlotOf(handle);
    if (s == nullptr && handle != 0) return channel; // a stale channel starts nothing
    if (s == nullptr) {
        handle = Allocate(OWN_AUTO);
        s = SlotOf(handle);
        if (s == nullptr) return TChannel{};
    }
    const uint32_t w = m.ring_write.load(std::memory_order_relaxed);
    if (w - m.ring_read.load(std::memory_order_acquire) >= uint32_t(kRing)) return TChannel{handle}; // full
    Start& st = m.ring[w % kRing];
    st.slot = int(handle & 4095u);
    st.handle = handle;
    st.start = NewStart(*s, (data->loop ? ST_LOOP : ST_ONCE) | (paused ? ST_PAUSED : 0));
    st.sound = data;
    st.start_ms = uint32_t(MilliTime());
    m.ring_write.store(w + 1, std::memory_order_release);
    return TChannel{handle};
}

// The end of the voice that came from start `start` (audio thread): a kept channel reads as
// stopped, an automatic one is released. Nothing changes once a newer start has been made.
void EndVoice(Slot& s, uint32_t start) {
    uint32_t word = s.status.load();
    const bool automatic = s.owner.load() == OWN_AUTO;
    const uint32_t ended = Word(start, automatic ? ST_IDLE : ST_STOPPED);
    while (StartOf(word) == start && word != ended)
        if (s.status.compare_exchange_weak(word, ended)) {
            if (automatic) s.owner = OWN_FREE;
            break;
        }
}

// Mixes one voice into the accumulators; returns false when the voice has ended.
bool MixVoice(Mixer& m, Slot& s, int frames) {
    const SoundData& d = *s.sound;
    const bool loop = (StatusOf(s.status.load()) & ST_LOOP) != 0;
    const int vol_req = s.vol_req.load(), pan = s.pan_req.load(), depth = s.depth_req.load();
    s.rate_cur = s.rate_req.load();
    s.pan_cur = pan;
    s.depth_cur = depth;
    const uint64_t step = uint64_t(uint32_t(s.rate_cur)) * uint32_t(d.rate) / kOutRate; // 16.16
    const int start = std::min(s.delay, frames);
    s.delay -= start;
    const int n = frames - start;
    const int vol_from = s.vol_cur;
    for (int i = 0; i < n; ++i) {
        const int vol = n > 0 ? vol_from + int(int64_t(vol_req - vol_from) * i / n) : vol_req;
        const int64_t gl = pan > 0 ? int64_t(vol) * (4096 - pan) / 4096 : vol;
        int64_t gr = pan < 0 ? int64_t(vol) * (4096 + pan) / 4096 : vol;
        if (depth < 0) gr = -gr;
        // The sound's value by linear interpolation between neighbouring frames.
        const uint32_t p0 = s.pos, p1 = (s.pos + 1 < uint32_t(d.length)) ? s.pos + 1 : (loop ? 0 : s.pos);
        int l, r;
        auto sample = [&](uint32_t p, int ch) -> int {
            const size_t idx = size_t(p) * d.channels + size_t(std::min(ch, d.channels - 1));
            if (!d.pcm16.empty()) return d.pcm16[idx];
            return (int(d.pcm8[idx]) - 128) << 8;
        };
        const int f = int(s.frac >> 4); // 12-bit fraction
        l = sample(p0, 0) + ((sample(p1, 0) - sample(p0, 0)) * f >> 12);
        r = d.channels > 1 ? sample(p0, 1) + ((sample(p1, 1) - sample(p0, 1)) * f >> 12) : l;
        m.acc[size_t(start + i) * 2] += int64_t(l) * gl / 256;
        m.acc[size_t(start + i) * 2 + 1] += int64_t(r) * gr / 256;
        const uint64_t next = (uint64_t(s.pos) << 16 | s.frac) + step;
        s.pos = uint32_t(next >> 16);
        s.frac = uint32_t(next & 0xffff);
        if (s.pos >= uint32_t(d.length)) {
            if (loop) {
                s.pos %= uint32_t(d.length);
            } else {
                s.vol_cur = vol_req;
                return false;
            }
        }
    }
    s.vol_cur = vol_req;
    return true;
}

void MixFragment(Mixer& m, int16_t* out, int frames) {
    std::fill(m.acc.begin(), m.acc.begin() + frames * 2, 0);
    // Voices handed over by the game thread start after their 20 ms delay.
    const uint32_t now = uint32_t(MilliTime());
    uint32_t r = m.ring_read.load(std::memory_order_relaxed);
    const uint32_t w = m.ring_write.load(std::memory_order_acquire);
    for (; r != w; ++r) {
        Start& st = m.ring[r % kRing];
        Slot& s = m.slots[size_t(st.slot)];
        if (s.handle.load() == st.handle) {
            s.sound = std::move(st.sound);
            s.start = st.start;
            s.pos = s.frac = 0;
            s.vol_cur = s.vol_req.load();
            const int delay_ms = std::max(0, int(st.start_ms + kStartDelayMs - now));
            s.delay = int(int64_t(delay_ms) * kOutRate / 1000);
            if (!s.active && m.active_count < kSlots) {
                s.active = true;
                m.active[size_t(m.active_count++)] = st.slot;
            }
        } else {
            st.sound.reset();
        }
    }
    m.ring_read.store(r, std::memory_order_release);

    for (int i = 0; i < m.active_count;) {
        const int index = m.active[size_t(i)];
        Slot& s = m.slots[size_t(index)];
        const uint32_t word = s.status.load();
        const int status = StatusOf(word);
        // Stopped, handed to a new owner, or superseded by a start not yet picked up.
        const bool gone =
            (s.handle.load() & 4095u) != uint32_t(index) || s.owner.load() == OWN_FREE || StartOf(word) != s.start;
        bool keep = true;
        if (gone || status == ST_IDLE) {
            keep = false;
        } else if (status == ST_STOPPED) {
            EndVoice(s, s.start);
            keep = false;
        } else if (status & ST_PAUSED) {
            s.vol_cur = s.vol_req.load(); // a volume set while paused applies at once
        } else if (!s.sound) {
            keep = false;
        } else if (!MixVoice(m, s, frames)) {
            EndVoice(s, s.start);
            keep = false;
        }
        if (keep) {
            ++i;
        } else {
            s.active = false;
            m.active[size_t(i)] = m.active[size_t(--m.active_count)];
        }
    }
    for (int i = 0; i < frames * 2; ++i) out[i] = int16_t(std::clamp<int64_t>(m.acc[size_t(i)] >> 4, -32768, 32767));
}

void AudioCallback(void*, int16_t* out, int frames) {
    Mixer& m = M();
    while (frames > 0) {
        const int n = std::min(frames, kFragment);
        MixFragment(m, out, n);
        out += n * 2;
        frames -= n;
    }
}

// Ogg Vorbis from memory.
struct MemFile {
    const std::string* data;
    size_t pos;
};
size_t MemRead(void* ptr, size_t size, size_t n, void* src) {
    auto* f = static_cast<MemFile*>(src);
    const size_t want = size * n, left = f->data->size() - f->pos, got = std::min(want, left);
    std::memcpy(ptr, f->data->data() + f->pos, got);
    f->pos += got;
    return size ? got / size : 0;
}
int MemSeek(void* src, ogg_int64_t off, int whence) {
    auto* f = static_cast<MemFile*>(src);
    const int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? int64_t(f->pos) : int64_t(f->data->size());
    const int64_t p = base + off;
    if (p < 0 || p > int64_t(f->data->size())) return -1;
    f->pos = size_t(p);
    return 0;
}
long MemTell(void* src) { return long(static_cast<MemFile*>(src)->pos); }

// A sound being decoded: the file's bytes, the decoder over them and what it has given so far.
struct Decoding {
    std::string bytes;
    MemFile file{nullptr, 0};
    OggVorbis_File vf{};
    bool open = false;
    std::shared_ptr<SoundData> data;
    std::string path, why;
    long rate = 0;
    int channels = 0, last_section = -1;
    size_t most = 0; // samples the limits allow
    int64_t max_frames = 0;

    Decoding() = default;
    Decoding(const Decoding&) = delete;
    Decoding& operator=(const Decoding&) = delete;
    ~Decoding() {
        if (open) ov_clear(&vf);
    }

    // Decodes up to `frames` more sample frames; true once the file is done (or has failed).
    bool More(int64_t frames) {
        char buffer[8192];
        int section = 0;
        const size_t stop = data->pcm16.size() + size_t(std::max<int64_t>(frames, 0)) * size_t(channels);
        while (why.empty() && data->pcm16.size() < stop) {
            const long got = ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &section);
            if (got == 0) return true;
            if (got < 0) {
                if (got == OV_HOLE) continue;
                why = "damaged (it stops decoding after " + std::to_string(data->pcm16.size() / size_t(channels)) +
                      " sample frames)";
                break;
            }
            // Every part of a chained file must have the channels and rate checked above.
            if (section != last_section) {
                const vorbis_info* part = ov_info(&vf, section);
                if (!part || part->channels != channels || part->rate != rate) {
                    why = "its parts differ in channels or rate";
                    break;
                }
                last_section = section;
            }
            const size_t samples = size_t(got) / 2, old = data->pcm16.size();
            if (old + samples > most) {
                why = "longer than the " + std::to_string(max_frames) + " sample frames a sound may last";
                break;
            }
            if (old + samples > data->pcm16.capacity())
                data->pcm16.reserve(std::min(most, std::max(old + samples, data->pcm16.capacity() * 2)));
            data->pcm16.resize(old + samples);
            std::memcpy(&data->pcm16[old], buffer, samples * 2);
        }
        return !why.empty();
    }

    // The length the mixer plays so far; at the end, a file that claimed more than it held gives
    // back the room it was promised.
    void Publish(bool finished) {
        if (finished && data->pcm16.capacity() > data->pcm16.size() + data->pcm16.size() / 8)
            data->pcm16.shrink_to_fit();
        data->length = int(data->pcm16.size() / size_t(data->channels));
    }
};

bool g_defer = false;
constexpr int64_t kDeferAbove = int64_t(10) * 44100;  // sounds longer than this may be deferred
constexpr int64_t kDecodeAtLoad = int64_t(3) * 44100; // what a deferred sound has at once
std::vector<std::unique_ptr<Decoding>> g_decoding;

} // namespace

void SetDeferredSoundDecoding(bool on) { g_defer = on; }

bool DecodeDeferredSounds(int frames) {
    while (!g_decoding.empty() && frames > 0) {
        Decoding& d = *g_decoding.front();
        const size_t before = d.data->pcm16.size();
        const bool finished = d.More(frames);
        frames -= int((d.data->pcm16.size() - before) / size_t(d.channels));
        d.Publish(finished);
        if (!finished) break;
        if (!d.why.empty()) std::fprintf(stderr, "pumko: %s: %s\n", d.path.c_str(), d.why.c_str());
        g_decoding.erase(g_decoding.begin());
    }
    return !g_decoding.empty();
}

namespace {
TSound LoadSound(const std::string& path, int flags, const SoundLimits& limits, std::string* why) {
    std::string reason;
    if (why == nullptr) why = &reason;
    why->clear();
    auto d = std::make_unique<Decoding>();
    d->bytes = ReadWhole(path, limits.max_file_bytes, why);
    if (d->bytes.empty()) return TSound{};
    d->file.data = &d->bytes;
    const ov_callbacks cb = {MemRead, MemSeek, nullptr, MemTell};
    if (ov_open_callbacks(&d->file, &d->vf, nullptr, 0, cb) != 0) {
        *why = "not an Ogg Vorbis file";
        return TSound{};
    }
    d->open = true;
    d->data = std::make_shared<SoundData>();
    d->data->loop = (flags & 1) != 0;
    // Everything the headers ask for is checked before any sound is decoded.
    const vorbis_info* info = ov_info(&d->vf, -1);
    d->channels = info ? info->channels : 0;
    d->rate = info ? info->rate : 0;
    const ogg_int64_t claimed = ov_pcm_total(&d->vf, -1); // from the last page; may be a lie
    if (d->channels < 1 || d->channels > limits.max_channels)
        *why = std::to_string(d->channels) + " channels, more than the " + std::to_string(limits.max_channels) +
               " a sound may have";
    else if (d->rate < 1 || d->rate > limits.max_rate)
        *why = "a rate of " + std::to_string(d->rate) + " Hz (at most " + std::to_string(limits.max_rate) + ")";
    else if (claimed > limits.max_frames)
        *why = "longer than the " + std::to_string(limits.max_frames) + " sample frames a sound may last";
    if (!why->empty()) return TSound{};
    d->data->channels = d->channels;
    d->data->rate = int(d->rate);
    d->path = path;
    d->max_frames = limits.max_frames;
    // Room for the length the file claims, and never more than the limit however it grows.
    d->most = size_t(limits.max_frames) * size_t(d->channels);
    if (claimed > 0) d->data->pcm16.reserve(size_t(claimed) * size_t(d->channels));
    const bool defer = g_defer && claimed > kDeferAbove;
    const bool finished = d->More(defer ? kDecodeAtLoad : limits.max_frames + 1);
    if (!d->why.empty() || (finished && d->data->pcm16.empty())) {
        *why = d->why.empty() ? "no sound in it" : d->why;
        return TSound{};
    }
    d->Publish(finished);
    TSound s;
    s.data = d->data;
    if (!finished) g_decoding.push_back(std::move(d));
    return s;
}
} // namespace

TSound TSound::Load(const std::string& path, int flags) { return Load(path, flags, SoundLimits{}, nullptr); }

TSound TSound::Load(const std::string& path, int flags, const SoundLimits& limits, std::string* why) {
    return LoadSound(path, flags, limits, why);
}

TChannel TSound::Play(TChannel channel) const { return StartSound(data, channel, false); }
TChannel TSound::Cue(TChannel channel) const { return StartSound(data, channel, true); }

TChannel AllocChannel() {
    if (!DeviceOpen()) return TChannel{};
    return TChannel{Allocate(OWN_KEPT)};
}

void TChannel::Stop() const {
    if (Slot* s = SlotOf(handle)) {
        // The handle goes stale at once; the audio thread drops the voice at its next fragment.
        NewStart(*s, ST_IDLE);
        s->handle = (handle & ~4095u) + 4096u; // index 0: matches no handle
        s->owner = OWN_FREE;
    }
}

void TChannel::SetPaused(int flag) const {
    Slot* s = SlotOf(handle);
    if (s == nullptr) return;
    // The audio thread may end the voice meanwhile; then there is nothing left to pause.
    uint32_t word = s->status.load();
    while (true) {
        const int st = StatusOf(word) & ~ST_PAUSED;
        if (st != ST_ONCE && st != ST_LOOP) return;
        const uint32_t wanted = Word(StartOf(word), flag ? (st | ST_PAUSED) : st);
        if (word == wanted || s->status.compare_exchange_weak(word, wanted)) return;
    }
}

void TChannel::SetVolume(float volume) const {
    if (Slot* s = SlotOf(handle)) s->vol_req = int(std::clamp(volume, -kMaxVolume, kMaxVolume) * 4096.0f);
}
void TChannel::SetPan(float pan) const {
    if (Slot* s = SlotOf(handle)) s->pan_req = int(std::clamp(pan, -1.0f, 1.0f) * 4096.0f);
}
void TChannel::SetDepth(float depth) const {
    if (Slot* s = SlotOf(handle)) s->depth_req = int(std::clamp(depth, -kMaxVolume, kMaxVolume) * 4096.0f);
}
void TChannel::SetRate(float rate) const {
    if (Slot* s = SlotOf(handle)) s->rate_req = int(std::clamp(rate, 0.0f, 1024.0f) * 65536.0f);
}
bool TChannel::Playing() const {
    const Slot* s = SlotOf(handle);
    if (s == nullptr) return false;
    const int st = StatusOf(s->status.load());
    return st == ST_ONCE || st == ST_LOOP;
}

void SoundReopen() {
    Mixer& m = M();
    m.tried = false;
    m.open = false;
    for (Slot& s : m.slots) {
        s.owner = OWN_FREE;
        s.status = Word(0, ST_STOPPED);
        s.start = 0;
        s.sound.reset();
        s.active = false;
    }
    m.active_count = 0;
    for (Start& st : m.ring) st.sound.reset();
    m.ring_read.store(m.ring_write.load());
}
