// Export of cel documents to BMP, PNG or JPEG pictures, by SHuedraneOptions::exportFormat.
#pragma once

#include "SAbort.h"
#include "SError.h"
#include "SHuedraneOptions.h"
#include "SQuickPress.h"
#include "SString.h"

// Renders the document (progress 0..90) and writes the picture (90..100) in the chosen format.
// Nothing is written after an error or an abort.
// err: RenderExportImage's, "abort", "domain" (a format other than 0 BMP, 1 PNG, 2 JPEG), the
// picture writer's.
ulib::SError ExportDocumentFile(const ulib::SQuickPress& document, const SHuedraneOptions& options,
                                ulib::SAbort* progress, const ulib::SString& path);

// Reads a document file (progress 0..10), renders it (10..90) and writes the picture (90..100).
// keepScan: a picture file that holds the document's genga (PictureFileHoldsGenga) is never
// replaced: "genga_overwrite" with its path, checked on the document as read for the export.
// err: the document reader's, "data" (fewer than 3 records, records 0 to 2 not of the document's
// size, a document or paint or trace record not 32-bit), "genga_overwrite", then as
// ExportDocumentFile.
ulib::SError ExportDocumentFileToImageFile(const ulib::SString& documentPath, const ulib::SString& picturePath,
                                           const SHuedraneOptions& options, ulib::SAbort* progress = nullptr,
                                           bool keepScan = false);
