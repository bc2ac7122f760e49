#include "Game/Audio/SoundsIni.h"

#include <cstdint>
#include <string>

// A sounds file from outside: every entry taken is within the documented
// bounds, and a refused file keeps nothing.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SoundsIni ini;
    const bool good = ini.Parse(std::string(reinterpret_cast<const char*>(data), size), L"fuzz.ini");
    if (!good && !ini.GetEntries().empty())
        __builtin_trap();
    if (ini.GetEntries().size() > SoundsIni::kMaxEntries)
        __builtin_trap();
    for (const SoundsIni::Entry& entry : ini.GetEntries())
    {
        if (entry.name.empty() || entry.name.size() > SoundsIni::kMaxNameLength || entry.file.empty() ||
            entry.file.size() > SoundsIni::kMaxFileNameLength || entry.file.find("..") != std::string::npos ||
            !(entry.cooldown >= 0.0f && entry.cooldown <= SoundsIni::kMaxCooldown) || entry.channels < 1 ||
            entry.channels > SoundsIni::kMaxChannels)
            __builtin_trap();
    }
    return 0;
}
