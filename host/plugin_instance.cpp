// What the entry point builds: the limiter with its editor. Only the plug-in binary compiles this
// file, so that the engine and its tests stand without the editor and the window system.
#include "host/plugin.h"
#include "host/plugin_editor.h"

AudioEffect* createEffectInstance(vst::HostCallback audioMaster) {
    return new Plugin(audioMaster, &createPluginEditor);
}
