// Recognising the scan a document was imported from: export must never write over it, since an
// export and its scan share a default name (p.png -> p.hdq -> p.png).
#pragma once

#include "SBitmap.h"
#include "SQuickPress.h"
#include "SString.h"

// True when the picture holds the document's genga (record 0): the same size and, unless the genga
// was left out at import (a white record), every channel within the lossy genga compression's
// change (255 - NearWhite) of the genga's. A document without a readable genga holds no picture.
bool PictureHoldsGenga(const ulib::SQuickPress& document, const ulib::SBitmap& picture);

// PictureHoldsGenga for a picture file read with the built-in readers; false when it cannot be read.
bool PictureFileHoldsGenga(const ulib::SQuickPress& document, const ulib::SString& path);
