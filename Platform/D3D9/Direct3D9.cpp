#include "Platform/D3D9/D3D9.h"

IDirect3D9* Direct3DCreate9(UINT SDKVersion)
{
    (void)SDKVersion;
    return nullptr;
}
