#pragma once

// The sound effects file, "data/sounds.ini": one effect per line,
//
//   ; comment (also '#'); blank lines are skipped
//   click = click.wav, 0.08, 2
//
// that is  name = file, cooldown, channels  where
//   name      1 to 32 of a-z, 0-9 and '_', each name once;
//   file      under "data/sound/": 1 to 64 of A-Z, a-z, 0-9, '_', '-', '.'
//             and '/', no "..", no leading '/', ending in ".wav" or ".ogg";
//   cooldown  seconds before the effect plays again, 0 to 60 (a decimal
//             number such as 0.25);
//   channels  how many of it may sound at once, 1 to 16.
// Spaces and tabs around the parts are ignored; lines end with "\n" or
// "\r\n"; a UTF-8 byte order mark at the start is skipped. The file holds at
// most 64 KiB, lines at most 256 bytes, and 128 effects.
//
// Every bad line gets a log record naming the file and the line; a file with
// any bad line is refused as a whole.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class SoundsIni
{
public:
    static const size_t kMaxFileSize = 64 * 1024;
    static const size_t kMaxLineLength = 256;
    static const size_t kMaxEntries = 128;
    static const size_t kMaxNameLength = 32;
    static const size_t kMaxFileNameLength = 64;
    static const uint32_t kMaxChannels = 16;
    static constexpr float kMaxCooldown = 60.0f;

    struct Entry
    {
        std::string name;
        std::string file; // relative to "data/sound/"
        float cooldown;
        uint32_t channels;
        uint32_t line;
    };

    // path only names the file in the log. False, with nothing kept, when the
    // text is too long or any line is bad.
    bool Parse(const std::string& text, const std::wstring& path);
    const std::vector<Entry>& GetEntries() const { return mEntries; }

private:
    // Empty when the line is good (or a comment); else why not.
    std::wstring ParseLine(const std::string& line, uint32_t number);

    std::vector<Entry> mEntries;
};
