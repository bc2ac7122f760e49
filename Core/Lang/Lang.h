#pragma once

#include "Core/Base/Singletone.h"

#include <memory>
#include <string>
#include <vector>

namespace tinyxml2
{
class XMLDocument;
class XMLElement;
} // namespace tinyxml2

namespace base
{
class Stream;
} // namespace base

namespace lang
{

// The language table: every displayed text, looked up by group and key in
// one XML file ("Lang" root, one element per group, entries with an "id").
// Anything missing, malformed or not valid UTF-8 reads as "???".
class Lang : public base::Singletone<Lang>
{
public:
    Lang();
    ~Lang() override;

    std::vector<base::SingletoneBase*> GetDependencies() override;

    // A new table, or null; the caller stores it as the instance.
    static Lang* CreateInstance();

    // Replaces the loaded table with the file at path (read through the file
    // manager, so from the pack when one is mounted).
    void Load(const std::wstring& path);
    // Parses the rest of the stream as the table.
    void LoadStream(base::Stream* stream);
    void Unload();

    // The entry's text with "\n" pairs made line breaks; "???" when missing.
    std::wstring GetText(const std::wstring& group, const std::wstring& key);

private:
    void Parse(const std::string& text);

    std::unique_ptr<tinyxml2::XMLDocument> mDocument;
    tinyxml2::XMLElement* mRoot;
    std::wstring mPath;
    std::wstring mMissingText;
};

// The text from the table (created on first use).
std::wstring GetText(const std::wstring& group, const std::wstring& key);
// GetText in the group "GUI".
std::wstring GetGuiText(const std::wstring& key);

} // namespace lang
