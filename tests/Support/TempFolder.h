#pragma once

#include <string>

namespace testing_support
{

// A fresh folder under the build tree, removed with everything in it when the
// object goes. Optionally made the current directory for its lifetime.
class TempFolder
{
public:
    explicit TempFolder(bool makeCurrent = false);
    ~TempFolder();

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Absolute, with a trailing '/'.
    const std::string& Path() const { return mPath; }
    std::wstring WidePath() const;

    // Writes bytes to a file below the folder, creating its parent folders.
    void Write(const std::string& relative, const std::string& bytes) const;
    // The bytes of a file below the folder; empty when it is missing.
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;

private:
    std::string mPath;
    std::string mPrevious;
};

// The bytes of a file (empty when it is missing), and whether a path exists.
std::string ReadFile(const std::string& path);
bool PathExists(const std::string& path);

// UTF-8 to UTF-32 and back, for building test paths.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

} // namespace testing_support
