#pragma once
#include "AppError.h"

#include <functional>

// The AppError number a call throws, 0 when it returns.
inline int ErrorOf(const std::function<void()>& call)
{
    try {
        call();
        return 0;
    } catch (const AppError& e) {
        return e.Number();
    }
}
