#pragma once

#include "Core/Base/BWResult.h"

#include <string>

namespace file
{

// Packs every file below folder (names relative to it, '/'-separated) into the
// pack file output. The folder on disk is read even while a pack is mounted
// on it. The pack is written to output + ".tmp" and renamed over output only
// when every byte is written, so a failed build leaves the old pack in place.
// The file manager rereads its packs afterwards.
BWResultEnum BuildPack(const std::wstring& folder, const std::wstring& output);

} // namespace file
