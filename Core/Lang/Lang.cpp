#include "Core/Lang/Lang.h"

#include "Core/Data/XmlText.h"
#include "Core/File/FileManager.h"
#include "Core/File/TextFile.h"

#include <new>
#include <tinyxml2.h>

namespace lang
{

Lang::Lang() : mRoot(nullptr), mMissingText(L"???")
{
}

Lang::~Lang()
{
    Unload();
}

std::vector<base::SingletoneBase*> Lang::GetDependencies()
{
    std::vector<base::SingletoneBase*> dependencies;
    if (file::FileManager* manager = file::FileManager::Instance())
        dependencies.push_back(manager);
    return dependencies;
}

Lang* Lang::CreateInstance()
{
    return new (std::nothrow) Lang;
}

void Lang::Unload()
{
    mDocument.reset();
    mRoot = nullptr;
}

void Lang::Parse(const std::string& text)
{
    if (mDocument->Parse(text.c_str()) == tinyxml2::XML_SUCCESS)
        mRoot = mDocument->FirstChildElement("Lang");
}

void Lang::Load(const std::wstring& path)
{
    Unload();
    mPath = path;
    mDocument.reset(new tinyxml2::XMLDocument);
    file::FileManager* manager = file::FileManager::Instance();
    if (!manager || !manager->FileExists(path))
    {
        mRoot = mDocument->NewElement("Lang");
        mDocument->InsertEndChild(mRoot);
        return;
    }
    std::string text;
    if (file::ReadWholeFile(path, &text))
        Parse(text);
}

void Lang::LoadStream(base::Stream* stream)
{
    Unload();
    mDocument.reset(new tinyxml2::XMLDocument);
    std::string text;
    if (file::ReadWholeStream(stream, &text))
        Parse(text);
}

std::wstring Lang::GetText(const std::wstring& group, const std::wstring& key)
{
    std::string groupName, keyName;
    if (!mRoot || !data::EncodeXmlText(group, &groupName) || !data::EncodeXmlText(key, &keyName))
        return mMissingText;
    tinyxml2::XMLElement* groupElement = mRoot->FirstChildElement(groupName.c_str());
    if (!groupElement)
        return mMissingText;
    for (tinyxml2::XMLElement* entry = groupElement->FirstChildElement(); entry; entry = entry->NextSiblingElement())
    {
        const char* id = entry->Attribute("id");
        if (!id || keyName != id)
            continue;
        const tinyxml2::XMLNode* child = entry->FirstChild();
        if (!child)
            return std::wstring();
        std::wstring text;
        if (!data::DecodeXmlText(child->Value(), &text))
            return mMissingText;
        if (text.size() < 2 || text.find(L'\\') == std::wstring::npos)
            return text;
        std::wstring expanded;
        for (size_t i = 0; i < text.size(); ++i)
        {
            if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'n')
            {
                expanded += L'\n';
                ++i;
            }
            else
            {
                expanded += text[i];
            }
        }
        return expanded;
    }
    return mMissingText;
}

std::wstring GetText(const std::wstring& group, const std::wstring& key)
{
    Lang* table = Lang::Instance();
    return table ? table->GetText(group, key) : std::wstring(L"???");
}

std::wstring GetGuiText(const std::wstring& key)
{
    return GetText(L"GUI", key);
}

} // namespace lang
