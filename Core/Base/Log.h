#pragma once

// The engine's log. A log statement names its message format and feeds the
// arguments with %: integers (unsigned 32-bit) and wide strings.
//
//   #include "Core/Base/Log.h"
//
//   BW_LOG(L"%s(0): Html log file\n") % path;                     // <div class="">
//   BW_LOG_BLOCK(L"Trying to Load already loaded resource '%s'.\n") % mName;
//   BW_LOG(L"Device lost %d times\n") % count;
//
// Where the record must name its function with a fixed text instead of the
// compiler's signature, use BW_LOG_FUNC / BW_LOG_BLOCK_FUNC:
//
//   BW_LOG_BLOCK_FUNC("enum BWResultEnum __thiscall resource::Resource::Load(void)",
//                     L"Trying to Load already loaded resource '%s'.\n") % mName;
//
// The record is written at the end of the statement: the HTML file gets
// <div class="...">message</div>, the debugger output the bare message.
// Messages are not HTML-escaped. Formats are those of base::Format.

#include "Core/Base/LogLine.h"
#include "Core/Base/LogOutput.h"
#include "Core/Base/NoCopy.h"
#include "Core/Base/Singletone.h"

#include <string>
#include <vector>

namespace base
{

// Writes the HTML preamble on attaching, "</body></html>" on closing.
class LogHtmlAttachment : private NoCopy
{
public:
    explicit LogHtmlAttachment(LogOutput* output);
    // Writes the footer and deletes the output.
    void Close();

    LogOutput* mOutput;
};

// Writes "log initialized\n" on attaching, "log terminated\n" on closing.
class LogTextAttachment : private NoCopy
{
public:
    explicit LogTextAttachment(LogOutput* output);
    void Close();

    LogOutput* mOutput;
};

class Log : private NoCopy
{
public:
    Log();
    // Closes the HTML outputs first, then the text outputs.
    ~Log();

    // The log owns the output from here on.
    void AddHtmlOutput(LogOutput* output);
    void AddTextOutput(LogOutput* output);

    const std::vector<LogHtmlAttachment*>& GetHtmlAttachments() const { return mHtml; }
    const std::vector<LogTextAttachment*>& GetTextAttachments() const { return mText; }

private:
    std::vector<LogHtmlAttachment*> mHtml;
    std::vector<LogTextAttachment*> mText;
};

// The one log of the process. Created by the first statement, destroyed by the
// singleton registry after every other singleton; statements made after that
// write nothing.
class MainLog : public Singletone<MainLog>, public Log
{
public:
    MainLog();
    static MainLog* Instance();
    static MainLog* Create();
};

// The HTML preamble written at the top of the log file.
extern const wchar_t* const LogHtmlPreamble;

} // namespace base

#define BW_LOG_TAGGED(tag, function, format) \
    ::base::LogLine(::base::MainLog::Instance(), format, __FILE__, __TIMESTAMP__, function, __LINE__).ApplyTag(tag)

#define BW_LOG(format) BW_LOG_TAGGED(::base::LogHtmlTag(L""), __PRETTY_FUNCTION__, format)
#define BW_LOG_BLOCK(format) BW_LOG_TAGGED(::base::LogHtmlBlockTag(), __PRETTY_FUNCTION__, format)
#define BW_LOG_FUNC(function, format) BW_LOG_TAGGED(::base::LogHtmlTag(L""), function, format)
#define BW_LOG_BLOCK_FUNC(function, format) BW_LOG_TAGGED(::base::LogHtmlBlockTag(), function, format)
