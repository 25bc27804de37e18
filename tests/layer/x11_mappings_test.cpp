// The X11 backend's pure mappings, without a display: virtual keys, mouse
// key flags, pixel values of true-colour visuals, and the focus rule.
// GoogleTest first: Xlib's None macro would break its headers.
#include <gtest/gtest.h>

#include "platform/posix/x11/x11_mappings.h"

#include <X11/keysym.h>

namespace {

using namespace w32::x11;

TEST(X11Mappings, KeySymsBecomeVirtualKeys)
{
    for (KeySym k = XK_a; k <= XK_z; ++k) {
        EXPECT_EQ(VirtualKey(k), (UINT)('A' + (k - XK_a)));
        EXPECT_EQ(VirtualKey(k - XK_a + XK_A), VirtualKey(k)) << "case does not matter";
    }
    const struct {
        KeySym sym;
        UINT vk;
    } keys[] = {{XK_0, '0'},       {XK_9, '9'},       {XK_F1, 0x70},     {XK_F24, 0x87},    {XK_KP_0, 0x60},
                {XK_Escape, 0x1B}, {XK_Return, 0x0D}, {XK_KP_Enter, 0x0D}, {XK_space, 0x20}, {XK_Left, 0x25},
                {XK_Down, 0x28},   {XK_Shift_R, 0x10}, {XK_Control_L, 0x11}, {XK_Meta_L, 0x12}, {XK_Super_R, 0x5C},
                {XK_Print, 0x2C},  {XK_eacute, 0xFF}, {NoSymbol, 0xFF}};
    for (const auto& k : keys)
        EXPECT_EQ(VirtualKey(k.sym), k.vk) << k.sym;
}

TEST(X11Mappings, EachButtonAndModifierHasItsFlag)
{
    const struct {
        unsigned state;
        WPARAM keys;
    } cases[] = {{Button1Mask, 0x01}, {Button3Mask, 0x02}, {ShiftMask, 0x04}, {ControlMask, 0x08},
                 {Button2Mask, 0x10}, {Mod1Mask | Button4Mask, 0}};
    WPARAM all = 0;
    unsigned allStates = 0;
    for (const auto& c : cases) {
        EXPECT_EQ(MouseKeys(c.state), c.keys) << c.state;
        all |= c.keys;
        allStates |= c.state;
    }
    EXPECT_EQ(MouseKeys(allStates), all);
}

TEST(X11Mappings, PixelValuesFillEachVisualsMasks)
{
    const struct {
        unsigned long red, green, blue;
        unsigned long orange;  // 0xFF8000, each channel rounded to its width
    } visuals[] = {{0xFF0000, 0xFF00, 0xFF, 0xFF8000}, {0xF800, 0x7E0, 0x1F, 0xFC00}, {0xFF, 0xFF00, 0xFF0000, 0x80FF},
                   {0x3FF00000, 0xFFC00, 0x3FF, 0x3FF80800}};
    for (const auto& v : visuals) {
        XVisualInfo info = {};
        info.red_mask = v.red;
        info.green_mask = v.green;
        info.blue_mask = v.blue;
        EXPECT_EQ(PixelValue(info, 0xFFFFFF), v.red | v.green | v.blue);
        EXPECT_EQ(PixelValue(info, 0), 0u);
        EXPECT_EQ(PixelValue(info, 0xFF8000), v.orange) << std::hex << v.red;
    }
}

// A FocusOut ends activation only when the focus left our tree for good; a
// FocusIn restores it unless it only moved inside. One row per detail X
// reports; grabs move the focus for a moment and never count.
TEST(X11Mappings, OnlyAFocusLeavingOurTreeCanEndActivation)
{
    const struct {
        const char* name;
        int detail;
        bool leaves;     // a FocusOut in mode NotifyNormal ends activation
        bool comesBack;  // a FocusIn in mode NotifyNormal restores it
    } rows[] = {
        {"to or from an ancestor (the root)", NotifyAncestor, true, true},
        {"passing through our window to an ancestor", NotifyVirtual, true, true},
        {"to or from one of our children", NotifyInferior, false, false},
        {"to or from another client's window", NotifyNonlinear, true, true},
        {"passing our window between two others", NotifyNonlinearVirtual, true, true},
        {"the pointer's window, as we take the focus", NotifyPointer, false, false},
        {"focus set to PointerRoot", NotifyPointerRoot, false, true},
        {"focus set to None", NotifyDetailNone, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FocusMayLeaveOurTree(NotifyNormal, row.detail), row.leaves);
        EXPECT_EQ(FocusMayComeBack(NotifyNormal, row.detail), row.comesBack);
        for (int grab : {NotifyGrab, NotifyUngrab, NotifyWhileGrabbed}) {
            EXPECT_FALSE(FocusMayLeaveOurTree(grab, row.detail)) << "mode " << grab;
            EXPECT_FALSE(FocusMayComeBack(grab, row.detail)) << "mode " << grab;
        }
    }
}

}  // namespace
