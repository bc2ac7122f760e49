#include "Core/File/UserDataFileContainer.h"

#include <new>

namespace file
{

UserDataFileContainer::UserDataFileContainer() = default;

UserDataFileContainer::~UserDataFileContainer() = default;

UserDataFileContainer* UserDataFileContainer::Create()
{
    return new (std::nothrow) UserDataFileContainer;
}

} // namespace file
