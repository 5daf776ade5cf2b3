// "Is Orvantis already running on this desktop?"
#pragma once

#include <QString>

namespace orvantis {

class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // Claims the running-instance marker for this process. Returns false when
    // another live instance holds it (shown or hidden in the tray). Atomic:
    // of several processes starting at once exactly one gets true.
    virtual bool TryClaim() = 0;
};

} // namespace orvantis
