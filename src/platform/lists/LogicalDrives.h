#pragma once
#include <cstdint>

// The bit mask of lettered drives (bit 0 = A). Linux has no drive letters, so the
// system implementation answers 0; tests inject their own masks.
class ILogicalDrives {
public:
    virtual ~ILogicalDrives() = default;
    virtual std::int32_t GetLogicalDrives() const = 0;
};

class SystemLogicalDrives : public ILogicalDrives {
public:
    std::int32_t GetLogicalDrives() const override { return 0; }
};
