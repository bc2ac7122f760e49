#include "Core/Psd/Psd.h"

#include <string>

#include <sys/mman.h>
#include <unistd.h>

// The reader opens documents by path, so each input becomes the contents of
// one in-memory file that is opened afresh.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int fd = memfd_create("psd", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0)
        return 0;
    size_t done = 0;
    while (done < size)
    {
        const ssize_t n = pwrite(fd, data + done, size - done, off_t(done));
        if (n <= 0)
            return 0;
        done += size_t(n);
    }
    PsdContext* context = nullptr;
    if (PsdLoadDocument(path.c_str(), &context) == kPsdOk)
        PsdFreeDocument(context);
    return 0;
}
