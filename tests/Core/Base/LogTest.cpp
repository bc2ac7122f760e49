#include "Core/Base/Log.h"

#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

// Records every write into a transcript, tagged with its name.
class RecordingOutput : public base::LogOutput
{
public:
    RecordingOutput(std::vector<std::wstring>* transcript, const wchar_t* name) : mTranscript(transcript), mName(name)
    {
    }
    ~RecordingOutput() override { mTranscript->push_back(mName + L" deleted"); }
    void Write(const std::wstring& text) override { mTranscript->push_back(mName + L": " + text); }

private:
    std::vector<std::wstring>* mTranscript;
    std::wstring mName;
};

#define LINE_TO(log, format) base::LogLine(log, format, __FILE__, __TIMESTAMP__, __PRETTY_FUNCTION__, __LINE__)

// Statements before the file is attached reach only the text output; text
// that has no UTF-8 form is written with replacement characters, never thrown.
TEST(Log, FileHoldsPreambleBlocksAndFooterByteForByte)
{
    const std::string path = std::string(BW_BINARY_DIR) + "/log_test.html";
    std::remove(path.c_str());
    std::vector<std::wstring> transcript;
    std::wstring bad(L"bad ");
    bad.push_back(static_cast<wchar_t>(0xD800));
    bad.push_back(static_cast<wchar_t>(0x110000));
    {
        base::Log log;
        log.AddTextOutput(new RecordingOutput(&transcript, L"text"));
        LINE_TO(&log, L"early\n").ApplyTag(base::LogHtmlTag(L""));
        log.AddHtmlOutput(new base::LogUtf8File(std::wstring(path.begin(), path.end())));
        LINE_TO(&log, L"%s(0): Html log file\n").ApplyTag(base::LogHtmlTag(L"")) % std::wstring(L"/tmp/log.html");
        LINE_TO(&log, L"Trying to Load already loaded resource '%s'.\n").ApplyTag(base::LogHtmlBlockTag()) %
            std::wstring(L"gui/\u043c\u0435\u043d\u044e");
        LINE_TO(&log, L"no newline").ApplyTag(base::LogHtmlBlockTag()).ApplyTag(base::LogHtmlTag(L"inner"));
        LINE_TO(&log, L"a < b & c %d\n").ApplyTag(base::LogHtmlTag(L"")) % 3u;
        EXPECT_NO_THROW(LINE_TO(&log, L"%s").ApplyTag(base::LogHtmlTag(L"")) % bad);
        EXPECT_NO_THROW(LINE_TO(&log, bad).ApplyTag(base::LogHtmlTag(L"")));
    }
    const std::string expected = testing_support::ReadFile(BW_SOURCE_DIR "/tests/Core/Base/fixtures/log.html");
    EXPECT_EQ(testing_support::ReadFile(path), expected);
    std::remove(path.c_str());
    ASSERT_EQ(transcript.size(), 10u);
    EXPECT_EQ(transcript[1], L"text: early\n");
    EXPECT_EQ(transcript[5], L"text: a < b & c 3\n");
    EXPECT_EQ(transcript[8], L"text: log terminated\n");
}

TEST(Log, FileThatCannotBeOpenedSwallowsWritesAndLongRecordsAndPathsAreCutToTheirBuffers)
{
    std::vector<std::wstring> transcript;
    base::Log log;
    auto* file = new base::LogUtf8File(L"/nonexistent-folder/sub/log.html");
    EXPECT_FALSE(file->IsOpen());
    log.AddHtmlOutput(file);
    log.AddTextOutput(new RecordingOutput(&transcript, L"text"));
    LINE_TO(&log, L"still logged\n").ApplyTag(base::LogHtmlTag(L""));
    EXPECT_EQ(transcript[1], L"text: still logged\n");

    std::string longName(5000, 'f');
    base::LogLine line(&log, L"m", "Core/A.cpp", std::string(300, 'd').c_str(), longName.c_str(), 9);
    const base::LogLineEntry* entry = line.GetTextEntries()[0];
    EXPECT_EQ(std::string(entry->GetFunction()).size(), 2047u);
    EXPECT_EQ(std::string(entry->GetDate()).size(), 255u);
    char tiny[5];
    base::CutSourcePath("/home/me/src/Core/Base/Log.cpp", tiny, sizeof(tiny));
    EXPECT_STREQ(tiny, "Core");
}

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

TEST(ExitOrder, MainLogOutlivesSingletonsThatLogFromTheirDestructors)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RunAndExit(), ::testing::ExitedWithCode(3), "log initialized\nchatty gone\nlog terminated\n$");
}

} // namespace
