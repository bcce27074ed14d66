// The repaint tool: replaces one colour everywhere in the cel.
#pragma once

#include "SGeometry.h"
#include "SPaintContext.h"

// Repaints at document pixel `at` (outside the document nothing happens). The target comes from
// the visible trace layer (a converted line: its colour made opaque; a coloured line: unpainted;
// a black line: nothing happens), else from the visible paint layer (a painted value itself; an
// unpainted pixel or a blue or green border: unpainted; a black or red border: nothing happens).
// Every paint run equal to the target is painted with the colour source, and every line of the
// target (converted lines of its colour for a painted target, coloured lines for unpainted) takes
// the current colour, or the reference picture in bitmap mode; the flag layer is left alone. All
// changes are recorded in the open undo step and the whole display is recomposed.
// Returns the document's rectangle, or an empty one when nothing was done.
ulib::SRect Repaint(SPaintContext& context, ulib::SPoint at);
