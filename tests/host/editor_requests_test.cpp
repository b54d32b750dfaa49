// The editor as a host reaches it through the binary: its size, and a window request that cannot be
// served (no display backend, as on Linux, or a parent that is no window) answered with 0 and
// leaving the instance whole.
#include <gtest/gtest.h>

#include "platform/registry_sandbox.h"
#include "tests/host/test_host.h"

using namespace vst;
using namespace testhost;

namespace {} // namespace

TEST(BinaryEditorRequests, TheHostGetsTheEditorsSize) {
    platform::RegistrySandbox sandbox;
    Instance fx(library());
    EXPECT_TRUE(fx->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    ASSERT_EQ(fx.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 462);
    EXPECT_EQ(rect->right, 524);
}

TEST(BinaryEditorRequests, AWindowThatCannotBeMadeIsAnsweredWithZero) {
    platform::RegistrySandbox sandbox;
    Instance fx(library());
    // No display on Linux; on Windows this handle names no window.
    int notAWindow = 0;
    EXPECT_EQ(fx.dispatch(effEditOpen, 0, 0, &notAWindow), 0);
    fx.dispatch(effEditIdle);
    fx.dispatch(effEditClose);
    // The instance goes on as before.
    fx->setParameter(fx.get(), 0, 0.25f);
    EXPECT_EQ(fx->getParameter(fx.get(), 0), 0.25f);
    EXPECT_EQ(fx.dispatch(effEditOpen, 0, 0, &notAWindow), 0);
}
