// The tools that draw along a dragged line on the paint layer's region borders: boundary fix
// (adds red borders), boundary delete (removes black and red borders) and the knife (carves a
// channel walled by red borders), with the line walk they share.
#pragma once

#include "SGeometry.h"
#include "SPaintContext.h"

enum class SBoundaryMode { Fix, Delete };

// One step of the line walk from p toward q: x moves one toward q when dx != 0 and dy / dx
// (truncated) lies in -1..1, y likewise with dx / dy; both may move. Returns false, leaving p,
// when p = q.
bool LineWalkStep(ulib::SPoint& p, ulib::SPoint q);

// Walks from p to q (both included) over the paint layer, recording each pixel in the open undo
// step and recomposing it; pixels outside the document are skipped. Fix turns every non-border
// pixel into the red border; delete turns black and red borders into the value of the last
// neighbour inside the document, in the order left, below, right, above, whose alpha is not 0
// (unpainted when there is none). Does nothing while the paint layer is hidden.
// Returns the rectangle spanned by p and q, clipped to the document.
ulib::SRect BoundaryLine(SPaintContext& context, SBoundaryMode mode, ulib::SPoint p, ulib::SPoint q);

// The knife from p to q: the rectangle spanned by p and q grown by 1 (clipped) is recorded; the
// neighbours above, below, left and right of every walk position after p become red borders, then
// every walk position from p to q takes the cut colour, the paint value at p when it is painted
// (alpha not 0), else unpainted. Does nothing while the paint layer is hidden.
// Returns the recorded rectangle.
ulib::SRect KnifeCut(SPaintContext& context, ulib::SPoint p, ulib::SPoint q);
