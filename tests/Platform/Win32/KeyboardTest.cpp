#include "tests/Platform/Win32/TestWindow.h"

#include <cctype>

using Keyboard = TestWindow;

namespace
{

struct KeyRow
{
    const char* name;
    UINT message;
    UINT key;
    UINT scan;
    bool extended;
};

class KeyTable : public TestWindow, public ::testing::WithParamInterface<KeyRow>
{
    void TestBody() override {}
};

} // namespace

TEST_P(KeyTable, ScancodeGivesVirtualKeyAndScanCode)
{
    const KeyRow& row = GetParam();
    bwtest::PushKey(mWindow, row.name, true);
    bwtest::PushKey(mWindow, row.name, false);
    Pump();
    auto downs = Seen(row.message);
    ASSERT_EQ(downs.size(), 1u) << row.name;
    EXPECT_EQ(downs[0].wParam, WPARAM(row.key)) << row.name;
    EXPECT_EQ((downs[0].lParam >> 16) & 0xFF, LPARAM(row.scan)) << row.name;
    EXPECT_EQ(((downs[0].lParam >> 24) & 1) != 0, row.extended) << row.name;
    EXPECT_EQ(downs[0].lParam & 0xFFFF, 1) << "repeat count";
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyTable,
                         ::testing::Values(KeyRow{"A", WM_KEYDOWN, 'A', 0x1E, false},
                                           KeyRow{"Z", WM_KEYDOWN, 'Z', 0x2C, false},
                                           KeyRow{"0", WM_KEYDOWN, '0', 0x0B, false},
                                           KeyRow{"1", WM_KEYDOWN, '1', 0x02, false},
                                           KeyRow{"Return", WM_KEYDOWN, VK_RETURN, 0x1C, false},
                                           KeyRow{"Keypad Enter", WM_KEYDOWN, VK_RETURN, 0x1C, true},
                                           KeyRow{"Left Shift", WM_KEYDOWN, VK_SHIFT, 0x2A, false},
                                           KeyRow{"Right Shift", WM_KEYDOWN, VK_SHIFT, 0x36, false},
                                           KeyRow{"Right Ctrl", WM_KEYDOWN, VK_CONTROL, 0x1D, true},
                                           KeyRow{"Left Alt", WM_SYSKEYDOWN, VK_MENU, 0x38, false},
                                           KeyRow{"F1", WM_KEYDOWN, VK_F1, 0x3B, false},
                                           KeyRow{"F10", WM_SYSKEYDOWN, VK_F10, 0x44, false},
                                           KeyRow{"F12", WM_KEYDOWN, VK_F12, 0x58, false},
                                           KeyRow{"Left", WM_KEYDOWN, VK_LEFT, 0x4B, true},
                                           KeyRow{"Delete", WM_KEYDOWN, VK_DELETE, 0x53, true},
                                           KeyRow{"Keypad 7", WM_KEYDOWN, VK_NUMPAD7, 0x47, false},
                                           KeyRow{";", WM_KEYDOWN, VK_OEM_1, 0x27, false},
                                           KeyRow{"Escape", WM_KEYDOWN, VK_ESCAPE, 0x01, false}),
                         [](const ::testing::TestParamInfo<KeyRow>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name == "_" ? std::string("Semicolon") : "Key" + name;
                         });

TEST_F(Keyboard, KeyStateFollowsTheMessagesTakenWithBothModifierCodes)
{
    BYTE keys[256];
    bwtest::PushKey(mWindow, "Right Shift", true);
    Pump();
    ASSERT_TRUE(GetKeyboardState(keys));
    EXPECT_TRUE(keys[VK_SHIFT] & 0x80);
    EXPECT_TRUE(keys[VK_RSHIFT] & 0x80);
    EXPECT_FALSE(keys[VK_LSHIFT] & 0x80);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);

    bwtest::PushKey(mWindow, "Left Shift", true);
    bwtest::PushKey(mWindow, "Right Shift", false);
    Pump();
    GetKeyboardState(keys);
    EXPECT_TRUE(keys[VK_SHIFT] & 0x80) << "the left shift still holds it";
    bwtest::PushKey(mWindow, "Left Shift", false);
    bwtest::PushMouseButton(mWindow, 1, true, 5, 5);
    Pump();
    GetKeyboardState(keys);
    EXPECT_FALSE(keys[VK_SHIFT] & 0x80);
    EXPECT_TRUE(keys[VK_LBUTTON] & 0x80);

    bool capsWasOn = keys[VK_CAPITAL] & 1;
    bwtest::PushKey(mWindow, "CapsLock", true);
    bwtest::PushKey(mWindow, "CapsLock", true, true);
    bwtest::PushKey(mWindow, "CapsLock", false);
    Pump();
    GetKeyboardState(keys);
    EXPECT_NE(bool(keys[VK_CAPITAL] & 1), capsWasOn) << "a held lock key toggles once";
    EXPECT_FALSE(GetKeyboardState(nullptr));
}

