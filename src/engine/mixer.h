// Mixer controls beyond the sound API.
#pragma once

// Forgets the audio device, so the next sound operation opens one on the current platform again
// (tests that run several engines in one process).
void SoundReopen();
