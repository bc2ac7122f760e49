#pragma once

#include "Core/Base/Format.h"
#include "Core/Base/NoCopy.h"

#include <cstdint>
#include <string>
#include <vector>

namespace base
{

class Log;
class LogOutput;

// The markup around a record in the HTML file: <div class="name"> and </div>.
class LogHtmlTag
{
public:
    explicit LogHtmlTag(const wchar_t* className);

    std::wstring mOpen;
    std::wstring mClose;
};

// The framed block of resource and shader messages: <div class="block">.
class LogHtmlBlockTag : public LogHtmlTag
{
public:
    LogHtmlBlockTag();
};

// One record on its way to one output: the message formatter, the markup and
// where the statement stands in the source. The source details travel with
// every record; the output receives markup and message only.
class LogLineEntry : public Format<wchar_t>
{
public:
    LogLineEntry(LogOutput* output, const std::wstring& format, const char* file, const char* date,
                 const char* function, int line);

    // Tags nest: the new tag goes inside the markup already applied.
    void ApplyTag(const LogHtmlTag& tag);
    // Appends the rest of the format and hands markup + message to the output.
    void Write();

    const std::wstring& GetOpen() const { return mOpen; }
    const std::wstring& GetClose() const { return mClose; }
    const char* GetFile() const { return mFile; }
    const char* GetDate() const { return mDate; }
    const char* GetFunction() const { return mFunction; }
    int GetLine() const { return mLine; }

private:
    LogOutput* mOutput;
    std::wstring mOpen;
    std::wstring mClose;
    char mFile[256];
    char mDate[256];
    char mFunction[2048];
    int mLine;
};

// One log statement: an entry per attached output, written when the line is
// destroyed (at the end of the statement). A null log makes a line that writes
// nothing.
class LogLine : private NoCopy
{
public:
    LogLine(Log* log, const wchar_t* format, const char* file, const char* date, const char* function, int line);
    // The format is parsed like any other: a '%' in it starts a conversion.
    // Pass outside text as an argument of "%s" instead.
    LogLine(Log* log, const std::wstring& format, const char* file, const char* date, const char* function,
            int line);
    ~LogLine();

    // Applies the tag to the HTML entries; text outputs get no markup.
    LogLine& ApplyTag(const LogHtmlTag& tag);

    LogLine& operator%(const std::wstring& text);
    LogLine& operator%(const uint32_t& value);

    const std::vector<LogLineEntry*>& GetHtmlEntries() const { return mHtmlEntries; }
    const std::vector<LogLineEntry*>& GetTextEntries() const { return mTextEntries; }

private:
    void Build(Log* log, const std::wstring& format, const char* file, const char* date, const char* function,
               int line);

    std::vector<LogLineEntry*> mHtmlEntries;
    std::vector<LogLineEntry*> mTextEntries;
};

// "/src/brightwork/Core/Resource/Resource.cpp" -> "Core/Resource/Resource": the
// path below the engine's root folder, without extension, cut to fit.
void CutSourcePath(const char* path, char* out, size_t size);

} // namespace base
