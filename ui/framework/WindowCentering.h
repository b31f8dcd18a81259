#pragma once
// Centring a top-level window or dialog over its owner, or in the work area
// of its monitor when the owner is missing, hidden or minimised.

#include <windows.h>

namespace Framework {

// Moves the window (size, z-order and activation unchanged) so that it is
// centred over its owner's window rectangle or, without a usable owner, in
// the work area of the monitor nearest to it; in both cases it is then kept
// whole inside the work area of the monitor nearest to the owner (or to the
// window). False when the window could not be moved.
bool CenterWindow(HWND window);

}  // namespace Framework
