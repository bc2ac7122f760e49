#pragma once

// The dialog show and hide effects configured in the "DialogEffects" section
// of "data/game.xml", one entry per effect:
//
//   <DialogEffects>
//     <Effect name="popup" type="scale" duration="0.25"/>
//   </DialogEffects>
//
// Each entry is kept under its name with its type and its other attributes as
// parameters; dialogs look their effects up by name.

#include "Core/Base/BWResult.h"
#include "Core/Base/Singletone.h"

#include <map>
#include <string>

namespace tinyxml2
{
class XMLElement;
}

namespace widget
{

struct DialogEffect
{
    std::wstring mName;
    std::wstring mType;
    // Every attribute but the name and the type.
    std::map<std::wstring, std::wstring> mParameters;
};

class DialogEffectsManager : public base::Singletone<DialogEffectsManager>
{
public:
    DialogEffectsManager();
    ~DialogEffectsManager() override;

    // Replaces the effects with those of the section. An entry that is not an
    // "Effect", lacks a name or a type, repeats a name or holds text that is
    // not UTF-8 is logged and answers 1; the effects read before it are kept.
    BWResultEnum Load(const tinyxml2::XMLElement* section);
    void Clear();

    // Null when there is no effect of that name.
    const DialogEffect* Find(const std::wstring& name) const;
    size_t GetCount() const { return mEffects.size(); }

private:
    std::map<std::wstring, DialogEffect> mEffects;
};

} // namespace widget
