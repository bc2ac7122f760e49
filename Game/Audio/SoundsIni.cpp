#include "Game/Audio/SoundsIni.h"

#include "Core/Base/Log.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool EndsWith(const std::string& text, const char* end)
{
    const std::string tail(end);
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsName(const std::string& name)
{
    return !name.empty() && name.size() <= SoundsIni::kMaxNameLength &&
           std::all_of(name.begin(), name.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'; });
}

bool IsFileName(const std::string& file)
{
    auto allowed = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
               c == '.' || c == '/';
    };
    return !file.empty() && file.size() <= SoundsIni::kMaxFileNameLength && file[0] != '/' &&
           std::all_of(file.begin(), file.end(), allowed) && file.find("..") == std::string::npos &&
           (EndsWith(file, ".wav") || EndsWith(file, ".ogg"));
}

// Plain decimals only: no signs, exponents, hex or "nan".
bool ParseSeconds(const std::string& text, float* out)
{
    if (text.empty() || text.size() > 16 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; }) ||
        std::count(text.begin(), text.end(), '.') > 1 || text == ".")
        return false;
    const float value = std::strtof(text.c_str(), nullptr);
    if (!std::isfinite(value) || value > SoundsIni::kMaxCooldown)
        return false;
    *out = value;
    return true;
}

bool ParseChannels(const std::string& text, uint32_t* out)
{
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const uint32_t value = static_cast<uint32_t>(std::atoi(text.c_str()));
    if (value < 1 || value > SoundsIni::kMaxChannels)
        return false;
    *out = value;
    return true;
}

} // namespace

bool SoundsIni::Parse(const std::string& text, const std::wstring& path)
{
    mEntries.clear();
    if (text.size() > kMaxFileSize)
    {
        BW_LOG(L"The sounds file '%s' is larger than %d bytes.\n") % path % static_cast<uint32_t>(kMaxFileSize);
        return false;
    }
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    bool good = true;
    for (uint32_t number = 1; start < text.size(); ++number)
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::wstring problem = ParseLine(line, number);
        if (!problem.empty())
        {
            BW_LOG(L"The sounds file '%s', line %d: %s.\n") % path % number % problem;
            good = false;
        }
    }
    if (!good)
        mEntries.clear();
    return good;
}

std::wstring SoundsIni::ParseLine(const std::string& line, uint32_t number)
{
    if (line.size() > kMaxLineLength)
        return L"the line is too long";
    const std::string content = Trim(line);
    if (content.empty() || content[0] == ';' || content[0] == '#')
        return std::wstring();
    const size_t equals = content.find('=');
    if (equals == std::string::npos)
        return L"not \"name = file, cooldown, channels\"";

    Entry entry;
    entry.name = Trim(content.substr(0, equals));
    entry.line = number;
    std::vector<std::string> parts;
    std::string rest = content.substr(equals + 1);
    for (size_t from = 0;;)
    {
        const size_t comma = rest.find(',', from);
        parts.push_back(Trim(rest.substr(from, comma == std::string::npos ? std::string::npos : comma - from)));
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    if (parts.size() != 3)
        return L"not \"name = file, cooldown, channels\"";
    if (!IsName(entry.name))
        return L"the name is not 1 to 32 of a-z, 0-9 and '_'";
    if (std::any_of(mEntries.begin(), mEntries.end(), [&](const Entry& e) { return e.name == entry.name; }))
        return L"the name is given twice";
    entry.file = parts[0];
    if (!IsFileName(entry.file))
        return L"the file is not a .wav or .ogg path under the sound folder";
    if (!ParseSeconds(parts[1], &entry.cooldown))
        return L"the cooldown is not 0 to 60 seconds";
    if (!ParseChannels(parts[2], &entry.channels))
        return L"the channels are not 1 to 16";
    if (mEntries.size() >= kMaxEntries)
        return L"more than 128 sounds";
    mEntries.push_back(entry);
    return std::wstring();
}
