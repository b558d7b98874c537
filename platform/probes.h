// The system facts the information panel shows.
#pragma once

namespace corvale {

class SystemProbes {
public:
    virtual ~SystemProbes() = default;
};

}  // namespace corvale
