#pragma once

// What tests see of the output behind the audio calls of Audio.h.

namespace audio
{

class Mixer;

// The mixer of the initialised output, or null. On the no-sound device
// (BASS_Init device 0) nothing else pulls from it, so a test can call Mix
// itself and get every frame.
Mixer* GetOutputMixer();

} // namespace audio
