// The sounds file: what a good one gives, and every kind of bad line refused
// with a log record that names the file and the line.

#include "Game/Audio/SoundsIni.h"
#include "tests/Support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace
{

TEST(SoundsIni, ReadsEntriesAroundCommentsBlanksSpacesAndLineEnds)
{
    SoundsIni ini;
    ASSERT_TRUE(ini.Parse("\xEF\xBB\xBF; effects\r\n\n  # more\nclick = click.wav, 0.08, 2\r\n"
                          "\tdeep_1=dir/Deep-1.ogg ,60,16",
                          L"data/sounds.ini"));
    ASSERT_EQ(ini.GetEntries().size(), 2u);
    const SoundsIni::Entry& click = ini.GetEntries()[0];
    const SoundsIni::Entry& deep = ini.GetEntries()[1];
    EXPECT_EQ(std::tie(click.name, click.file, click.cooldown, click.channels, click.line),
              std::make_tuple(std::string("click"), std::string("click.wav"), 0.08f, 2u, 4u));
    EXPECT_EQ(std::tie(deep.name, deep.file, deep.cooldown, deep.channels),
              std::make_tuple(std::string("deep_1"), std::string("dir/Deep-1.ogg"), 60.0f, 16u));
}

TEST(SoundsIni, ABadLineRefusesTheWholeFileNamingTheLine)
{
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"just words", L"not"}, {"a = a.wav, 1", L"not"}, {"a = a.wav, 1, 1, 1", L"not"},
        {"= a.wav, 1, 1", L"the name"}, {"Big = a.wav, 1, 1", L"the name"},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa = a.wav, 1, 1", L"the name"},
        {"ok = other.wav, 1, 1", L"the name is given twice"},
        {"a = ../secret.wav, 1, 1", L"the file"}, {"a = /etc/a.wav, 1, 1", L"the file"},
        {"a = a.mp3, 1, 1", L"the file"}, {"a = a b.wav, 1, 1", L"the file"},
        {"a = a.wav, -1, 1", L"the cooldown"}, {"a = a.wav, 60.5, 1", L"the cooldown"},
        {"a = a.wav, nan, 1", L"the cooldown"}, {"a = a.wav, 1e1, 1", L"the cooldown"},
        {"a = a.wav, 1, 0", L"the channels"}, {"a = a.wav, 1, 17", L"the channels"},
        {"a = a.wav, 1, x", L"the channels"},
    };
    for (const auto& c : cases)
    {
        testing_support::LogCapture log;
        SoundsIni ini;
        EXPECT_FALSE(ini.Parse(std::string("ok = ok.wav, 0, 1\n\n") + c.first + "\nlast = last.wav, 1, 1\n",
                               L"data/sounds.ini"));
        EXPECT_TRUE(ini.GetEntries().empty());
        EXPECT_TRUE(log.Contains(std::wstring(L"'data/sounds.ini', line 3: ") + c.second)) << c.first;
    }
}

TEST(SoundsIni, BoundsTheFileTheLinesAndTheEntries)
{
    testing_support::LogCapture log;
    SoundsIni ini;
    EXPECT_FALSE(ini.Parse(std::string(SoundsIni::kMaxFileSize + 1, '\n'), L"big.ini"));
    EXPECT_TRUE(log.Contains(L"'big.ini' is larger than 65536 bytes"));

    EXPECT_FALSE(ini.Parse("; " + std::string(SoundsIni::kMaxLineLength, 'x') + "\n", L"long.ini"));
    EXPECT_TRUE(log.Contains(L"'long.ini', line 1: the line is too long"));

    std::string many;
    for (size_t i = 0; i <= SoundsIni::kMaxEntries; ++i)
        many += "s" + std::to_string(i) + " = s.wav, 0, 1\n";
    EXPECT_FALSE(ini.Parse(many, L"many.ini"));
    EXPECT_TRUE(log.Contains(L"'many.ini', line 129: more than 128 sounds"));
}

} // namespace
