// The trace-line conversion dabs: black lines to red coloured lines (and their black borders to
// red ones), or coloured lines back to black lines (and red borders to black ones).
#pragma once

#include "SGeometry.h"
#include "SPaintContext.h"

enum class SConversion { BlackToRed, ColouredToBlack };

// One dab of the trace pen's radius at document pixel `at`. The box around the disc, clipped to
// the document, is recorded in the open undo step (trace layer), and so are the paint-layer row
// segments whose borders change, so that undo restores both; the box's rows are recomposed.
// Converted lines stay. Does nothing while the trace layer is hidden. Returns the changed rectangle.
ulib::SRect ConversionDab(SPaintContext& context, SConversion conversion, ulib::SPoint at);
