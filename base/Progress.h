#pragma once

namespace kx {

// A progress meter given to long work by its caller (the route editor passes its
// status bar).
class Progress
{
public:
    virtual ~Progress() = default;
    virtual void setMaximum(int maximum) = 0;
    virtual void setPosition(int position) = 0;
};

} // namespace kx
