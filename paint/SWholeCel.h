// Operations on whole layers, offered by the Edit menu and the converter's scripts. Each records
// everything it changes in the open undo step (the caller begins it with Caption(operation) and
// marks the document modified) and recomposes the whole display. None looks at layer visibility.
#pragma once

#include "SPaintContext.h"

enum class SWholeCelOperation {
    FillPaint,   // every non-border paint pixel takes the colour source's value
    FillTrace,   // every coloured and converted line takes the line colour (or turns back)
    FillExtra,   // the extra layer becomes the colour, or the reference picture tiled
    FillBoth,    // fill trace, then fill paint
    BlackToRed,  // every black line becomes a red coloured line of the same density
    Gundress,    // fill both, then erase the area connected to pixel (1, 1)
};

// The undo step caption of the operation.
const char* WholeCelCaption(SWholeCelOperation operation);

void RunWholeCelOperation(SPaintContext& context, SWholeCelOperation operation);
