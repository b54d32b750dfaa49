// The toolkit's key events: the key record below the toolkit (platform/key_event.h), named here as the
// toolkit's own.
#pragma once

#include "platform/key_event.h"

namespace gui {

using platform::KeyEvent;
using platform::KeyModifier;
using platform::kModifierAlt;
using platform::kModifierCommand;
using platform::kModifierControl;
using platform::kModifierShift;
using platform::VirtualKey;

} // namespace gui
