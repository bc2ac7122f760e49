#include "Core/Base/MemoryStream.h"
#include "Core/Lang/Lang.h"

#include <cstdint>
#include <string>

// A language file from outside: lookups answer a text or "???", never throw.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const wchar_t* const kLookups[][2] = {
        {L"Window", L"Caption"}, {L"GUI", L"ok"}, {L"GUI", L"play"}, {L"GUI", L""}, {L"", L"a"}, {L"G", L"k"},
    };
    lang::Lang* table = lang::Lang::Instance();
    base::MemoryStream stream(data, static_cast<uint32_t>(size));
    table->LoadStream(&stream);
    for (const auto& lookup : kLookups)
        table->GetText(lookup[0], lookup[1]);
    return 0;
}
