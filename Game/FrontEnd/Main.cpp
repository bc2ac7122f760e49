#include "Game/FrontEnd/ProcessEntry.h"
#include "Platform/Win32/Win32Shell.h"

int main(int argc, char** argv)
{
    win32::SetCommandLine(argc, argv);
    return wWinMain(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), 1);
}
