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
        if (!underLayerDialog_.Open())
            return 0;
        chosen = underLayerDialog_.FileName();
    }

    SError err = ReadImageFile(&cel_.under, chosen, PluginPictureReader(spi_));
    if (!err && cel_.under.IsEmpty())
        err = ErrorFromIdentifier("nodata");
    if (err) {
        // The old picture is gone whatever failed: the read started by replacing it.
        cel_.under.Release();
        cel_.ComposeAll();
        return err;
    }
    cel_.visible[LayerUnder] = true;
    cel_.ComposeAll();
    return 0;
}

void SHuedraneController::DestroyUnderLayer()
{
    cel_.under.Release();
    cel_.visible[LayerUnder] = false;
    cel_.ComposeAll();
}
