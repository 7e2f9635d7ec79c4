// Sounds and channels.
// (Placeholder until the sound issue lands: every operation is a silent no-op.)
#include "engine/sound.h"

void TChannel::Stop() const {}
void TChannel::SetPaused(int) const {}
void TChannel::SetVolume(float) const {}
void TChannel::SetPan(float) const {}
void TChannel::SetDepth(float) const {}
void TChannel::SetRate(float) const {}
bool TChannel::Playing() const { return false; }
TSound TSound::Load(const std::string&, int) { return TSound{}; }
TChannel TSound::Play(TChannel channel) const { return channel; }
TChannel TSound::Cue(TChannel channel) const { return channel; }
TChannel AllocChannel() { return TChannel{}; }
