#include "snapshot/snapshot_params.h"

#include "foundation/settings.h"

namespace velmora {

void LoadSnapshotParams(const Settings &settings, TSnapShotParams &params) {
    params.CustomWidth = settings.CustomWidth;
    params.CustomHeight = settings.CustomHeight;
    params.Scale = settings.Scale;
    params.Shade = settings.Shade;
    params.Border = settings.Border;
    params.BGCol = settings.BGCol;
    params.ShadeCol = settings.ShadeCol;
    params.BorderCol = settings.BorderCol;
    params.CropHori = settings.CropHori;
    params.CropVerti = settings.CropVerti;
}

void StoreSnapshotParams(const TSnapShotParams &params, Settings &settings) {
    settings.CustomWidth = params.CustomWidth;
    settings.CustomHeight = params.CustomHeight;
    settings.Scale = params.Scale;
    settings.Shade = params.Shade;
    settings.Border = params.Border;
    settings.BGCol = params.BGCol;
    settings.ShadeCol = params.ShadeCol;
    settings.BorderCol = params.BorderCol;
    settings.CropHori = params.CropHori;
    settings.CropVerti = params.CropVerti;
}

} // namespace velmora
