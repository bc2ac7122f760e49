#pragma once

// The bundled data, linked file by file into a folder of its own, with one
// file replaced (or removed when content is null).

#include "tests/Support/TempFolder.h"

#include <filesystem>
#include <string>

class DataCopy
{
public:
    DataCopy(const std::string& path, const char* content)
    {
        namespace fs = std::filesystem;
        const fs::path source = fs::path(BW_SOURCE_DIR) / "data";
        for (const auto& entry : fs::recursive_directory_iterator(source))
        {
            if (!entry.is_regular_file())
                continue;
            const fs::path target = fs::path(mRoot.Path()) / "data" / fs::relative(entry.path(), source);
            fs::create_directories(target.parent_path());
            fs::create_symlink(entry.path(), target);
        }
        fs::remove(fs::path(mRoot.Path()) / path);
        if (content)
            mRoot.Write(path, content);
    }

    // The root, which holds "data/".
    const std::string& Path() const { return mRoot.Path(); }

private:
    testing_support::TempFolder mRoot;
};
