#pragma once

namespace snaplorn {

class Mailer
{
public:
    virtual ~Mailer() = default;
};

} // namespace snaplorn
