#include "Core/Base/LogOutput.h"

#include "Platform/Win32/Win32Kernel.h"

namespace base
{

namespace
{

// UTF-8 with U+FFFD for what cannot be encoded; the log must never throw.
std::string ToUtf8Lenient(const std::wstring& text)
{
    std::string bytes;
    if (text.empty() || text.size() > 0x1FFFFFFF)
        return bytes;
    const int length = static_cast<int>(text.size());
    int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return bytes;
    bytes.resize(static_cast<size_t>(needed));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, &bytes[0], needed, nullptr, nullptr);
    return bytes;
}

} // namespace

LogOutput::~LogOutput() = default;

void LogDebugOutput::Write(const std::wstring& text)
{
    OutputDebugStringW(text.c_str());
}

LogUtf8File::LogUtf8File(const std::wstring& path)
{
    mStream.open(ToUtf8Lenient(path), std::ios::out | std::ios::binary | std::ios::trunc);
}

LogUtf8File::~LogUtf8File() = default;

void LogUtf8File::Write(const std::wstring& text)
{
    if (!mStream.is_open())
        return;
    try
    {
        const std::string bytes = ToUtf8Lenient(text);
        mStream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        mStream.flush();
    }
    catch (...)
    {
        // Out of memory while logging: the record is lost, the process goes on.
    }
}

} // namespace base
