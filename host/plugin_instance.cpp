// What the entry point builds: the limiter with its editor. Only the plug-in binary compiles this
// file, so that the engine and its tests stand without the editor and the window system.
#include "editor/editor.h"
#include "host/plugin.h"

namespace {

AEffEditor* createEditor(AudioEffect* effect) {
    return new Editor(effect);
}

} // namespace

AudioEffect* createEffectInstance(vst::HostCallback audioMaster) {
    return new Plugin(audioMaster, &createEditor);
}
