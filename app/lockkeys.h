// The state of the lock keys (Caps Lock, Num Lock, Scroll Lock) for the
// status bar's indicators. Only an X11 display can tell it: under Wayland or
// offscreen there is no way for a program to ask, and the indicators go.
#pragma once

struct LockKeyState {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// True when the window system can tell the lock keys' state; `state` then
// holds it. False (and `state` untouched) elsewhere.
bool readLockKeys(LockKeyState &state);
