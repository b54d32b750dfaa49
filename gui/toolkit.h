// The whole toolkit in one include.
#pragma once

#include "gui/bitmap.h"
#include "gui/control.h"
#include "gui/draw_context.h"
#include "gui/file_selector.h"
#include "gui/font.h"
#include "gui/frame.h"
#include "gui/frame_editor.h"
#include "gui/geometry.h"
#include "gui/key_event.h"
#include "gui/option_menu.h"
#include "gui/param_display.h"
#include "gui/standard_controls.h"
#include "gui/text_edit.h"
#include "gui/tick_source.h"
#include "gui/view.h"
