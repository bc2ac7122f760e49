#pragma once

// The result of nearly every engine and game operation. 0 is success; callers
// pass any non-zero value upward unchanged.
enum BWResultEnum
{
    BW_OK = 0,
    BW_FAIL = 1,
};
