#pragma once

#include <memory>
#include <string>
#include <vector>

namespace testing_support
{

// Attaches an output to the main log that keeps every message written from
// now on. The output stays attached (the log owns it) after the capture goes.
// An HTML capture keeps each record as the log file gets it, markup included.
class LogCapture
{
public:
    explicit LogCapture(bool html = false);

    // Whether some message written since the capture began contains text.
    bool Contains(const std::wstring& text) const;
    // How many messages contain text.
    size_t Count(const std::wstring& text) const;
    const std::vector<std::wstring>& Messages() const { return *mMessages; }
    void Clear() { mMessages->clear(); }

private:
    std::shared_ptr<std::vector<std::wstring>> mMessages;
};

} // namespace testing_support
