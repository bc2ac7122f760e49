#include "Core/File/Profiles.h"
#include "Core/File/UserDataFileContainer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <string>

namespace
{

std::string gRoot;

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*)
{
    std::remove(path);
    return 0;
}

// Registered before the first singleton, so it runs after their teardown
// (which saves the profiles one last time).
void RemoveRoot()
{
    nftw(gRoot.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

const std::string& Root()
{
    if (gRoot.empty())
    {
        char pattern[] = "/tmp/bw-fuzz-profiles-XXXXXX";
        gRoot = std::string(mkdtemp(pattern)) + "/";
        std::atexit(RemoveRoot);
        file::UserDataFileContainer::Instance()->SetRootPath(std::wstring(gRoot.begin(), gRoot.end()));
    }
    return gRoot;
}

} // namespace

// A profiles file from outside: loading always ends with a current profile,
// and the store's operations and save never crash.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& root = Root();
    {
        std::ofstream out(root + "profiles.xml", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    file::Profiles* profiles = file::Profiles::Instance();
    profiles->Load();
    if (!profiles->GetCurrentProfile())
        __builtin_trap();
    for (const std::wstring& name : profiles->GetProfileNames())
        profiles->FindProfileElement(name);
    std::wstring current = profiles->GetCurrentProfileName();
    profiles->SetCurrentProfile(L"Fuzz");
    profiles->RemoveProfile(current);
    profiles->Save();
    // Files moved aside would pile up over a run.
    for (int i = 1; i <= 100; ++i)
        std::remove((root + "profiles.xml.bad" + (i == 1 ? std::string() : std::to_string(i))).c_str());
    return 0;
}
