#include "Core/File/FileManager.h"

namespace file
{

FileManager::FileManager() : mLayoutScale(1.0f), mTextureScale(1.0f)
{
}

FileManager::~FileManager() = default;

} // namespace file
