#include "Core/Widget/DialogEffectsManager.h"

#include "Core/Base/Log.h"
#include "Core/Data/XmlText.h"

#include <cstring>
#include <tinyxml2.h>

namespace widget
{

DialogEffectsManager::DialogEffectsManager() = default;

DialogEffectsManager::~DialogEffectsManager() = default;

void DialogEffectsManager::Clear()
{
    mEffects.clear();
}

BWResultEnum DialogEffectsManager::Load(const tinyxml2::XMLElement* section)
{
    Clear();
    if (!section)
        return BW_OK;
    uint32_t index = 0;
    for (const tinyxml2::XMLElement* entry = section->FirstChildElement(); entry;
         entry = entry->NextSiblingElement(), ++index)
    {
        if (std::strcmp(entry->Name(), "Effect") != 0)
        {
            BW_LOG(L"DialogEffects: entry %d is not an Effect\n") % index;
            return BW_FAIL;
        }
        DialogEffect effect;
        if (!data::DecodeXmlText(entry->Attribute("name"), &effect.mName) || effect.mName.empty())
        {
            BW_LOG(L"DialogEffects: entry %d has no name\n") % index;
            return BW_FAIL;
        }
        if (!data::DecodeXmlText(entry->Attribute("type"), &effect.mType) || effect.mType.empty())
        {
            BW_LOG(L"DialogEffects: effect '%s' has no type\n") % effect.mName;
            return BW_FAIL;
        }
        for (const tinyxml2::XMLAttribute* attribute = entry->FirstAttribute(); attribute;
             attribute = attribute->Next())
        {
            if (std::strcmp(attribute->Name(), "name") == 0 || std::strcmp(attribute->Name(), "type") == 0)
                continue;
            std::wstring name;
            std::wstring value;
            if (!data::DecodeXmlText(attribute->Name(), &name) || !data::DecodeXmlText(attribute->Value(), &value))
            {
                BW_LOG(L"DialogEffects: effect '%s' has a parameter that is not UTF-8\n") % effect.mName;
                return BW_FAIL;
            }
            effect.mParameters[name] = value;
        }
        if (mEffects.count(effect.mName))
        {
            BW_LOG(L"DialogEffects: effect '%s' is given twice\n") % effect.mName;
            return BW_FAIL;
        }
        std::wstring name = effect.mName;
        mEffects.emplace(name, std::move(effect));
    }
    return BW_OK;
}

const DialogEffect* DialogEffectsManager::Find(const std::wstring& name) const
{
    auto found = mEffects.find(name);
    return found != mEffects.end() ? &found->second : nullptr;
}

} // namespace widget
