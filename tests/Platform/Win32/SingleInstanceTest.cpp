#include "tests/Platform/Win32/TestWindow.h"
#include "tests/Support/SecondCopy.h"

#include <cstdlib>
#include <cstring>

namespace
{
const char* kCaptionVariable = "BW_TEST_SECOND_COPY_CAPTION";
} // namespace

// The second copy's side; it runs only when started by the first.
TEST(SecondCopy, FindsTheFirstAndAsksItToRestore)
{
    const char* caption = std::getenv(kCaptionVariable);
    if (!caption)
        GTEST_SKIP() << "runs as the second copy only";
    std::wstring wide(caption, caption + std::strlen(caption));
    HWND first = FindWindowW(L"TestWindow", wide.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(IsWindow(first));
    EXPECT_TRUE(ShowWindow(first, SW_RESTORE));
    EXPECT_EQ(FindWindowW(L"TestWindow", L"another caption"), nullptr);
    EXPECT_EQ(FindWindowW(L"OtherClass", wide.c_str()), nullptr);
}

using SingleInstance = TestWindow;

TEST_F(SingleInstance, ASecondProcessFindsTheWindowAndRestoresIt)
{
    std::string caption = "single " + std::to_string(getpid());
    std::wstring wide(caption.begin(), caption.end());
    HWND window = Create(L"TestWindow", 0, 0, 100, 100, wide);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindWindowW(L"TestWindow", wide.c_str()), window) << "our own window is found first";
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    Received().clear();

    ASSERT_EQ(
        testing_support::RunSecondCopy(kCaptionVariable, caption, "SecondCopy.FindsTheFirstAndAsksItToRestore"), 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsIconic(window); }));
    EXPECT_TRUE(IsWindowVisible(window));
    ASSERT_EQ(Seen(WM_SIZE).size(), 1u);
    EXPECT_EQ(Seen(WM_SIZE)[0].wParam, WPARAM(SIZE_RESTORED));

    DestroyWindow(window);
    EXPECT_EQ(FindWindowW(L"TestWindow", wide.c_str()), nullptr) << "the name goes with the window";
}
