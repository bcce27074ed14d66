// The under-layer commands: a picture read from a file and shown beneath every layer of the cel.
// It is not part of the document; the export hands it on as a record of its own.
#include "SHuedraneController.h"

#include "SSpiAccess.h"
#include "Sximage.h"

using namespace ulib;

SError SHuedraneController::LoadUnderLayer(const SString& file)
{
    SString chosen = file;
    if (chosen.IsEmpty()) {
        if (!underLayerDialog.Open())
            return 0;
        chosen = underLayerDialog.FileName();
    }

    SError err = ReadImageFile(&cel.under, chosen, PluginPictureReader(spi));
    if (!err && cel.under.IsEmpty())
        err = ErrorFromIdentifier("nodata");
    if (err) {
        // The old picture is gone whatever failed: the read started by replacing it.
        cel.under.Release();
        cel.ComposeAll();
        return err;
    }
    cel.visible[LayerUnder] = true;
    cel.ComposeAll();
    return 0;
}

void SHuedraneController::DestroyUnderLayer()
{
    cel.under.Release();
    cel.visible[LayerUnder] = false;
    cel.ComposeAll();
}
