#pragma once

namespace snaplorn {

class Wallpaper
{
public:
    virtual ~Wallpaper() = default;
};

} // namespace snaplorn
