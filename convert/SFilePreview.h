// The small picture an open or import dialog shows beside its file list: a document's stored
// thumbnail, or a picture read by the same built-in readers the import uses and scaled down, with
// the document's or picture's size. Only the thumbnail record of a document is decoded.
#pragma once

#include "SBitmap.h"
#include "SError.h"
#include "SString.h"

#include <cstdint>

struct SFilePreview
{
    ulib::SBitmap picture;    // 24-bit, at most box by box, aspect kept; may be empty (see below)
    std::int32_t width = 0;   // the whole document's or picture's size in pixels
    std::int32_t height = 0;
};

// Fills preview for the file at path; box (above 0) bounds the picture's sides. Pictures larger than
// the box are scaled down by area averaging, never enlarged; transparency lies on white paper, as
// the import puts it. A document without a thumbnail record gives its size and an empty picture.
// err: "InvalidArgument" (box 0 or less), SFileMapper::OpenRead's (a missing file, a folder,
// anything but a regular file), the container reader's (a damaged document; "EmptyData" for an
// empty file), ReadImageBytes's ("UnacceptableFormat": neither a document nor a picture the
// built-in readers know), "data" (a thumbnail record of an impossible size), the layer decoder's,
// "memory_alloc". On an error the preview is empty (0 by 0, no picture).
ulib::SError ReadFilePreview(const ulib::SString& path, std::int32_t box, SFilePreview& preview);
// The same for the bytes of a file already in memory (errors as above, without the file's own).
ulib::SError ReadPreviewBytes(const std::uint8_t* begin, const std::uint8_t* end, std::int32_t box,
                              SFilePreview& preview);
