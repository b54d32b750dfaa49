// The VST 2.4 key records in the toolkit's terms, for the keys the host passes to the editor.
#pragma once

#include "gui/key_event.h"
#include "host/vst_abi.h"

namespace vst {

// The virtual key (a code outside the published table is none), the character and the modifier bits.
gui::KeyEvent keyEventOf(const VstKeyCode& code);

} // namespace vst
