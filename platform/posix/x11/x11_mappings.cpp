// The X11 backend's pure mappings (see x11_mappings.h).
#include "platform/posix/x11/x11_mappings.h"

#include <X11/keysym.h>

namespace w32 {
namespace x11 {

UINT VirtualKey(KeySym k)
{
    if (k >= XK_a && k <= XK_z) return (UINT)('A' + (k - XK_a));
    if (k >= XK_A && k <= XK_Z) return (UINT)('A' + (k - XK_A));
    if (k >= XK_0 && k <= XK_9) return (UINT)('0' + (k - XK_0));
    if (k >= XK_F1 && k <= XK_F24) return (UINT)(0x70 + (k - XK_F1));
    if (k >= XK_KP_0 && k <= XK_KP_9) return (UINT)(0x60 + (k - XK_KP_0));
    switch (k) {
    case XK_Escape: return VK_ESCAPE;
    case XK_Return: case XK_KP_Enter: return 0x0D;
    case XK_space: return 0x20;
    case XK_Tab: return 0x09;
    case XK_BackSpace: return 0x08;
    case XK_Delete: return 0x2E;
    case XK_Insert: return 0x2D;
    case XK_Home: return 0x24;
    case XK_End: return 0x23;
    case XK_Prior: return 0x21;
    case XK_Next: return 0x22;
    case XK_Left: return 0x25;
    case XK_Up: return 0x26;
    case XK_Right: return 0x27;
    case XK_Down: return 0x28;
    case XK_Shift_L: case XK_Shift_R: return 0x10;
    case XK_Control_L: case XK_Control_R: return 0x11;
    case XK_Alt_L: case XK_Alt_R: case XK_Meta_L: case XK_Meta_R: return 0x12;
    case XK_Super_L: return 0x5B;
    case XK_Super_R: return 0x5C;
    case XK_Caps_Lock: return 0x14;
    case XK_Pause: return 0x13;
    case XK_Print: return 0x2C;
    default: return 0xFF;  // no virtual key; still a key press
    }
}

WPARAM MouseKeys(unsigned state)
{
    WPARAM keys = 0;
    if (state & Button1Mask) keys |= 0x0001;  // MK_LBUTTON
    if (state & Button3Mask) keys |= 0x0002;  // MK_RBUTTON
    if (state & ShiftMask) keys |= 0x0004;    // MK_SHIFT
    if (state & ControlMask) keys |= 0x0008;  // MK_CONTROL
    if (state & Button2Mask) keys |= 0x0010;  // MK_MBUTTON
    return keys;
}

int MaskShift(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) mask >>= 1, shift++;
    return shift;
}

int MaskBits(unsigned long mask)
{
    int bits = 0;
    for (; mask; mask >>= 1) bits += mask & 1;
    return bits;
}

// Each 8-bit channel is scaled to the mask's width with rounding, so full
// intensity fills the channel on any visual (a shift alone would leave a
// 10-bit channel at 1020 of 1023).
unsigned long PixelValue(const XVisualInfo& v, uint32_t rgb)
{
    auto scale = [](uint32_t c, unsigned long mask) -> unsigned long {
        int shift = MaskShift(mask), bits = MaskBits(mask);
        unsigned long top = bits >= 32 ? 0xFFFFFFFFul : (1ul << bits) - 1;
        unsigned long value = (c * top + 127) / 255;
        return (value << shift) & mask;
    };
    return scale(rgb >> 16 & 0xFF, v.red_mask) | scale(rgb >> 8 & 0xFF, v.green_mask) | scale(rgb & 0xFF, v.blue_mask);
}

bool FocusMayLeaveOurTree(int mode, int detail)
{
    return mode == NotifyNormal && (detail == NotifyNonlinear || detail == NotifyNonlinearVirtual ||
                                    detail == NotifyAncestor || detail == NotifyVirtual);
}

bool FocusMayComeBack(int mode, int detail)
{
    return mode == NotifyNormal && detail != NotifyPointer && detail != NotifyInferior;
}

}  // namespace x11
}  // namespace w32
