#pragma once
// Numbers as our content files write them: always with the C locale's "." whatever the user's
// locale is, and floats with the fewest digits that read back to the very same float.
#include <string>

namespace contentkit {

class CNumberText {
public:
    // Fixed notation ("1.3", "-60", "0.00001"). A NaN or an infinity, which no reader of ours
    // understands, is written as "0"; `finite` (when given) is cleared then.
    static std::string fromFloat(float value, bool* finite = nullptr);
    static std::string fromInt(long long value);
};

} // namespace contentkit
