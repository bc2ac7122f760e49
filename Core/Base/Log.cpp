#include "Core/Base/Log.h"

#include <cstring>

namespace base
{

const wchar_t* const LogHtmlPreamble =
    L"<html><head>"
    L"<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">"
    L"<meta http-equiv=Content-Language content=ru>"
    L"<style>\n"
    L"body {font-family:verdana;}\n"
    L"hr { size:1px;color:000000 }\n"
    L"div.error { border-width:0 0 0 0px;border-style:solid;border-color:FF0000;color:AA0000;"
    L"background:#CCCCCC;font-weight:bold;padding-bottom:0px; }\n"
    L"span.info { color:000000; }\n"
    L"div.block { border-width:1px;border-style:solid;border-color:000000;padding:3px;margin-bottom:5px; }\n"
    L"div.blockhead { border-width:0px;padding:3px; font-weight:bold ;color:000000;background:#DDDDDD;}\n"
    L"</style></head>\n<body>\n";

// --- Markup ------------------------------------------------------------------------

LogHtmlTag::LogHtmlTag(const wchar_t* className)
    : mOpen(std::wstring(L"<div class=\"") + (className ? className : L"") + L"\">"), mClose(L"</div>")
{
}

LogHtmlBlockTag::LogHtmlBlockTag() : LogHtmlTag(L"block") {}

// --- Attachments -------------------------------------------------------------------

LogHtmlAttachment::LogHtmlAttachment(LogOutput* output) : mOutput(output)
{
    mOutput->Write(LogHtmlPreamble);
}

void LogHtmlAttachment::Close()
{
    mOutput->Write(L"</body></html>");
    delete mOutput;
    mOutput = nullptr;
}

LogTextAttachment::LogTextAttachment(LogOutput* output) : mOutput(output)
{
    mOutput->Write(L"log initialized\n");
}

void LogTextAttachment::Close()
{
    mOutput->Write(L"log terminated\n");
    delete mOutput;
    mOutput = nullptr;
}

// --- Log -----------------------------------------------------------------------------

Log::Log() = default;

Log::~Log()
{
    for (LogHtmlAttachment* attachment : mHtml)
    {
        attachment->Close();
        delete attachment;
    }
    for (LogTextAttachment* attachment : mText)
    {
        attachment->Close();
        delete attachment;
    }
}

void Log::AddHtmlOutput(LogOutput* output)
{
    if (output)
        mHtml.push_back(new LogHtmlAttachment(output));
}

void Log::AddTextOutput(LogOutput* output)
{
    if (output)
        mText.push_back(new LogTextAttachment(output));
}

MainLog::MainLog()
{
    // Every other singleton may still log from its destructor.
    SingletonRegistry::Get().KeepLast(this);
}

MainLog* MainLog::Instance()
{
    return Singletone<MainLog>::Instance();
}

MainLog* MainLog::Create()
{
    return new MainLog;
}

// --- Log lines -------------------------------------------------------------------------

namespace
{

void CopyCut(const char* text, char* out, size_t size)
{
    if (!text)
        text = "";
    size_t length = std::strlen(text);
    if (length >= size)
        length = size - 1;
    std::memcpy(out, text, length);
    out[length] = '\0';
}

bool StartsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

} // namespace

void CutSourcePath(const char* path, char* out, size_t size)
{
    if (size == 0)
        return;
    if (!path)
        path = "";
    static const char* const roots[] = {"Core/", "Framework/", "Game/", "Platform/"};
    // The last root folder in the path: the checkout may itself sit below a
    // folder of the same name.
    const char* start = path;
    for (const char* p = path; *p; ++p)
    {
        if (p != path && p[-1] != '/')
            continue;
        for (const char* root : roots)
            if (StartsWith(p, root))
                start = p;
    }
    const char* end = start + std::strlen(start);
    for (const char* p = end; p > start; --p)
    {
        if (p[-1] == '/')
            break;
        if (p[-1] == '.')
        {
            end = p - 1;
            break;
        }
    }
    size_t length = static_cast<size_t>(end - start);
    if (length >= size)
        length = size - 1;
    std::memcpy(out, start, length);
    out[length] = '\0';
}

LogLineEntry::LogLineEntry(LogOutput* output, const std::wstring& format, const char* file, const char* date,
                           const char* function, int line)
    : Format<wchar_t>(format), mOutput(output), mLine(line)
{
    CutSourcePath(file, mFile, sizeof(mFile));
    CopyCut(date, mDate, sizeof(mDate));
    CopyCut(function, mFunction, sizeof(mFunction));
}

void LogLineEntry::ApplyTag(const LogHtmlTag& tag)
{
    mOpen = mOpen + tag.mOpen;
    mClose = tag.mClose + mClose;
}

void LogLineEntry::Write()
{
    AppendTail();
    mOutput->Write(mOpen + GetResult() + mClose);
}

LogLine::LogLine(Log* log, const wchar_t* format, const char* file, const char* date, const char* function,
                 int line)
{
    Build(log, format ? std::wstring(format) : std::wstring(), file, date, function, line);
}

LogLine::LogLine(Log* log, const std::wstring& format, const char* file, const char* date, const char* function,
                 int line)
{
    Build(log, format, file, date, function, line);
}

void LogLine::Build(Log* log, const std::wstring& format, const char* file, const char* date,
                    const char* function, int line)
{
    if (!log)
        return;
    for (LogHtmlAttachment* attachment : log->GetHtmlAttachments())
        mHtmlEntries.push_back(new LogLineEntry(attachment->mOutput, format, file, date, function, line));
    for (LogTextAttachment* attachment : log->GetTextAttachments())
        mTextEntries.push_back(new LogLineEntry(attachment->mOutput, format, file, date, function, line));
}

LogLine::~LogLine()
{
    // A destructor must not throw: a record that fails to write is lost.
    for (std::vector<LogLineEntry*>* entries : {&mHtmlEntries, &mTextEntries})
    {
        for (LogLineEntry* entry : *entries)
        {
            try
            {
                entry->Write();
            }
            catch (...)
            {
            }
            delete entry;
        }
    }
}

LogLine& LogLine::ApplyTag(const LogHtmlTag& tag)
{
    for (LogLineEntry* entry : mHtmlEntries)
        entry->ApplyTag(tag);
    return *this;
}

LogLine& LogLine::operator%(const std::wstring& text)
{
    for (std::vector<LogLineEntry*>* entries : {&mHtmlEntries, &mTextEntries})
        for (LogLineEntry* entry : *entries)
            *entry % text;
    return *this;
}

LogLine& LogLine::operator%(const uint32_t& value)
{
    for (std::vector<LogLineEntry*>* entries : {&mHtmlEntries, &mTextEntries})
        for (LogLineEntry* entry : *entries)
            *entry % value;
    return *this;
}

} // namespace base
