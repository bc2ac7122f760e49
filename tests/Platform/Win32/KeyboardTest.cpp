#include "tests/Platform/Win32/TestWindow.h"

using Keyboard = TestWindow;

TEST_F(Keyboard, ScancodeGivesVirtualKeyScanCodeAndExtendedBit)
{
    struct Row
    {
        const char* name;
        UINT message;
        UINT key;
        UINT scan;
        bool extended;
    };
    const Row rows[] = {
        {"A", WM_KEYDOWN, 'A', 0x1E, false},
        {"1", WM_KEYDOWN, '1', 0x02, false},
        {"Return", WM_KEYDOWN, VK_RETURN, 0x1C, false},
        {"Keypad Enter", WM_KEYDOWN, VK_RETURN, 0x1C, true},
        {"Right Shift", WM_KEYDOWN, VK_SHIFT, 0x36, false},
        {"Right Ctrl", WM_KEYDOWN, VK_CONTROL, 0x1D, true},
        {"Left Alt", WM_SYSKEYDOWN, VK_MENU, 0x38, false},
        {"F10", WM_SYSKEYDOWN, VK_F10, 0x44, false},
        {"Delete", WM_KEYDOWN, VK_DELETE, 0x53, true},
        {"Keypad 7", WM_KEYDOWN, VK_NUMPAD7, 0x47, false},
        {";", WM_KEYDOWN, VK_OEM_1, 0x27, false},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        bwtest::PushKey(mWindow, row.name, true);
        bwtest::PushKey(mWindow, row.name, false);
        Pump();
        auto downs = Seen(row.message);
        ASSERT_EQ(downs.size(), 1u);
        EXPECT_EQ(downs[0].wParam, WPARAM(row.key));
        EXPECT_EQ((downs[0].lParam >> 16) & 0xFF, LPARAM(row.scan));
        EXPECT_EQ(((downs[0].lParam >> 24) & 1) != 0, row.extended);
        EXPECT_EQ(downs[0].lParam & 0xFFFF, 1) << "repeat count";
        sReceived.clear();
    }
}

TEST_F(Keyboard, TypedTextTravelsWithItsKeyIncludingCyrillicOrAsAPacketKey)
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
    ASSERT_EQ(Seen(WM_CHAR).size(), 3u);
    EXPECT_EQ(Seen(WM_CHAR)[1].wParam, WPARAM(0x416));

    // Text without a key.
    Drain();
    bwtest::PushText(mWindow, "щ");
    Pump();
    ASSERT_EQ(Seen(WM_KEYDOWN).size(), 1u);
    EXPECT_EQ(Seen(WM_KEYDOWN)[0].wParam, WPARAM(VK_PACKET));
    EXPECT_EQ(Seen(WM_KEYDOWN)[0].typed, L"\u0449");
    EXPECT_EQ(Seen(WM_KEYUP).size(), 0u);

    // Several characters at once (an input method's commit, more text after a
    // key's own): each its own packet key, so every one is typed.
    Drain();
    bwtest::PushText(mWindow, "ab");
    bwtest::PushKey(mWindow, "C", true);
    bwtest::PushText(mWindow, "c");
    bwtest::PushText(mWindow, "d");
    Pump();
    std::wstring typed;
    for (const auto& down : Seen(WM_KEYDOWN))
        typed += down.typed + L"|";
    EXPECT_EQ(typed, L"a|b|c|d|");
    EXPECT_EQ(Seen(WM_CHAR).size(), 4u);
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