TEST_F(Keyboard, AltMakesSystemKeysWithTheContextBit)
{
    bwtest::PushKey(mWindow, "Left Alt", true);
    bwtest::PushKey(mWindow, "Return", true);
    bwtest::PushKey(mWindow, "Return", false);
    bwtest::PushKey(mWindow, "Left Alt", false);
    bwtest::PushKey(mWindow, "Return", true);
    Pump();
    std::vector<UINT> expected = {WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP,
                                  WM_SYSKEYUP,   WM_KEYDOWN,    WM_CHAR};
    EXPECT_EQ(SeenKinds(), expected);
    auto sysDowns = Seen(WM_SYSKEYDOWN);
    EXPECT_EQ(sysDowns[1].wParam, WPARAM(VK_RETURN));
    EXPECT_TRUE(sysDowns[1].lParam & (LPARAM(1) << 29));
    auto ups = Seen(WM_SYSKEYUP);
    EXPECT_TRUE(ups[0].lParam & (LPARAM(1) << 31));
    EXPECT_TRUE(ups[0].lParam & (LPARAM(1) << 30));
    EXPECT_FALSE(Seen(WM_KEYDOWN)[0].lParam & (LPARAM(1) << 29));
    EXPECT_EQ(Seen(WM_CHAR)[0].wParam, WPARAM('\r'));
}

TEST_F(Keyboard, TypedTextTravelsWithItsKeyIncludingCyrillic)
{
    bwtest::PushKey(mWindow, "A", true);
    bwtest::PushText(mWindow, "a");
    bwtest::PushKey(mWindow, "A", false);
    bwtest::PushKey(mWindow, "Left Shift", true);
    bwtest::PushKey(mWindow, "F", true);
    bwtest::PushText(mWindow, "Ж"); // a Russian layout's F key
    bwtest::PushKey(mWindow, "F", true, true);
    bwtest::PushText(mWindow, "Ж");
    Pump();
    auto downs = Seen(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 4u);
    EXPECT_EQ(downs[0].typed, L"a");
    EXPECT_EQ(downs[1].wParam, WPARAM(VK_SHIFT));
    EXPECT_EQ(downs[1].typed, L"");
    EXPECT_EQ(downs[2].wParam, WPARAM('F'));
    EXPECT_EQ(downs[2].typed, L"\u0416");
    EXPECT_TRUE(downs[3].lParam & (LPARAM(1) << 30)) << "a repeat says the key was down";
    EXPECT_EQ(downs[3].typed, L"\u0416");
    auto chars = Seen(WM_CHAR);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[1].wParam, WPARAM(0x416));
}

TEST_F(Keyboard, TextWithoutAKeyComesAsAPacketKey)
{
    bwtest::PushText(mWindow, "щ");
    Pump();
    auto downs = Seen(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].wParam, WPARAM(VK_PACKET));
    EXPECT_EQ(downs[0].typed, L"\u0449");
    EXPECT_EQ(Seen(WM_KEYUP).size(), 0u);
}

TEST_F(Keyboard, ToUnicodeGivesControlCharactersAndCountsSeveralCharacters)
{
    BYTE keys[256] = {};
    wchar_t out[2] = {};
    EXPECT_EQ(ToUnicode(VK_BACK, 0x0E0001, keys, out, 1, 0), 1);
    EXPECT_EQ(out[0], L'\b');
    EXPECT_EQ(ToUnicode(VK_ESCAPE, 0x010001, keys, out, 1, 0), 1);
    EXPECT_EQ(out[0], wchar_t(0x1B));
    EXPECT_EQ(ToUnicode(VK_F1, 0x3B0001, keys, out, 1, 0), 0);
    keys[VK_CONTROL] = 0x80;
    EXPECT_EQ(ToUnicode('C', 0x2E0001, keys, out, 1, 0), 1);
    EXPECT_EQ(out[0], wchar_t(3));

    bwtest::PushKey(mWindow, "E", true);
    bwtest::PushText(mWindow, "e\u0301"); // a composed pair
    Pump();
    GetKeyboardState(keys);
    EXPECT_EQ(ToUnicode('E', 0x120001, keys, out, 1, 0), 2) << "two characters do not fit one";
    EXPECT_EQ(ToUnicode('E', 0x8000, keys, out, 1, 0), 0) << "a released key types nothing";
}
