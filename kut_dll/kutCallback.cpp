#include "kutCallback.h"

kutCallback::kutCallback() : callee(nullptr), function()
{
}

kutCallback::kutCallback(const void* callee_, const void* function_, unsigned size)
    : callee(nullptr), function()
{
    if (callee_) {
        if (size > FUNCTION_SIZE || !function_)
            return;
        callee = const_cast<void*>(callee_);
        std::memcpy(function, function_, size);
    } else {
        std::memcpy(function, &function_, sizeof function_);
    }
}

kutCallback::operator int() const
{
    if (callee)
        return 1;
    for (unsigned char b : function)
        if (b)
            return 1;
    return 0;
}

kutCallback0::kutCallback0() : thunk(nullptr) {}

kutCallback0::kutCallback0(Thunk thunk_, const void* callee, const void* function, unsigned size)
    : kutCallback(callee, function, size), thunk(thunk_)
{
}
