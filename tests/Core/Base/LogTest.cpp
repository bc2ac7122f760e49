#include "Core/Base/Log.h"

#include "Platform/Win32/Win32Kernel.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace
{

// Records every write into a shared transcript, tagged with its name.
class RecordingOutput : public base::LogOutput
{
public:
    RecordingOutput(std::vector<std::wstring>* transcript, const wchar_t* name)
        : mTranscript(transcript), mName(name)
    {
    }
    ~RecordingOutput() override { mTranscript->push_back(mName + L" deleted"); }
    void Write(const std::wstring& text) override { mTranscript->push_back(mName + L": " + text); }

private:
    std::vector<std::wstring>* mTranscript;
    std::wstring mName;
};

const char* const ExpectedPreamble =
    "<html><head><meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">"
    "<meta http-equiv=Content-Language content=ru><style>\n"
    "body {font-family:verdana;}\n"
    "hr { size:1px;color:000000 }\n"
    "div.error { border-width:0 0 0 0px;border-style:solid;border-color:FF0000;color:AA0000;background:#CCCCCC;"
    "font-weight:bold;padding-bottom:0px; }\n"
    "span.info { color:000000; }\n"
    "div.block { border-width:1px;border-style:solid;border-color:000000;padding:3px;margin-bottom:5px; }\n"
    "div.blockhead { border-width:0px;padding:3px; font-weight:bold ;color:000000;background:#DDDDDD;}\n"
    "</style></head>\n<body>\n";

class LogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mPath = std::string(BW_BINARY_DIR) + "/log_test_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".html";
        std::remove(mPath.c_str());
    }
    void TearDown() override { std::remove(mPath.c_str()); }

    std::wstring WidePath() const { return std::wstring(mPath.begin(), mPath.end()); }

    std::string mPath;
    std::vector<std::wstring> mTranscript;
};

#define LINE_TO(log, format) base::LogLine(log, format, __FILE__, __TIMESTAMP__, __PRETTY_FUNCTION__, __LINE__)

TEST_F(LogTest, FileHoldsPreambleBlocksAndFooterByteForByte)
{
    {
        base::Log log;
        log.AddHtmlOutput(new base::LogUtf8File(WidePath()));
        LINE_TO(&log, L"%s(0): Html log file\n").ApplyTag(base::LogHtmlTag(L"")) % std::wstring(L"/tmp/log.html");
        LINE_TO(&log, L"Trying to Load already loaded resource '%s'.\n").ApplyTag(base::LogHtmlBlockTag())
            % std::wstring(L"gui/\u043c\u0435\u043d\u044e");
        LINE_TO(&log, L"no newline").ApplyTag(base::LogHtmlTag(L""));
        LINE_TO(&log, L"a < b & c\n").ApplyTag(base::LogHtmlTag(L""));
    }
    const std::string expected = std::string(ExpectedPreamble) +
                                 "<div class=\"\">/tmp/log.html(0): Html log file\n</div>"
                                 "<div class=\"block\">Trying to Load already loaded resource "
                                 "'gui/\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x8E'.\n</div>"
                                 "<div class=\"\">no newline</div>"
                                 "<div class=\"\">a < b & c\n</div>"
                                 "</body></html>";
    EXPECT_EQ(testing_support::ReadFile(mPath), expected);
}

TEST_F(LogTest, TextOutputGetsBareMessagesAndTeardownClosesHtmlOutputsFirst)
{
    {
        base::Log log;
        log.AddTextOutput(new RecordingOutput(&mTranscript, L"text"));
        LINE_TO(&log, L"count %d of %s\n").ApplyTag(base::LogHtmlBlockTag()) % 3u % std::wstring(L"\u00e9");
        log.AddHtmlOutput(new RecordingOutput(&mTranscript, L"html"));
        mTranscript.pop_back(); // the preamble, checked byte for byte above
    }
    std::vector<std::wstring> expected = {L"text: log initialized\n", L"text: count 3 of \u00e9\n",
                                          L"html: </body></html>",     L"html deleted",
                                          L"text: log terminated\n",   L"text deleted"};
    EXPECT_EQ(mTranscript, expected);
}

TEST_F(LogTest, StatementBeforeTheFileIsAttachedNeverReachesIt)
{
    {
        base::Log log;
        log.AddTextOutput(new RecordingOutput(&mTranscript, L"text"));
        LINE_TO(&log, L"early\n").ApplyTag(base::LogHtmlTag(L""));
        log.AddHtmlOutput(new base::LogUtf8File(WidePath()));
        LINE_TO(&log, L"late\n").ApplyTag(base::LogHtmlTag(L""));
    }
    std::string file = testing_support::ReadFile(mPath);
    EXPECT_EQ(file.find("early"), std::string::npos);
    EXPECT_NE(file.find("<div class=\"\">late\n</div>"), std::string::npos);
    EXPECT_EQ(file.find("log initialized"), std::string::npos);
    EXPECT_EQ(file.find("log terminated"), std::string::npos);
    EXPECT_EQ(mTranscript[1], L"text: early\n");
    EXPECT_EQ(mTranscript[2], L"text: late\n");
}

TEST_F(LogTest, FileThatCannotBeOpenedSwallowsWrites)
{
    {
        base::Log log;
        auto* file = new base::LogUtf8File(L"/nonexistent-folder/sub/log.html");
        EXPECT_FALSE(file->IsOpen());
        log.AddHtmlOutput(file);
        log.AddTextOutput(new RecordingOutput(&mTranscript, L"text"));
        LINE_TO(&log, L"still logged\n").ApplyTag(base::LogHtmlTag(L""));
    }
    EXPECT_EQ(mTranscript[1], L"text: still logged\n");
}

