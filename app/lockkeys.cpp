// The lock keys' state from the X keyboard extension; see lockkeys.h.
#include "app/lockkeys.h"

#ifdef PRAX_HAVE_X11
#include <QGuiApplication>
#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace {

Display *x11Display()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

// The keyboard extension is asked for once per display; without it (a
// server started with -kb) the state cannot be read.
bool hasXkb(Display *display)
{
    static Display *checked = nullptr;
    static bool present = false;
    if (display != checked) {
        int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
        present = XkbQueryExtension(display, &opcode, &event, &error, &major, &minor);
        checked = display;
    }
    return present;
}

// The state of the keyboard's indicator called `name` ("Scroll Lock"), or
// `fallback` when the keymap has none by that name.
bool namedIndicator(Display *display, const char *name, bool fallback)
{
    const Atom atom = XInternAtom(display, name, True);
    Bool on = False;
    if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return fallback;
    return on;
}

} // namespace

bool readLockKeys(LockKeyState &state)
{
    Display *display = x11Display();
    if (!display || !hasXkb(display))
        return false;
    XkbStateRec xkb{};
    if (XkbGetState(display, XkbUseCoreKbd, &xkb) != Success)
        return false;
    // Caps Lock and Num Lock are locked modifiers (which modifier Num Lock
    // is depends on the keymap); Scroll Lock locks nothing and shows only
    // on its keyboard light.
    const unsigned numMask = XkbKeysymToModifiers(display, XK_Num_Lock);
    state.caps = (xkb.locked_mods & LockMask) != 0;
    state.num = numMask != 0 && (xkb.locked_mods & numMask) != 0;
    state.scroll = namedIndicator(display, "Scroll Lock", false);
    return true;
}

#else

bool readLockKeys(LockKeyState &)
{
    return false;
}

#endif
