#include "tests/Support/PrivateDisplay.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace bwtest
{
namespace
{

pid_t gServer = -1;
int gResult = -1;            // -1 not tried, 0 failed, 1 running
int gWidth = 0, gHeight = 0; // the running server's screen

void StopServer()
{
    if (gServer > 0)
        kill(gServer, SIGTERM), waitpid(gServer, nullptr, 0), gServer = -1;
}

// Xvfb writes its display number to the pipe once it accepts clients.
bool StartServer(int width, int height)
{
    int fds[2];
    if (pipe(fds) != 0 || (gServer = fork()) < 0)
        return false;
    if (gServer == 0)
    {
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        const int null = open("/dev/null", O_RDWR);
        for (int fd : {0, 1, 2})
            dup2(null, fd);
        close(fds[0]);
        execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(fds[1]).c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd waitFor = {fds[0], POLLIN, 0};
    char c;
    while (poll(&waitFor, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        return StopServer(), false;
    setenv("DISPLAY", (":" + number).c_str(), 1);
    setenv("BW_PRIVATE_DISPLAY", (":" + number).c_str(), 1);
    std::atexit(StopServer);
    return true;
}

} // namespace

bool UsePrivateDisplay(int width, int height)
{
    if (gResult < 0)
    {
        // A child of a test (a death test) works on its parent's display.
        const char* parents = std::getenv("BW_PRIVATE_DISPLAY");
        gResult = (parents ? setenv("DISPLAY", parents, 1) == 0 : StartServer(width, height)) ? 1 : 0;
        gWidth = width;
        gHeight = height;
    }
    // One server a process: a test that needs another screen size cannot
    // have it once the first one runs.
    return gResult == 1 && width == gWidth && height == gHeight;
}

} // namespace bwtest
