#include "TempFolder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <utf8.h>

namespace testing_support
{

TempFolder::TempFolder(bool makeCurrent)
{
    std::string pattern = std::string(BW_BINARY_DIR) + "/tmp-XXXXXX";
    char* made = mkdtemp(&pattern[0]);
    mPath = made ? std::string(made) + "/" : std::string();
    char cwd[4096];
    if (makeCurrent && made && getcwd(cwd, sizeof(cwd)) && chdir(made) == 0)
        mPrevious = cwd;
}

TempFolder::~TempFolder()
{
    if (!mPrevious.empty() && chdir(mPrevious.c_str()) != 0)
        std::perror("chdir");
    if (!mPath.empty())
        nftw(mPath.c_str(), [](const char* path, const struct stat*, int, struct FTW*) { return std::remove(path), 0; },
             16, FTW_DEPTH | FTW_PHYS);
}

std::wstring TempFolder::WidePath() const
{
    return Widen(mPath);
}

void TempFolder::Write(const std::string& relative, const std::string& bytes) const
{
    std::string full = mPath + relative;
    for (size_t slash = full.find('/', mPath.size()); slash != std::string::npos; slash = full.find('/', slash + 1))
        mkdir(full.substr(0, slash).c_str(), 0755);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempFolder::Read(const std::string& relative) const
{
    return ReadFile(mPath + relative);
}

bool TempFolder::Exists(const std::string& relative) const
{
    return PathExists(mPath + relative);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PathExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::wstring Widen(const std::string& utf8)
{
    std::wstring out;
    utf8::utf8to32(utf8.begin(), utf8.end(), std::back_inserter(out));
    return out;
}

std::string Narrow(const std::wstring& wide)
{
    std::string out;
    utf8::utf32to8(wide.begin(), wide.end(), std::back_inserter(out));
    return out;
}

} // namespace testing_support
