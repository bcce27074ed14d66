// Cel state: the empty document, layer visibility and the extra layer's emptiness.
#include "SCel.h"

using namespace ulib;

SCel::SCel()
{
    ResetDocument();
}

void SCel::ResetDocument()
{
    trace.Create(0, 0, 32);
    paint.Create(0, 0, 32);
    extra.Create(0, 0, 32);
    display.Create(0, 0, 32);
    genga.Create(0, 0, 24);
    flag.Create(0, 0, 8);
    held.Clear();
    memo.Clear();
    underOffset = {0, 0};
}

bool SCel::ExtraLayerIsEmpty() const
{
    if (extra.IsEmpty())
        return true;
    if (extra.Format() != 32)
        return false;
    for (std::int32_t y = 0; y < extra.Height(); ++y) {
        const std::uint32_t* row = extra.Row32(y);
        for (std::int32_t x = 0; x < extra.Width(); ++x)
            if (row[x] >> 24)
                return false;
    }
    return true;
}

bool SCel::SetLayerVisible(int layer, int mode)
{
    if (layer < LayerUnder || layer > LayerExtra)
        return false;
    const bool was = visible[layer];
    const bool now = mode >= 1 ? true : mode == 0 ? !was : false;

    if (layer == LayerGenga) {
        if (!now)
            genga.Create(0, 0, 24);
        else if (!was && held.Count() > 0 && held.DecodeLayer(0, genga) != 0)
            genga.Create(0, 0, 24);  // a genga that cannot be decoded is not shown
    }
    if (layer == LayerExtra) {
        if (now && extra.Dimensions() != display.Dimensions())
            extra.Create(display.Width(), display.Height(), 32);
        else if (!now && ExtraLayerIsEmpty())
            extra.Create(0, 0, 32);
    }

    visible[layer] = now;
    if (now != was)
        ComposeAll();
    return now;
}