TEST_F(LogTest, UnencodableTextIsWrittenWithReplacementCharacters)
{
    std::wstring message(L"bad ");
    message.push_back(static_cast<wchar_t>(0xD800));
    message.push_back(static_cast<wchar_t>(0x110000));
    message += L" end\n";
    {
        base::Log log;
        log.AddHtmlOutput(new base::LogUtf8File(WidePath()));
        EXPECT_NO_THROW(LINE_TO(&log, L"%s").ApplyTag(base::LogHtmlTag(L"")) % message);
        EXPECT_NO_THROW(LINE_TO(&log, message).ApplyTag(base::LogHtmlTag(L"")));
    }
    std::string file = testing_support::ReadFile(mPath);
    const std::string block = "<div class=\"\">bad \xEF\xBF\xBD\xEF\xBF\xBD end\n</div>";
    EXPECT_NE(file.find(block + block + "</body></html>"), std::string::npos);
}

TEST_F(LogTest, TagsNestInsideEarlierTags)
{
    base::Log log;
    log.AddHtmlOutput(new RecordingOutput(&mTranscript, L"html"));
    {
        base::LogLine line(&log, L"m", "f", "d", "fn", 1);
        line.ApplyTag(base::LogHtmlBlockTag()).ApplyTag(base::LogHtmlTag(L"inner"));
        EXPECT_EQ(line.GetHtmlEntries()[0]->GetOpen(), L"<div class=\"block\"><div class=\"inner\">");
        EXPECT_EQ(line.GetHtmlEntries()[0]->GetClose(), L"</div></div>");
    }
    EXPECT_EQ(mTranscript.back(), L"html: <div class=\"block\"><div class=\"inner\">m</div></div>");
}

TEST(LogSourcePath, IsCutBelowTheRootFolderWithoutExtension)
{
    struct Case
    {
        const char* path;
        const char* cut;
    } cases[] = {
        {"/home/me/src/brightwork/Core/Resource/Resource.cpp", "Core/Resource/Resource"},
        {"Core/App/Win32/ApplicationWin32", "Core/App/Win32/ApplicationWin32"},
        {"/work/Game/checkout/Game/Play/GameField.cpp", "Game/Play/GameField"},
        {"elsewhere/file.v2.cpp", "elsewhere/file.v2"},
        {"", ""},
    };
    for (const Case& c : cases)
    {
        char out[256];
        base::CutSourcePath(c.path, out, sizeof(out));
        EXPECT_STREQ(out, c.cut) << c.path;
    }
    char tiny[5];
    base::CutSourcePath("Core/Base/Log.cpp", tiny, sizeof(tiny));
    EXPECT_STREQ(tiny, "Core");
}

TEST(LogRecord, LongSignatureIsCutToItsBuffer)
{
    std::vector<std::wstring> transcript;
    base::Log log;
    log.AddTextOutput(new RecordingOutput(&transcript, L"t"));
    std::string longName(5000, 'f');
    base::LogLine line(&log, L"m", "Core/A.cpp", std::string(300, 'd').c_str(), longName.c_str(), 9);
    const base::LogLineEntry* entry = line.GetTextEntries()[0];
    EXPECT_EQ(std::string(entry->GetFunction()).size(), 2047u);
    EXPECT_EQ(std::string(entry->GetDate()).size(), 255u);
}

// The statement macros reach the main log with the record filled in.
namespace
{
std::vector<std::wstring> gMainTranscript;

void CheckRecord(base::LogLine& line, int expectedLine)
{
    ASSERT_FALSE(line.GetTextEntries().empty());
    const base::LogLineEntry* entry = line.GetTextEntries().back();
    EXPECT_STREQ(entry->GetFile(), "Core/Base/LogTest");
    EXPECT_STREQ(entry->GetDate(), __TIMESTAMP__);
    EXPECT_NE(std::string(entry->GetFunction()).find("TestBody"), std::string::npos);
    EXPECT_EQ(entry->GetLine(), expectedLine);
    EXPECT_TRUE(entry->GetOpen().empty());
}

void CheckFixedFunction(base::LogLine& line)
{
    EXPECT_STREQ(line.GetTextEntries().back()->GetFunction(),
                 "enum BWResultEnum __thiscall resource::Resource::Load(void)");
}
} // namespace

TEST(MainLog, MacrosWriteRecordsWithSourceDetails)
{
    base::MainLog* log = base::MainLog::Instance();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(base::MainLog::Instance(), log);
    log->AddTextOutput(new RecordingOutput(&gMainTranscript, L"main"));

    CheckRecord(BW_LOG(L"x"), __LINE__);
    BW_LOG(L"%s has %d items\n") % std::wstring(L"bag") % 4u;
    BW_LOG_BLOCK(L"block %s\n") % std::wstring(L"b");
    CheckFixedFunction(BW_LOG_BLOCK_FUNC("enum BWResultEnum __thiscall resource::Resource::Load(void)", L"y"));

    ASSERT_GE(gMainTranscript.size(), 5u);
    EXPECT_EQ(gMainTranscript[0], L"main: log initialized\n");
    EXPECT_EQ(gMainTranscript[2], L"main: bag has 4 items\n");
    EXPECT_EQ(gMainTranscript[3], L"main: block b\n");
}

} // namespace
