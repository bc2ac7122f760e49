#include "Platform/Win32/Win32Shell.h"

#include "Platform/Win32/Win32Kernel.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

// Heap objects behind plain pointers: these may be asked for from singleton
// destructors at exit.
std::mutex* gShellMutex = new std::mutex;
std::wstring* gCommandLine = nullptr;
std::map<int, HRESULT>* gFolderFailures = new std::map<int, HRESULT>;
DWORD gModuleFileNameFailure = 0;

HMODULE const ProcessModule = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000));

std::wstring FromUtf8(const std::string& bytes)
{
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF)
        return std::wstring();
    const int length = static_cast<int>(bytes.size());
    int needed = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), length, &wide[0], needed);
    return wide;
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// Quotes one argument so that the splitting rules below give it back unchanged.
std::wstring QuoteArgument(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring quoted = L"\"";
    for (size_t i = 0;; ++i)
    {
        size_t backslashes = 0;
        while (i < arg.size() && arg[i] == L'\\')
        {
            ++backslashes;
            ++i;
        }
        if (i == arg.size())
        {
            quoted.append(backslashes * 2, L'\\');
            break;
        }
        if (arg[i] == L'"')
        {
            quoted.append(backslashes * 2 + 1, L'\\');
            quoted.push_back(L'"');
        }
        else
        {
            quoted.append(backslashes, L'\\');
            quoted.push_back(arg[i]);
        }
    }
    quoted.push_back(L'"');
    return quoted;
}

// The program name is read without escapes, so it cannot hold a quote.
std::wstring QuoteProgramName(std::wstring name)
{
    std::wstring clean;
    for (wchar_t c : name)
        if (c != L'"')
            clean.push_back(c);
    if (clean.empty() || clean.find_first_of(L" \t") != std::wstring::npos)
        return L"\"" + clean + L"\"";
    return clean;
}

std::wstring BuildCommandLine(const std::vector<std::string>& args)
{
    std::wstring line;
    for (size_t i = 0; i < args.size(); ++i)
    {
        if (i > 0)
            line.push_back(L' ');
        std::wstring wide = FromUtf8(args[i]);
        line += i == 0 ? QuoteProgramName(wide) : QuoteArgument(wide);
    }
    return line;
}

