#include "Platform/Win32/Win32File.h"

#include "Platform/Win32/Win32Kernel.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cwctype>
#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace win32
{
namespace
{

// --- Text ------------------------------------------------------------------

bool EncodeUtf8(const std::wstring& text, std::string* out)
{
    out->clear();
    out->reserve(text.size());
    for (wchar_t wc : text)
    {
        uint32_t c = static_cast<uint32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        if (c < 0x80)
        {
            out->push_back(static_cast<char>(c));
        }
        else if (c < 0x800)
        {
            out->push_back(static_cast<char>(0xC0 | (c >> 6)));
            out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
        else if (c < 0x10000)
        {
            out->push_back(static_cast<char>(0xE0 | (c >> 12)));
            out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
        else
        {
            out->push_back(static_cast<char>(0xF0 | (c >> 18)));
            out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return true;
}

// Names on disk that are not valid UTF-8 decode with U+FFFD in place of the
// bad bytes; such names can be listed but not opened by that spelling.
std::wstring DecodeUtf8(const std::string& text)
{
    static const uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    std::wstring out;
    size_t i = 0;
    while (i < text.size())
    {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t more = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : 4;
        uint32_t c = 0xFFFD;
        size_t length = 1;
        if (more == 0)
        {
            c = lead;
        }
        else if (more < 4 && i + more < text.size())
        {
            uint32_t value = lead & (0x3F >> more);
            bool good = true;
            for (size_t k = 1; good && k <= more; ++k)
            {
                unsigned char trail = static_cast<unsigned char>(text[i + k]);
                good = (trail & 0xC0) == 0x80;
                value = (value << 6) | (trail & 0x3F);
            }
            if (good && value >= kMinimum[more] && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF))
            {
                c = value;
                length = more + 1;
            }
        }
        out.push_back(static_cast<wchar_t>(c));
        i += length;
    }
    return out;
}

wchar_t FoldCase(wchar_t c)
{
    // The C.UTF-8 locale knows every script's letter case; plain ASCII
    // folding stands in when it is missing.
    static locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (utf8)
        return static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), utf8));
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

// Windows wildcards: '*' any run, '?' one character, case-insensitive.
bool MatchesPattern(const std::wstring& name, const std::wstring& pattern)
{
    if (pattern == L"*" || pattern == L"*.*")
        return true;
    size_t n = 0, p = 0, star = std::wstring::npos, mark = 0;
    while (n < name.size())
    {
        if (p < pattern.size() && (pattern[p] == L'?' || FoldCase(pattern[p]) == FoldCase(name[n])))
        {
            ++n;
            ++p;
        }
        else if (p < pattern.size() && pattern[p] == L'*')
        {
            star = p++;
            mark = n;
        }
        else if (star != std::wstring::npos)
        {
            p = star + 1;
            n = ++mark;
        }
        else
        {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

DWORD ErrorFromErrno(int error)
{
    switch (error)
    {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EBUSY:
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

void SetErrorFromErrno()
{
    SetLastError(ErrorFromErrno(errno));
}

// --- Path resolution ---------------------------------------------------------

bool Exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// The entry of folder whose name equals name regardless of case; the first in
// byte order when several do.
bool FindEntryIgnoringCase(const std::string& folder, const std::string& name, std::string* found)
{
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return false;
    std::wstring wanted = DecodeUtf8(name);
    std::vector<std::string> matches;
    while (dirent* entry = readdir(dir))
    {
        std::string candidate = entry->d_name;
        if (candidate != "." && candidate != ".." && SameNameIgnoringCase(DecodeUtf8(candidate), wanted))
            matches.push_back(candidate);
    }
    closedir(dir);
    if (matches.empty())
        return false;
    *found = *std::min_element(matches.begin(), matches.end());
    return true;
}

std::string ResolveIgnoringCase(const std::string& path)
{
    if (path.empty() || Exists(path))
        return path;
    std::string resolved = path[0] == '/' ? "/" : "";
    bool lost = false;
    size_t start = 0;
    while (start <= path.size())
    {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty())
            continue;
        std::string folder = resolved;
        if (!folder.empty() && folder.back() != '/')
            folder += '/';
        std::string candidate = folder + component;
        if (!lost && component != "." && component != ".." && !Exists(candidate))
        {
            std::string found;
            if (FindEntryIgnoringCase(folder, component, &found))
                candidate = folder + found;
            else
                lost = true;
        }
        resolved = candidate;
    }
    if (path.back() == '/' && !resolved.empty() && resolved.back() != '/')
        resolved += '/';
    return resolved;
}

// The path in UTF-8 with '/' separators, not yet resolved for case.
bool SpelledPath(LPCWSTR path, std::string* native)
{
    if (!path)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::wstring text = path;
    std::replace(text.begin(), text.end(), L'\\', L'/');
    std::string utf8;
    if (text.empty() || !EncodeUtf8(text, &utf8))
    {
        SetLastError(text.empty() ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_NAME);
        return false;
    }
    *native = utf8;
    return true;
}

bool NativePath(LPCWSTR path, std::string* native)
{
    if (!SpelledPath(path, native))
        return false;
    *native = ResolveIgnoringCase(*native);
    return true;
}

// Whether a failed call may succeed under a case-insensitive spelling.
bool MissingAsSpelled(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

FILETIME ToFileTime(const timespec& time)
{
    // 100-nanosecond intervals since 1601-01-01.
    const int64_t kEpochDifference = 11644473600LL;
    uint64_t ticks = static_cast<uint64_t>(time.tv_sec + kEpochDifference) * 10000000ULL +
                     static_cast<uint64_t>(time.tv_nsec) / 100;
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(ticks);
    result.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return result;
}

DWORD AttributesOf(const struct stat& st)
{
    if (S_ISDIR(st.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    return FILE_ATTRIBUTE_NORMAL;
}

// --- Handle kinds ------------------------------------------------------------

class FileObject : public KernelObject
{
public:
    FileObject(int descriptor, bool canRead, bool canWrite)
        : mDescriptor(descriptor), mCanRead(canRead), mCanWrite(canWrite)
    {
    }
    ~FileObject() override { close(mDescriptor); }

    int mDescriptor;
    bool mCanRead;
    bool mCanWrite;
};

class FindObject : public KernelObject
{
public:
    std::vector<WIN32_FIND_DATAW> mEntries;
    size_t mNext = 0;
};

std::shared_ptr<FileObject> LookupFile(HANDLE handle)
{
    std::shared_ptr<FileObject> file = FindKernelObjectAs<FileObject>(handle);
    if (!file)
        SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

bool FillFindData(const std::string& folder, const std::string& name, WIN32_FIND_DATAW* data)
{
    std::string full = folder.empty() ? name : (folder.back() == '/' ? folder + name : folder + "/" + name);
    struct stat st;
    if (stat(full.c_str(), &st) != 0 && lstat(full.c_str(), &st) != 0)
        return false;
    std::wstring wide = DecodeUtf8(name);
    if (wide.size() >= MAX_PATH)
        return false;
    std::memset(data, 0, sizeof(*data));
    data->dwFileAttributes = AttributesOf(st);
    data->ftCreationTime = ToFileTime(st.st_ctim);
    data->ftLastAccessTime = ToFileTime(st.st_atim);
    data->ftLastWriteTime = ToFileTime(st.st_mtim);
    if (!S_ISDIR(st.st_mode))
    {
        uint64_t size = static_cast<uint64_t>(st.st_size);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data->nFileSizeLow = static_cast<DWORD>(size);
    }
    std::copy(wide.begin(), wide.end(), data->cFileName);
    return true;
}

} // namespace

bool ToNativePath(const std::wstring& path, std::string* native)
{
    return NativePath(path.c_str(), native);
}

bool IsSameFile(const std::wstring& a, const std::wstring& b)
{
    std::string first, second;
    struct stat x, y;
    return NativePath(a.c_str(), &first) && NativePath(b.c_str(), &second) && stat(first.c_str(), &x) == 0 &&
           stat(second.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

} // namespace win32

using namespace win32;

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/,
                   LPSECURITY_ATTRIBUTES /*securityAttributes*/, DWORD creationDisposition,
                   DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/)
{
    int flags = O_CLOEXEC;
    switch (creationDisposition)
    {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        flags |= O_TRUNC;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    bool canRead = (desiredAccess & GENERIC_READ) != 0;
    bool canWrite = (desiredAccess & GENERIC_WRITE) != 0;
    if (canRead && canWrite)
        flags |= O_RDWR;
    else if (canWrite)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;

    // Opening an existing file tries the exact spelling first; anything that
    // may create a file resolves the name first, so that it never makes a
    // second file that differs only in case.
    bool mayCreate = (flags & O_CREAT) != 0;
    std::string path;
    if (!(mayCreate ? NativePath(fileName, &path) : SpelledPath(fileName, &path)))
        return INVALID_HANDLE_VALUE;
    bool existed = mayCreate && Exists(path);
    int descriptor = open(path.c_str(), flags, 0644);
    if (descriptor < 0 && !mayCreate && MissingAsSpelled(errno))
    {
        int error = errno;
        std::string resolved = ResolveIgnoringCase(path);
        if (resolved != path)
            descriptor = open(resolved.c_str(), flags, 0644);
        else
            errno = error;
    }
    if (descriptor < 0)
    {
        SetLastError(errno == EISDIR ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (fstat(descriptor, &st) != 0 || S_ISDIR(st.st_mode))
    {
        // Windows opens folders only with backup semantics, which nothing here asks for.
        close(descriptor);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = RegisterKernelObject(std::make_shared<FileObject>(descriptor, canRead, canWrite));
    bool reportsExisting = creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS;
    SetLastError(reportsExisting && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped)
{
    if (bytesRead)
        *bytesRead = 0;
    std::shared_ptr<FileObject> object = LookupFile(file);
    if (!object)
        return FALSE;
    if (overlapped || (!buffer && bytesToRead))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!object->mCanRead)
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD total = 0;
    while (total < bytesToRead)
    {
        ssize_t got = read(object->mDescriptor, static_cast<char*>(buffer) + total, bytesToRead - total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
        {
            SetLastError(ERROR_READ_FAULT);
            if (bytesRead)
                *bytesRead = total;
            return FALSE;
        }
        if (got == 0)
            break;
        total += static_cast<DWORD>(got);
    }
    if (bytesRead)
        *bytesRead = total;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped)
{
    if (bytesWritten)
        *bytesWritten = 0;
    std::shared_ptr<FileObject> object = LookupFile(file);
    if (!object)
        return FALSE;
    if (overlapped || (!buffer && bytesToWrite))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!object->mCanWrite)
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD total = 0;
    while (total < bytesToWrite)
    {
        ssize_t put = write(object->mDescriptor, static_cast<const char*>(buffer) + total, bytesToWrite - total);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
        {
            SetLastError(put < 0 && errno != ENOSPC && errno != EDQUOT && errno != EFBIG ? ERROR_WRITE_FAULT
                                                                                         : ERROR_DISK_FULL);
            if (bytesWritten)
                *bytesWritten = total;
            return FALSE;
        }
        total += static_cast<DWORD>(put);
    }
    if (bytesWritten)
        *bytesWritten = total;
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod)
{
    std::shared_ptr<FileObject> object = LookupFile(file);
    if (!object)
        return INVALID_SET_FILE_POINTER;
    int64_t distance = distanceToMoveHigh
                           ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceToMoveHigh)) << 32) |
                                                  static_cast<uint32_t>(distanceToMove))
                           : static_cast<int64_t>(distanceToMove);
    int64_t base = 0;
    if (moveMethod == FILE_CURRENT)
    {
        base = lseek(object->mDescriptor, 0, SEEK_CUR);
    }
    else if (moveMethod == FILE_END)
    {
        struct stat st;
        base = fstat(object->mDescriptor, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
    }
    else if (moveMethod != FILE_BEGIN)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (base < 0)
    {
        SetErrorFromErrno();
        return INVALID_SET_FILE_POINTER;
    }
    int64_t target = base + distance;
    if (target < 0)
    {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high part the caller can only take a 32-bit position.
    if (!distanceToMoveHigh && target > 0xFFFFFFFELL)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(object->mDescriptor, static_cast<off_t>(target), SEEK_SET) < 0)
    {
        SetErrorFromErrno();
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceToMoveHigh)
        *distanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
    return static_cast<DWORD>(target);
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh)
{
    std::shared_ptr<FileObject> object = LookupFile(file);
    if (!object)
        return INVALID_FILE_SIZE;
    struct stat st;
    if (fstat(object->mDescriptor, &st) != 0)
    {
        SetErrorFromErrno();
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (fileSizeHigh)
        *fileSizeHigh = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

BOOL FlushFileBuffers(HANDLE file)
{
    std::shared_ptr<FileObject> object = LookupFile(file);
    if (!object)
        return FALSE;
    if (fsync(object->mDescriptor) != 0)
    {
        SetErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

HANDLE FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData)
{
    std::string path;
    if (!findData || !NativePath(fileName, &path))
    {
        if (!findData)
            SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    std::wstring pattern = DecodeUtf8(last);

    auto find = std::make_shared<FindObject>();
    if (pattern.find_first_of(L"*?") == std::wstring::npos)
    {
        // A plain name answers for that one entry (already resolved for case).
        WIN32_FIND_DATAW data;
        if (!last.empty() && FillFindData(folder, last, &data))
            find->mEntries.push_back(data);
    }
    else
    {
        DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
        if (!dir)
        {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        std::vector<std::string> names;
        while (dirent* entry = readdir(dir))
            if (MatchesPattern(DecodeUtf8(entry->d_name), pattern))
                names.push_back(entry->d_name);
        closedir(dir);
        // Sorted, as NTFS lists them, so listings do not depend on the file system.
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
        {
            WIN32_FIND_DATAW data;
            if (FillFindData(folder, name, &data))
                find->mEntries.push_back(data);
        }
    }
    if (find->mEntries.empty())
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *findData = find->mEntries[0];
    find->mNext = 1;
    SetLastError(ERROR_SUCCESS);
    return RegisterKernelObject(find);
}

BOOL FindNextFileW(HANDLE findFile, LPWIN32_FIND_DATAW findData)
{
    std::shared_ptr<FindObject> find = FindKernelObjectAs<FindObject>(findFile);
    if (!find || !findData)
    {
        SetLastError(find ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (find->mNext >= find->mEntries.size())
    {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *findData = find->mEntries[find->mNext++];
    return TRUE;
}

BOOL FindClose(HANDLE findFile)
{
    if (!FindKernelObjectAs<FindObject>(findFile))
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(findFile);
}

DWORD GetFileAttributesW(LPCWSTR fileName)
{
    std::string path;
    if (!SpelledPath(fileName, &path))
        return INVALID_FILE_ATTRIBUTES;
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
        return AttributesOf(st);
    int error = errno;
    std::string resolved = MissingAsSpelled(error) ? ResolveIgnoringCase(path) : path;
    if (resolved == path || stat(resolved.c_str(), &st) != 0)
    {
        SetLastError(ErrorFromErrno(resolved == path ? error : errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(st);
}

BOOL CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES /*securityAttributes*/)
{
    std::string path;
    if (!NativePath(pathName, &path))
        return FALSE;
    if (mkdir(path.c_str(), 0755) != 0)
    {
        SetLastError(errno == EEXIST ? ERROR_ALREADY_EXISTS : errno == ENOENT ? ERROR_PATH_NOT_FOUND
                                                                               : ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR fileName)
{
    std::string path;
    if (!NativePath(fileName, &path))
        return FALSE;
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (unlink(path.c_str()) != 0)
    {
        SetErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileExW(LPCWSTR existingFileName, LPCWSTR newFileName, DWORD flags)
{
    std::string from, to;
    if (!NativePath(existingFileName, &from) || !NativePath(newFileName, &to))
        return FALSE;
    if (!Exists(from))
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && Exists(to))
    {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (rename(from.c_str(), to.c_str()) != 0)
    {
        SetErrorFromErrno();
        return FALSE;
    }
    if (flags & MOVEFILE_WRITE_THROUGH)
    {
        // The rename is durable once the folder that holds it is synced.
        size_t slash = to.rfind('/');
        std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : to.substr(0, slash));
        int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor >= 0)
        {
            fsync(descriptor);
            close(descriptor);
        }
    }
    return TRUE;
}

BOOL SetCurrentDirectoryW(LPCWSTR pathName)
{
    std::string path;
    if (!NativePath(pathName, &path))
        return FALSE;
    if (chdir(path.c_str()) != 0)
    {
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}
