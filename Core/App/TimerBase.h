#pragma once

namespace app
{

class TimerBase
{
public:
    virtual ~TimerBase() = default;
};

} // namespace app
