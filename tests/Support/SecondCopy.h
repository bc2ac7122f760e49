#pragma once

#include <string>

namespace testing_support
{

// Runs this test program again, with variable set to value and only the tests
// filter names (a --gtest_filter pattern); its exit code, or -1 when it could
// not be run or did not exit. The tests it runs see the variable to tell that
// they are the second copy.
int RunSecondCopy(const char* variable, const std::string& value, const std::string& filter);

} // namespace testing_support
