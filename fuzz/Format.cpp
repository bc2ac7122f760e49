#include "Core/Base/Format.h"
#include "Core/Base/Log.h"

#include <cstdlib>
#include <string>
#include <vector>

// Formats come from outside text (compiler messages passed as a log line's
// format): whatever the bytes, formatting stays bounded and never reads past
// the format.
namespace
{

class NullOutput : public base::LogOutput
{
public:
    void Write(const std::wstring& text) override { mWritten += text.size(); }
    size_t mWritten = 0;
};

template <class C>
void Check(const std::basic_string<C>& format, const std::vector<uint32_t>& args, bool asText)
{
    base::Format<C> f(format);
    for (uint32_t a : args)
    {
        if (asText)
            f % std::basic_string<C>(a % 7, C('t'));
        else
            f % a;
    }
    f.AppendTail();
    // Each argument adds at most a capped field; the literal text never grows.
    const size_t bound = format.size() + args.size() * (base::FormatMaxWidth + 40);
    if (f.GetResult().size() > bound)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t argCount = data[0] % 8;
    const bool asText = (data[0] & 0x80) != 0;
    std::vector<uint32_t> args;
    size_t pos = 1;
    for (size_t i = 0; i < argCount && pos + 4 <= size; ++i, pos += 4)
        args.push_back(uint32_t(data[pos]) | uint32_t(data[pos + 1]) << 8 | uint32_t(data[pos + 2]) << 16 |
                       uint32_t(data[pos + 3]) << 24);
    const std::string narrow(reinterpret_cast<const char*>(data + pos), size - pos);
    std::wstring wide;
    for (char c : narrow)
        wide.push_back(static_cast<wchar_t>(static_cast<signed char>(c)));

    Check(narrow, args, asText);
    Check(wide, args, asText);

    base::Log log;
    auto* output = new NullOutput;
    log.AddTextOutput(output);
    {
        base::LogLine line(&log, wide, __FILE__, __TIMESTAMP__, __PRETTY_FUNCTION__, __LINE__);
        for (uint32_t a : args)
            line % a;
    }
    return 0;
}
