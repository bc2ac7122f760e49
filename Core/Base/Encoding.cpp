#include "Core/Base/Encoding.h"

#include "Platform/Win32/Win32Kernel.h"

#include <utf8.h>

#include <iterator>
#include <vector>

namespace base
{

namespace
{

// The wide form of a byte keeps the 16-bit sign extension of the original
// platform: 0xE9 becomes 0xFFE9.
wchar_t WidenByte(char byte)
{
    return static_cast<wchar_t>(static_cast<uint16_t>(static_cast<int16_t>(static_cast<signed char>(byte))));
}

std::wstring UpToFirstZero(const wchar_t* text)
{
    return std::wstring(text);
}

std::string UpToFirstZero(const char* text)
{
    return std::string(text);
}

} // namespace

std::wstring ToWideString(const std::string& text, Encoding encoding)
{
    std::wstring result;
    switch (encoding)
    {
    case EncodingBytes:
        result.reserve(text.size());
        for (char byte : text)
            result.push_back(WidenByte(byte));
        break;
    case EncodingUtf8:
        utf8::utf8to32(text.begin(), text.end(), std::back_inserter(result));
        break;
    case EncodingAnsi:
    {
        if (text.empty() || text.size() > 0x7FFFFFFF)
            break;
        const int length = static_cast<int>(text.size());
        int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
        if (needed <= 0)
            break;
        std::vector<wchar_t> buffer(static_cast<size_t>(needed) + 1, L'\0');
        if (MultiByteToWideChar(CP_ACP, 0, text.data(), length, buffer.data(), needed) > 0)
            result = UpToFirstZero(buffer.data());
        break;
    }
    case EncodingOem:
    {
        std::vector<wchar_t> buffer(text.size() + 1, L'\0');
        if (OemToCharBuffW(text.data(), buffer.data(), static_cast<DWORD>(text.size())) == TRUE)
        {
            buffer[text.size()] = L'\0';
            result = UpToFirstZero(buffer.data());
        }
        break;
    }
    default:
        break;
    }
    return result;
}

std::string ToNarrowString(const std::wstring& text, Encoding encoding)
{
    std::string result;
    switch (encoding)
    {
    case EncodingBytes:
        result.reserve(text.size());
        for (wchar_t c : text)
            result.push_back(static_cast<char>(c & 0xFF));
        break;
    case EncodingUtf8:
        for (wchar_t c : text)
        {
            const auto code = static_cast<uint32_t>(c);
            if (code >= 0xD800 && code <= 0xDFFF)
                throw utf8::invalid_utf16(static_cast<uint16_t>(code));
            utf8::append(code, std::back_inserter(result));
        }
        break;
    case EncodingAnsi:
    {
        if (text.empty() || text.size() > 0x7FFFFFFF)
            break;
        const int length = static_cast<int>(text.size());
        int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, "", nullptr);
        if (needed <= 0)
            break;
        std::vector<char> buffer(static_cast<size_t>(needed) + 1, '\0');
        if (WideCharToMultiByte(CP_ACP, 0, text.data(), length, buffer.data(), needed, "", nullptr) > 0)
            result = UpToFirstZero(buffer.data());
        break;
    }
    case EncodingOem:
    {
        std::vector<char> buffer(text.size() + 1, '\0');
        if (CharToOemBuffW(text.data(), buffer.data(), static_cast<DWORD>(text.size())) == TRUE)
        {
            buffer[text.size()] = '\0';
            result = UpToFirstZero(buffer.data());
        }
        break;
    }
    default:
        break;
    }
    return result;
}

} // namespace base
