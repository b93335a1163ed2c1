#pragma once

namespace snaplorn {

class Tray
{
public:
    virtual ~Tray() = default;
};

} // namespace snaplorn
