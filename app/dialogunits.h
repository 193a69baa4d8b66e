// Dialog units: the places of controls in the editor's dialog templates are
// given in units of the dialog's font, so a dialog keeps its proportions on
// any font. One horizontal unit is a quarter of the font's average character
// width (measured over the 52 letters), one vertical unit an eighth of its height.
#pragma once

#include <QFont>
#include <QRect>

// Pixels of the dialog-unit rectangle (x, y, w, h) for `font`.
QRect mapDialogRect(const QFont &font, int x, int y, int w, int h);
