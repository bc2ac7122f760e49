#pragma once

#include <memory>
#include <string>
#include <vector>

namespace testing_support
{

// Attaches an output to the main log that keeps every message written from
// now on. The output stays attached (the log owns it) after the capture goes.
class LogCapture
{
public:
    LogCapture();

    // Whether some message written since the capture began contains text.
    bool Contains(const std::wstring& text) const;
    const std::vector<std::wstring>& Messages() const { return *mMessages; }

private:
    std::shared_ptr<std::vector<std::wstring>> mMessages;
};

} // namespace testing_support
