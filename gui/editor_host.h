// What an editor asks of the plug-in it edits, whatever the plug-in format: the gesture around each
// parameter change a control makes, and the host's idle call of the idle pump.
#pragma once

#include <cstdint>

namespace gui {

class EditorHost {
public:
    virtual void beginEdit(std::int32_t index) = 0;
    virtual void endEdit(std::int32_t index) = 0;
    virtual void idleHost() = 0;

protected:
    ~EditorHost() = default;
};

} // namespace gui
