// The X11 backend's pure mappings, apart from the connection so that they
// are tested without a display: key symbols to virtual keys, button and
// modifier state to MK_* flags, colours to a visual's pixel values, and the
// focus rule that decides when the saver has lost activation.
#pragma once
#include "platform/win32.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>

namespace w32 {
namespace x11 {

// A virtual-key code; 0xFF for a key that has none (still a key press).
UINT VirtualKey(KeySym k);
// MK_* flags of an X event's state.
WPARAM MouseKeys(unsigned state);
// Lowest set bit and number of set bits of a colour mask.
int MaskShift(unsigned long mask);
int MaskBits(unsigned long mask);
// 0x00RRGGBB as the visual's pixel value.
unsigned long PixelValue(const XVisualInfo& v, uint32_t rgb);

// Measured on Xvfb: when our full-screen window takes the focus, X first
// reports FocusOut with detail NotifyPointer, then FocusIn. Only a FocusOut
// in mode NotifyNormal whose detail says the focus left our window tree
// (Nonlinear, NonlinearVirtual, Ancestor, Virtual) may be a loss of
// activation; NotifyPointer, NotifyInferior and grab modes never are.
bool FocusMayLeaveOurTree(int mode, int detail);
// A FocusIn that gives activation back after a loss.
bool FocusMayComeBack(int mode, int detail);

}  // namespace x11
}  // namespace w32
