#include "SecondCopy.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace testing_support
{

int RunSecondCopy(const char* variable, const std::string& value, const std::string& filter)
{
    const std::string filterArgument = "--gtest_filter=" + filter;
    pid_t pid = fork();
    if (pid == 0)
    {
        setenv(variable, value.c_str(), 1);
        execl("/proc/self/exe", "second-copy", filterArgument.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace testing_support
