#pragma once

#include "Core/Base/Singletone.h"
#include "Core/File/Win32/UserDataFileContainerWin32.h"

namespace file
{

// The user-data folder as a singleton. Start-up creates it and sets its root.
class UserDataFileContainer : public UserDataFileContainerWin32, public base::Singletone<UserDataFileContainer>
{
public:
    UserDataFileContainer();
    ~UserDataFileContainer() override;

    // A new container with an empty root, or null; the caller stores it as the instance.
    static UserDataFileContainer* Create();
};

} // namespace file
