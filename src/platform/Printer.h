#pragma once

namespace snaplorn {

class Printer
{
public:
    virtual ~Printer() = default;
};

} // namespace snaplorn
