// Saving and opening cels as document files, and packing them into the container in memory.
// A document file holds, in order: the genga layer as held (record 0), the paint and trace layers,
// the extra layer when it is not empty, the thumbnail (kind 2), the memo (kind 3) when it has lines,
// and the flag layer's runs (kind 1003) when any flag is set. The header gives the document size
// and format 32.
#pragma once

#include "SCel.h"
#include "SError.h"
#include "SQuickPress.h"
#include "SString.h"

// Packs the cel and writes it; the previous file is replaced only once the new one is complete.
// Errors: "filename_invalid" (empty path), "memory", packing and file errors.
ulib::SError SaveDocument(const SCel& cel, const ulib::SString& path);

// Reads and unpacks a file. Any failure leaves the cel in its empty state.
// Errors: "file_not_found" (empty path), the container reader's errors, and UnpackDocument's.
ulib::SError LoadDocument(SCel& cel, const ulib::SString& path);

// The list SaveDocument would write, built but not written.
ulib::SError PackDocument(const SCel& cel, ulib::SQuickPress& list);
// The same for a cel without a display (a copy of the stored parts only), whose document size is given.
ulib::SError PackDocument(const SCel& cel, ulib::SPoint size, ulib::SQuickPress& list);

// Takes a list already in memory as LoadDocument takes a file's: the list becomes the cel's held
// container, its image records are decoded (in parallel), the display recomposed, the memo and
// flag layer read. Errors: "data" (missing or mis-sized records, image records not 32-bit),
// "memory" (layers that could not be created), decoding errors. A failure resets the cel.
ulib::SError UnpackDocument(SCel& cel, const ulib::SQuickPress& list);
