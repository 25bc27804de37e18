// The X11 backend's pure mappings, without a display: virtual keys, mouse
// key flags, pixel values of true-colour visuals, and the focus rule.
// GoogleTest first: Xlib's None macro would break its headers.
#include <gtest/gtest.h>

#include "platform/posix/x11/x11_mappings.h"

#include <X11/keysym.h>

namespace {

using namespace w32::x11;

// The whole key table against Windows' own virtual-key codes (the values of
// the VK_ names in WinUser.h): runs of key symbols onto runs of codes, then
// one key at a time.
TEST(X11Mappings, KeySymsBecomeVirtualKeys)
{
    const struct {
        const char* vk;
        UINT code;  // the first key's; the others follow it
        KeySym first, last;
    } runs[] = {
        {"'A' to 'Z'", 0x41, XK_a, XK_z}, {"'A' to 'Z'", 0x41, XK_A, XK_Z}, {"'0' to '9'", 0x30, XK_0, XK_9},
        {"VK_F1 to VK_F24", 0x70, XK_F1, XK_F24}, {"VK_NUMPAD0 to VK_NUMPAD9", 0x60, XK_KP_0, XK_KP_9},
    };
    for (const auto& run : runs)
        for (KeySym sym = run.first; sym <= run.last; ++sym)
            EXPECT_EQ(VirtualKey(sym), run.code + (sym - run.first)) << run.vk << ", key symbol 0x" << std::hex << sym;
    const struct {
        const char* vk;
        UINT code;
        KeySym sym;
    } keys[] = {
        {"VK_ESCAPE", 0x1B, XK_Escape},    {"VK_RETURN", 0x0D, XK_Return},    {"VK_RETURN", 0x0D, XK_KP_Enter},
        {"VK_SPACE", 0x20, XK_space},      {"VK_TAB", 0x09, XK_Tab},          {"VK_BACK", 0x08, XK_BackSpace},
        {"VK_DELETE", 0x2E, XK_Delete},    {"VK_INSERT", 0x2D, XK_Insert},    {"VK_HOME", 0x24, XK_Home},
        {"VK_END", 0x23, XK_End},          {"VK_PRIOR", 0x21, XK_Prior},      {"VK_NEXT", 0x22, XK_Next},
        {"VK_LEFT", 0x25, XK_Left},        {"VK_UP", 0x26, XK_Up},            {"VK_RIGHT", 0x27, XK_Right},
        {"VK_DOWN", 0x28, XK_Down},        {"VK_SHIFT", 0x10, XK_Shift_L},    {"VK_SHIFT", 0x10, XK_Shift_R},
        {"VK_CONTROL", 0x11, XK_Control_L}, {"VK_CONTROL", 0x11, XK_Control_R}, {"VK_MENU", 0x12, XK_Alt_L},
        {"VK_MENU", 0x12, XK_Alt_R},       {"VK_MENU", 0x12, XK_Meta_L},      {"VK_MENU", 0x12, XK_Meta_R},
        {"VK_LWIN", 0x5B, XK_Super_L},     {"VK_RWIN", 0x5C, XK_Super_R},     {"VK_CAPITAL", 0x14, XK_Caps_Lock},
        {"VK_PAUSE", 0x13, XK_Pause},      {"VK_SNAPSHOT", 0x2C, XK_Print},
        {"no code, still a key press", 0xFF, XK_eacute}, {"no code, still a key press", 0xFF, NoSymbol},
    };
    for (const auto& key : keys)
        EXPECT_EQ(VirtualKey(key.sym), key.code) << key.vk;
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
