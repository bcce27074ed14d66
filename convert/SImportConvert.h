// Import: a picture becomes a new cel document. The picture is the genga layer (record 0, 24-bit);
// its drawn lines are extracted into the trace layer (record 2) and become borders in the paint
// layer (record 1) around the areas that will take paint; record 3 is the thumbnail.
#pragma once

#include "SAbort.h"
#include "SBitmap.h"
#include "SError.h"
#include "SHuedraneOptions.h"
#include "SQuickPress.h"
#include "SString.h"
#include "Sximage.h"

// Converts a picture of any format into the document's records 0 to 3, document size the
// picture's, format 32. Progress runs over 0..100 of the caller's current range.
// Errors: "pointer" (no document), "empty_file" (a picture without pixels), "memory_alloc",
// "abort", and the passes' errors. On any error the document is left cleared.
ulib::SError ConvertImageToDocument(const ulib::SBitmap& picture, ulib::SQuickPress* document,
                                    const SHuedraneOptions& options, ulib::SAbort* abort);

// Reads the picture file (the built-in readers, then the plug-in reader when given) and converts
// it into the document. Errors: "pointer", "abort", ReadImageFile's and ConvertImageToDocument's;
// the document is cleared on any error.
ulib::SError ImportImageFile(ulib::SQuickPress* document, const SHuedraneOptions& options,
                             const ulib::SPictureReader& plugins, ulib::SAbort* abort, const ulib::SString& path);

// ImportImageFile into a fresh document, written to the document file only when the whole
// import succeeded (an aborted or failed import writes nothing). Errors: ImportImageFile's and
// the document file's.
ulib::SError ImportImageFileToDocumentFile(const ulib::SString& sourcePath, const ulib::SString& documentPath,
                                           const SHuedraneOptions& options, ulib::SAbort* abort,
                                           const ulib::SPictureReader& plugins);
