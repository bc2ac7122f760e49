#include "LogCapture.h"

#include "Core/Base/Log.h"

namespace testing_support
{
namespace
{

class CaptureOutput : public base::LogOutput
{
public:
    explicit CaptureOutput(std::shared_ptr<std::vector<std::wstring>> messages) : mMessages(std::move(messages)) {}
    void Write(const std::wstring& text) override { mMessages->push_back(text); }

private:
    std::shared_ptr<std::vector<std::wstring>> mMessages;
};

} // namespace

LogCapture::LogCapture(bool html) : mMessages(std::make_shared<std::vector<std::wstring>>())
{
    if (base::MainLog* log = base::MainLog::Instance())
    {
        if (html)
            log->AddHtmlOutput(new CaptureOutput(mMessages));
        else
            log->AddTextOutput(new CaptureOutput(mMessages));
        mMessages->clear(); // drop "log initialized" or the preamble
    }
}

bool LogCapture::Contains(const std::wstring& text) const
{
    return Count(text) > 0;
}

size_t LogCapture::Count(const std::wstring& text) const
{
    size_t count = 0;
    for (const std::wstring& message : *mMessages)
        count += message.find(text) != std::wstring::npos;
    return count;
}

} // namespace testing_support
