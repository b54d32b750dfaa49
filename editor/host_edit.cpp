#include "editor/host_edit.h"

#include "gui/frame.h"

namespace editor {

void beginControlEdit(CControl* control, bool takeFocus) {
    if (CControlListener* listener = control->getListener()) listener->controlBeginEdit(control);
    CFrame* frame = control->getFrame();
    if (!frame) return;
    if (takeFocus) frame->setFocusView(control);
    if (isHostParameterTag(control->getTag()))
        if (VSTGUIEditorInterface* owner = frame->getEditor()) owner->beginEdit(control->getTag());
}

void endControlEdit(CControl* control) {
    if (CFrame* frame = control->getFrame())
        if (isHostParameterTag(control->getTag()))
            if (VSTGUIEditorInterface* owner = frame->getEditor()) owner->endEdit(control->getTag());
    if (CControlListener* listener = control->getListener()) listener->controlEndEdit(control);
}

} // namespace editor
