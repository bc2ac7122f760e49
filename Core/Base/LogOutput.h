#pragma once

#include <fstream>
#include <string>

namespace base
{

// Where finished log texts go. Owned by the log once attached.
class LogOutput
{
public:
    virtual ~LogOutput();
    virtual void Write(const std::wstring& text) = 0;
};

// The debugger output (standard error here).
class LogDebugOutput : public LogOutput
{
public:
    void Write(const std::wstring& text) override;
};

// A file written as UTF-8 and flushed after every write, so that it is complete
// up to the last record if the process ends abruptly. A file that cannot be
// opened swallows the writes.
class LogUtf8File : public LogOutput
{
public:
    explicit LogUtf8File(const std::wstring& path);
    ~LogUtf8File() override;

    // Never throws: a character that UTF-8 cannot hold is written as U+FFFD.
    void Write(const std::wstring& text) override;

    bool IsOpen() const { return mStream.is_open(); }

private:
    std::ofstream mStream;
};

} // namespace base