std::vector<std::string> ReadProcessArguments()
{
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    while (start < all.size())
    {
        size_t end = all.find('\0', start);
        if (end == std::string::npos)
            end = all.size();
        args.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

std::string ExecutablePath()
{
    std::vector<char> buffer(256);
    for (;;)
    {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return std::string();
        if (static_cast<size_t>(n) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

std::vector<std::wstring> SplitCommandLine(const wchar_t* line)
{
    std::vector<std::wstring> args;
    const wchar_t* p = line;

    // The program name: quoted up to the next quote, else up to a blank.
    std::wstring program;
    if (*p == L'"')
    {
        ++p;
        while (*p && *p != L'"')
            program.push_back(*p++);
        if (*p == L'"')
            ++p;
    }
    else
    {
        while (*p && !IsBlank(*p))
            program.push_back(*p++);
    }
    args.push_back(program);

    for (;;)
    {
        while (IsBlank(*p))
            ++p;
        if (!*p)
            break;
        std::wstring arg;
        bool quoted = false;
        while (*p && (quoted || !IsBlank(*p)))
        {
            if (*p == L'\\')
            {
                size_t backslashes = 0;
                while (*p == L'\\')
                {
                    ++backslashes;
                    ++p;
                }
                if (*p == L'"')
                {
                    arg.append(backslashes / 2, L'\\');
                    if (backslashes % 2)
                    {
                        arg.push_back(L'"');
                        ++p;
                    }
                }
                else
                    arg.append(backslashes, L'\\');
            }
            else if (*p == L'"')
            {
                if (quoted && p[1] == L'"')
                {
                    arg.push_back(L'"');
                    p += 2;
                }
                else
                {
                    quoted = !quoted;
                    ++p;
                }
            }
            else
                arg.push_back(*p++);
        }
        args.push_back(arg);
    }
    return args;
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The XDG rules ask for a missing data folder to be made, private to the
// user (0700), rather than for the data to go elsewhere. Folders that exist
// keep their permissions.
bool MakePrivateFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1))
    {
        const std::string part = path.substr(0, slash);
        if (!IsFolder(part) && mkdir(part.c_str(), 0700) != 0 && !IsFolder(part))
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

} // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    if (moduleName)
    {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return ProcessModule;
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName)
{
    if (moduleName)
    {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return ProcessModule;
}

DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size)
{
    if (module && module != ProcessModule)
    {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    {
        std::lock_guard<std::mutex> lock(*gShellMutex);
        if (gModuleFileNameFailure)
        {
            SetLastError(gModuleFileNameFailure);
            return 0;
        }
    }
    if (!fileName || size == 0)
    {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::wstring path = FromUtf8(ExecutablePath());
    if (path.empty())
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (path.size() < size)
    {
        std::memcpy(fileName, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        return static_cast<DWORD>(path.size());
    }
    std::memcpy(fileName, path.data(), (size - 1) * sizeof(wchar_t));
    fileName[size - 1] = L'\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

LPWSTR WINAPI GetCommandLineW()
{
    std::lock_guard<std::mutex> lock(*gShellMutex);
    if (!gCommandLine)
        gCommandLine = new std::wstring(BuildCommandLine(ReadProcessArguments()));
    return &(*gCommandLine)[0];
}

LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR commandLine, int* count)
{
    if (!count || !commandLine)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<std::wstring> args;
    if (!*commandLine)
        args.push_back(FromUtf8(ExecutablePath()));
    else
        args = SplitCommandLine(commandLine);

    // One block: the pointer array (null-ended), then the texts.
    size_t bytes = (args.size() + 1) * sizeof(LPWSTR);
    for (const std::wstring& arg : args)
        bytes += (arg.size() + 1) * sizeof(wchar_t);
    auto* block = static_cast<unsigned char*>(std::malloc(bytes));
    if (!block)
    {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto** argv = reinterpret_cast<LPWSTR*>(block);
    auto* text = reinterpret_cast<wchar_t*>(block + (args.size() + 1) * sizeof(LPWSTR));
    for (size_t i = 0; i < args.size(); ++i)
    {
        argv[i] = text;
        std::memcpy(text, args[i].c_str(), (args[i].size() + 1) * sizeof(wchar_t));
        text += args[i].size() + 1;
    }
    argv[args.size()] = nullptr;
    *count = static_cast<int>(args.size());
    return argv;
}

HLOCAL WINAPI LocalFree(HLOCAL memory)
{
    std::free(memory);
    return nullptr;
}

HRESULT WINAPI SHGetFolderPathW(HWND, int folder, HANDLE, DWORD, LPWSTR path)
{
    const int csidl = folder & 0xFF;
    if (!path)
        return E_INVALIDARG;
    path[0] = L'\0';
    {
        std::lock_guard<std::mutex> lock(*gShellMutex);
        auto it = gFolderFailures->find(csidl);
        if (it != gFolderFailures->end())
            return it->second;
    }
    const std::string home = Environment("HOME");
    std::string result;
    if (csidl == CSIDL_APPDATA)
    {
        // Relative values are ignored, as the XDG rules ask.
        result = Environment("XDG_DATA_HOME");
        if (result.empty() || result[0] != '/')
            result = home.empty() || !IsFolder(home) ? std::string() : home + "/.local/share";
        while (result.size() > 1 && result.back() == '/')
            result.pop_back();
        if (!result.empty() && !MakePrivateFolders(result))
            return E_FAIL;
    }
    else if (csidl == CSIDL_PERSONAL)
    {
        result = Environment("XDG_DOCUMENTS_DIR");
        if (result.empty() || result[0] != '/')
            result = home;
    }
    else
        return E_INVALIDARG;

    while (result.size() > 1 && result.back() == '/')
        result.pop_back();
    if (result.empty() || !IsFolder(result))
        return E_FAIL;
    std::wstring wide = FromUtf8(result);
    if (wide.empty() || wide.size() >= MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(path, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    return S_OK;
}

HRESULT WINAPI CoInitialize(LPVOID)
{
    return S_OK;
}

void WINAPI CoUninitialize() {}

namespace win32
{

void SetCommandLine(int argc, const char* const* argv)
{
    std::vector<std::string> args;
    for (int i = 0; i < argc && argv && argv[i]; ++i)
        args.push_back(argv[i]);
    std::lock_guard<std::mutex> lock(*gShellMutex);
    delete gCommandLine;
    gCommandLine = new std::wstring(BuildCommandLine(args));
}

void SetFolderPathFailure(int folder, HRESULT result)
{
    std::lock_guard<std::mutex> lock(*gShellMutex);
    if (result == S_OK)
        gFolderFailures->erase(folder & 0xFF);
    else
        (*gFolderFailures)[folder & 0xFF] = result;
}

void SetModuleFileNameFailure(DWORD error)
{
    std::lock_guard<std::mutex> lock(*gShellMutex);
    gModuleFileNameFailure = error;
}

} // namespace win32
