#include "Core/Base/Log.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

// Logs from its destructor, as the resource manager and the profile store do.
class Chatty : public base::Singletone<Chatty>
{
public:
    ~Chatty() override { BW_LOG(L"chatty gone\n"); }
};

void RunAndExit()
{
    base::MainLog::Instance()->AddTextOutput(new base::LogDebugOutput);
    Chatty::Instance(); // constructed after the log, so the log would go first
    std::exit(3);
}

} // namespace

TEST(ExitOrder, MainLogOutlivesSingletonsThatLogFromTheirDestructors)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RunAndExit(), ::testing::ExitedWithCode(3), "log initialized\nchatty gone\nlog terminated\n$");
}
