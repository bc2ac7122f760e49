#include "Core/File/Path.h"

#include "Core/File/FileManager.h"

#include <algorithm>

namespace file
{
namespace
{

size_t LastSeparator(const std::wstring& path)
{
    size_t slash = path.rfind(L'/');
    size_t backslash = path.rfind(L'\\');
    if (slash == std::wstring::npos)
        return backslash;
    if (backslash == std::wstring::npos)
        return slash;
    return std::max(slash, backslash);
}

bool IsSeparator(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

} // namespace

std::wstring GetFileName(const std::wstring& path)
{
    size_t separator = LastSeparator(path);
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring GetFileTitle(const std::wstring& path)
{
    std::wstring name = GetFileName(path);
    size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos || dot == 0)
        return name;
    return name.substr(0, dot);
}

std::wstring GetExtension(const std::wstring& path)
{
    size_t dot = path.rfind(L'.');
    size_t separator = LastSeparator(path);
    if (dot == std::wstring::npos || (separator != std::wstring::npos && separator > dot))
        return std::wstring();
    return path.substr(dot);
}

std::wstring GetDirectory(const std::wstring& path)
{
    size_t separator = LastSeparator(path);
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring GetFolder(const std::wstring& path)
{
    std::wstring folder = GetDirectory(path);
    if (folder.empty())
        return folder;
    size_t colon = folder.find(L':');
    if (colon == std::wstring::npos)
        return folder;
    if (colon + 1 >= folder.size() || !IsSeparator(folder[colon + 1]))
        return std::wstring();
    return folder.substr(colon + 1);
}

std::wstring TrimTrailingSlashes(const std::wstring& path)
{
    size_t end = path.size();
    while (end > 0 && IsSeparator(path[end - 1]))
        --end;
    return path.substr(0, end);
}

std::wstring ToForwardSlashes(const std::wstring& path)
{
    std::wstring result = path;
    std::replace(result.begin(), result.end(), L'\\', L'/');
    return result;
}

std::wstring AppendChar(const std::wstring& path, wchar_t character)
{
    return path + character;
}

std::wstring NormalizeFolderPath(const std::wstring& path)
{
    std::wstring result = TrimTrailingSlashes(ToForwardSlashes(path));
    if (result.empty())
        return result;
    return result + L'/';
}

BWResultEnum CreateDirectories(const std::wstring& path)
{
    FileManager* manager = FileManager::Instance();
    if (!manager)
        return BW_FAIL;
    if (manager->IsDirectory(path))
        return BW_OK;
    std::wstring parent = TrimTrailingSlashes(GetDirectory(path));
    if (!parent.empty())
    {
        BWResultEnum result = CreateDirectories(parent);
        if (result != BW_OK)
            return result;
    }
    return CreateDirectory(path);
}

BWResultEnum EnsureFolder(const std::wstring& path)
{
    return CreateDirectories(TrimTrailingSlashes(NormalizeFolderPath(path)));
}

} // namespace file
