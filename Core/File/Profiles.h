#pragma once

#include "Core/Base/BWResult.h"
#include "Core/Base/Singletone.h"

#include <memory>
#include <string>
#include <vector>

namespace tinyxml2
{
class XMLDocument;
class XMLElement;
} // namespace tinyxml2

namespace file
{

// The players' profiles: "profiles.xml" in the user-data folder, held as one
// XML document ("Profiles" root with "currentProfile", one "Profile" element
// with a "name" per player). What a profile holds is the per-player record's
// business (GameProfile).
//
// The file is never lost: saving writes "profiles.xml.tmp" and renames it
// over the old file; a file that does not parse is moved aside (kept as
// "profiles.xml.bad") and a fresh document started. After Load there is
// always a current profile.
class Profiles : public base::Singletone<Profiles>
{
public:
    // The name that stands for a player who has not chosen one yet.
    static const wchar_t* const kPlaceholderName;
    static const wchar_t* const kFileName;

    Profiles();
    // Saves (unless saving at exit was turned off), then frees the document.
    ~Profiles() override;

    std::vector<base::SingletoneBase*> GetDependencies() override;

    void Load();
    // 1 when the file could not be written; the old file then stays as it was.
    BWResultEnum Save();
    // The two halves of Save: the complete new file beside the old one, then
    // the rename that replaces the old one in one step.
    BWResultEnum WriteTemporaryFile();
    BWResultEnum ReplaceWithTemporaryFile();

    tinyxml2::XMLElement* FindProfileElement(const std::wstring& name);
    // Selects the named profile, creating it when it does not exist.
    void SetCurrentProfile(const std::wstring& name);
    std::wstring GetCurrentProfileName();
    std::vector<std::wstring> GetProfileNames();
    void RemoveProfile(const std::wstring& name);

    tinyxml2::XMLDocument* GetDocument() { return mDocument.get(); }
    tinyxml2::XMLElement* GetRoot() { return mRoot; }
    // Null only before the first Load.
    tinyxml2::XMLElement* GetCurrentProfile() { return mCurrent; }

    // A second copy of the game must not overwrite the first one's profiles.
    static void SetSaveAtExit(bool save);

private:
    std::wstring GetFilePath(const wchar_t* suffix);
    void StartFresh();
    bool MoveAside();
    static bool NameOf(tinyxml2::XMLElement* profile, std::wstring* name);

    std::unique_ptr<tinyxml2::XMLDocument> mDocument;
    tinyxml2::XMLElement* mRoot;
    tinyxml2::XMLElement* mCurrent;
    // Set when a file that could not be read or moved aside is on disk:
    // writing over it would destroy it.
    bool mSaveBlocked;
};

} // namespace file
