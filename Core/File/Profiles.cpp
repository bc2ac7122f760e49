#include "Core/File/Profiles.h"

#include "Core/Base/FileStream.h"
#include "Core/Base/Log.h"
#include "Core/Data/XmlText.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/File/TextFile.h"
#include "Core/File/UserDataFileContainer.h"

#include <cstring>
#include <tinyxml2.h>

namespace file
{
namespace
{

bool gSaveAtExit = true;

bool IsProfile(tinyxml2::XMLElement* element)
{
    return std::strcmp(element->Name(), "Profile") == 0;
}

} // namespace

const wchar_t* const Profiles::kPlaceholderName = L"Player01234567890123456789";
const wchar_t* const Profiles::kFileName = L"profiles.xml";

Profiles::Profiles() : mRoot(nullptr), mCurrent(nullptr), mSaveBlocked(false)
{
}

Profiles::~Profiles()
{
    if (mDocument && gSaveAtExit)
        Save();
}

void Profiles::SetSaveAtExit(bool save)
{
    gSaveAtExit = save;
}

std::vector<base::SingletoneBase*> Profiles::GetDependencies()
{
    std::vector<base::SingletoneBase*> dependencies;
    if (UserDataFileContainer* container = UserDataFileContainer::Instance())
        dependencies.push_back(container);
    return dependencies;
}

std::wstring Profiles::GetFilePath(const wchar_t* suffix)
{
    UserDataFileContainer* container = UserDataFileContainer::Instance();
    std::wstring root = container ? container->GetRootPath() : std::wstring();
    return root + kFileName + suffix;
}

bool Profiles::NameOf(tinyxml2::XMLElement* profile, std::wstring* name)
{
    return data::DecodeXmlText(profile->Attribute("name"), name);
}

void Profiles::StartFresh()
{
    mDocument.reset(new tinyxml2::XMLDocument);
    mDocument->InsertEndChild(mDocument->NewDeclaration());
    mRoot = mDocument->NewElement("Profiles");
    mDocument->InsertEndChild(mRoot);
    mCurrent = nullptr;
    SetCurrentProfile(kPlaceholderName);
}

bool Profiles::MoveAside()
{
    std::wstring from = GetFilePath(L"");
    for (int attempt = 1; attempt <= 100; ++attempt)
    {
        std::wstring suffix = attempt == 1 ? std::wstring(L".bad") : L".bad" + std::to_wstring(attempt);
        if (RenameFile(from, GetFilePath(suffix.c_str())) == BW_OK)
        {
            BW_LOG(L"Profiles file '%s' is damaged; it is kept as '%s' and new profiles are started.\n") % from %
                (std::wstring(kFileName) + suffix);
            return true;
        }
    }
    return false;
}

void Profiles::Load()
{
    mDocument.reset(new tinyxml2::XMLDocument);
    mRoot = nullptr;
    mCurrent = nullptr;
    mSaveBlocked = false;

    UserDataFileContainer* container = UserDataFileContainer::Instance();
    if (!container || !container->FileExists(kFileName))
    {
        StartFresh();
        return;
    }

    std::string text;
    std::unique_ptr<FileInfo> info(container->GetFileInfo(kFileName));
    std::unique_ptr<base::Stream> stream(info ? info->Open() : nullptr);
    if (!stream || !ReadWholeStream(stream.get(), &text))
    {
        // Unreadable is not the same as damaged: leave it alone, keep
        // playing on a fresh document that is never written over it.
        BW_LOG(L"Profiles file '%s' cannot be read; profiles will not be saved.\n") % GetFilePath(L"");
        StartFresh();
        mSaveBlocked = true;
        return;
    }
    stream.reset();

    if (mDocument->Parse(text.c_str()) == tinyxml2::XML_SUCCESS)
        mRoot = mDocument->FirstChildElement("Profiles");
    if (!mRoot)
    {
        bool moved = MoveAside();
        StartFresh();
        if (!moved)
        {
            BW_LOG(L"Profiles file '%s' is damaged and cannot be moved aside; profiles will not be saved.\n") %
                GetFilePath(L"");
            mSaveBlocked = true;
        }
        return;
    }

    std::wstring current;
    if (data::DecodeXmlText(mRoot->Attribute("currentProfile"), &current) && !current.empty())
    {
        SetCurrentProfile(current);
        return;
    }
    std::vector<std::wstring> names = GetProfileNames();
    SetCurrentProfile(names.empty() ? std::wstring(kPlaceholderName) : names.front());
}

BWResultEnum Profiles::WriteTemporaryFile()
{
    if (!mDocument)
        return BW_FAIL;
    if (mSaveBlocked)
    {
        BW_LOG(L"Profiles are not saved: '%s' is kept as it is.\n") % GetFilePath(L"");
        return BW_FAIL;
    }
    tinyxml2::XMLPrinter printer;
    mDocument->Print(&printer);
    uint32_t size = static_cast<uint32_t>(printer.CStrSize() - 1);
    std::wstring temporary = GetFilePath(L".tmp");
    base::FileStream out;
    bool written = out.Open(temporary, 1, 0) == BW_OK && out.Write(printer.CStr(), size) == size &&
                   out.Flush() == BW_OK && out.Close() == BW_OK;
    if (!written)
    {
        out.Close();
        DeleteFile(temporary);
        BW_LOG(L"Profiles cannot be written to '%s'.\n") % temporary;
        return BW_FAIL;
    }
    return BW_OK;
}

BWResultEnum Profiles::ReplaceWithTemporaryFile()
{
    std::wstring temporary = GetFilePath(L".tmp");
    if (ReplaceFile(temporary, GetFilePath(L"")) != BW_OK)
    {
        DeleteFile(temporary);
        BW_LOG(L"Profiles cannot be saved as '%s'.\n") % GetFilePath(L"");
        return BW_FAIL;
    }
    return BW_OK;
}

BWResultEnum Profiles::Save()
{
    BWResultEnum result = WriteTemporaryFile();
    return result == BW_OK ? ReplaceWithTemporaryFile() : result;
}

tinyxml2::XMLElement* Profiles::FindProfileElement(const std::wstring& name)
{
    for (tinyxml2::XMLElement* e = mRoot ? mRoot->FirstChildElement("Profile") : nullptr; e;
         e = e->NextSiblingElement("Profile"))
    {
        std::wstring found;
        if (NameOf(e, &found) && found == name)
            return e;
    }
    return nullptr;
}

void Profiles::SetCurrentProfile(const std::wstring& name)
{
    if (!mRoot)
        Load();
    if (!mRoot)
        return;
    tinyxml2::XMLElement* profile = FindProfileElement(name);
    if (!profile)
    {
        std::string encoded;
        if (!data::EncodeXmlText(name, &encoded))
            return; // a name the file cannot hold is not selected
        profile = mDocument->NewElement("Profile");
        profile->SetAttribute("name", encoded.c_str());
        mRoot->InsertEndChild(profile);
    }
    mCurrent = profile;
    mRoot->SetAttribute("currentProfile", profile->Attribute("name"));
}

std::wstring Profiles::GetCurrentProfileName()
{
    std::wstring name;
    if (mCurrent)
        NameOf(mCurrent, &name);
    return name;
}

std::vector<std::wstring> Profiles::GetProfileNames()
{
    std::vector<std::wstring> names;
    for (tinyxml2::XMLElement* e = mRoot ? mRoot->FirstChildElement() : nullptr; e; e = e->NextSiblingElement())
    {
        std::wstring name;
        if (IsProfile(e) && NameOf(e, &name))
            names.push_back(name);
    }
    return names;
}

void Profiles::RemoveProfile(const std::wstring& name)
{
    tinyxml2::XMLElement* profile = FindProfileElement(name);
    if (!profile)
        return;
    bool wasCurrent = profile == mCurrent;
    mRoot->DeleteChild(profile);
    if (!wasCurrent)
        return;
    mCurrent = nullptr;
    std::vector<std::wstring> names = GetProfileNames();
    SetCurrentProfile(names.empty() ? std::wstring(kPlaceholderName) : names.front());
}

} // namespace file
