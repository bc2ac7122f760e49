// One copy per class and caption across processes: the owner of a top-level
// window listens on an abstract local socket named after its user, class and
// caption. The kernel drops the name when the process ends, so nothing stale
// is left behind by a crash.

#include "Platform/Win32/SdlGlue.h"
#include "Platform/Win32/Win32UserInternal.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace win32
{
namespace user
{
namespace
{

const char kRestoreRequest = 'R';

struct Listener
{
    int fd = -1;
    std::vector<int> connections;
};

struct InstanceState
{
    std::map<HWND, Listener> listeners;
    std::map<HWND, int> others; // windows of other copies, by our connection
};

InstanceState& Instances()
{
    static auto* instances = new InstanceState();
    return *instances;
}

// The caption may be long, so the name carries a hash of it.
socklen_t SocketAddress(const std::wstring& className, const std::wstring& caption, sockaddr_un& address)
{
    // Windows finds windows of its own session only; an X display is ours.
    const char* display = std::getenv("DISPLAY");
    std::string key = ToUtf8(className.c_str()) + '\n' + ToUtf8(caption.c_str()) + '\n' + (display ? display : "");
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : key)
        hash = (hash ^ c) * 1099511628211ull;
    char name[80];
    int length = std::snprintf(name, sizeof(name), "brightwork-window/%u/%016llx", static_cast<unsigned>(getuid()),
                               static_cast<unsigned long long>(hash));
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name, static_cast<size_t>(length));
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<size_t>(length));
}

// Reads what the connection sent; false once the other side has gone.
bool ReadRequests(int fd, bool& restore)
{
    char buffer[64];
    for (;;)
    {
        ssize_t count = recv(fd, buffer, sizeof(buffer), 0);
        if (count > 0)
        {
            restore = restore || std::memchr(buffer, kRestoreRequest, static_cast<size_t>(count)) != nullptr;
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        return count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

} // namespace

void ClaimInstance(HWND hwnd, const std::wstring& className, const std::wstring& caption)
{
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    sockaddr_un address;
    socklen_t length = SocketAddress(className, caption, address);
    // A name already taken belongs to an older window of the same kind.
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd, 8) != 0)
    {
        close(fd);
        return;
    }
    Instances().listeners[hwnd].fd = fd;
}

void ReleaseInstance(HWND hwnd)
{
    InstanceState& instances = Instances();
    auto listener = instances.listeners.find(hwnd);
    if (listener != instances.listeners.end())
    {
        for (int connection : listener->second.connections)
            close(connection);
        close(listener->second.fd);
        instances.listeners.erase(listener);
    }
    auto other = instances.others.find(hwnd);
    if (other != instances.others.end())
    {
        close(other->second);
        instances.others.erase(other);
        DetachSdlWindow(hwnd);
    }
}

HWND FindOtherInstance(const std::wstring& className, const std::wstring& caption)
{
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    sockaddr_un address;
    socklen_t length = SocketAddress(className, caption, address);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), length) != 0)
    {
        close(fd);
        return nullptr;
    }
    HWND hwnd = ReserveWindowHandle();
    Instances().others[hwnd] = fd;
    return hwnd;
}

bool IsOtherInstance(HWND hwnd)
{
    return hwnd && Instances().others.count(hwnd) != 0;
}

bool AskOtherInstanceToRestore(HWND hwnd)
{
    auto other = Instances().others.find(hwnd);
    if (other == Instances().others.end())
        return false;
    return send(other->second, &kRestoreRequest, 1, MSG_NOSIGNAL) == 1;
}

void ServeInstanceRequests()
{
    std::vector<HWND> toRestore;
    for (auto& entry : Instances().listeners)
    {
        Listener& listener = entry.second;
        int connection;
        while ((connection = accept4(listener.fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0)
            listener.connections.push_back(connection);
        bool restore = false;
        for (auto it = listener.connections.begin(); it != listener.connections.end();)
        {
            if (ReadRequests(*it, restore))
                ++it;
            else
            {
                close(*it);
                it = listener.connections.erase(it);
            }
        }
        if (restore)
            toRestore.push_back(entry.first);
    }
    // Restoring sends messages, which may destroy windows: act after the walk.
    for (HWND hwnd : toRestore)
    {
        ShowWindow(hwnd, SW_RESTORE);
        SetForegroundWindow(hwnd);
    }
}

void ForgetInstances()
{
    InstanceState& instances = Instances();
    std::vector<HWND> all;
    for (const auto& entry : instances.listeners)
        all.push_back(entry.first);
    for (const auto& entry : instances.others)
        all.push_back(entry.first);
    for (HWND hwnd : all)
        ReleaseInstance(hwnd);
}

} // namespace user
} // namespace win32
