// Toolbar icons drawn from our SVG files in the colours of the desktop.
//
// The outlines of the icons are written in "currentColor"; every rendering
// puts the palette's button text colour in its place, so a dark desktop gets
// light outlines and a light one dark outlines, and a palette changed while
// the program runs shows at the next repaint. The accents (a green plus, a
// blue page) are fixed colours that read on either. Each size is rendered
// from the vector drawing, so the buttons stay crisp at any scale factor
// instead of being blown up from a 16-pixel bitmap.
#pragma once

#include <QIcon>
#include <QString>

// An icon from the SVG file at `path` (usually a ":/prax/icons/..." resource);
// a null icon when the file cannot be read or is not a drawing.
QIcon paletteSvgIcon(const QString &path);

// The icon file of command `id` on a toolbar, or an empty string for a
// command without an icon of its own.
QString commandIconPath(int id);
