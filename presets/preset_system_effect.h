// The preset-system effect lives in the VST room (host/preset_system_effect.h); Plugin's header
// still finds it here until Plugin itself moves there.
#pragma once

#include "host/preset_system_effect.h"
