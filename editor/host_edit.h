// Begin and end of an edit for the editor's controls. The toolkit relays every control's tag to the
// host as the index of an edited parameter; the editor's own tags (27 to 30: meters and the
// "AttShow" bit buttons) are no parameters, so only tags 0 to 25 reach the host here.
#pragma once

#include <cstdint>

#include "engine/parameters.h"
#include "gui/control.h"

namespace editor {

constexpr bool isHostParameterTag(std::int32_t tag) {
    return tag >= 0 && tag < engine::kNumParameters;
}

// The listener's begin hook; the control becomes the frame's focus view when takeFocus is set (the
// knobs, so that the arrow keys reach them); the host hears the begin for parameter tags only.
void beginControlEdit(CControl* control, bool takeFocus);
// The host hears the end for parameter tags only; then the listener's end hook.
void endControlEdit(CControl* control);

} // namespace editor
