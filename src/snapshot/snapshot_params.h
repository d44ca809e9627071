#pragma once
// The settings of the snapshot commands, one record for the whole program:
// what the options window shows and checks, what the shot and the output
// commands use, and the persistent part that comes from and goes back to the
// THUMBS section of prg.ini.

#include "foundation/colors.h"
#include "pictures/resample.h"
#include "snapshot/snapshot_composition.h"

#include <QSize>
#include <QString>

namespace velmora {

struct Settings;

// Output formats, also the save dialog's filter index.
enum SnapshotFormat { kSnapshotJpeg = 1, kSnapshotBmp = 2 };

struct TSnapShotParams {
    QString FileName;                          // the page of a single snapshot
    QString BatchExt = QStringLiteral(".jpg"); // extension of batch output files
    int OutType = kSnapshotJpeg;
    int FilterIndex = kLanczos3Index;
    bool BatchMode = false; // more than one file was selected at opening
    int PageIndex = 0;      // the active tab at opening
    int SelCount = 0;
    int ItemCount = 0;
    // persistent
    int CustomWidth = 800;
    int CustomHeight = 600;
    int Scale = 100;
    int Shade = 10;
    int Border = 1;
    ColorRef BGCol = clWhite;
    ColorRef ShadeCol = clGray;
    ColorRef BorderCol = clNavy;
    bool CropHori = false;
    bool CropVerti = false;
    // the internal browser's view size, taken when opened for Snap View
    int BrowserWidth = 0;
    int BrowserHeight = 0;
    // "Custom browser size" chosen; else the browser's size is the base
    bool UseCustomSize = true;
    // derived by TestInput: scaled size, totals and the three rectangles
    SnapshotGeometry Geometry;

    QSize BaseSize() const {
        return UseCustomSize ? QSize(CustomWidth, CustomHeight)
                             : QSize(BrowserWidth, BrowserHeight);
    }
    SnapshotStyle Style() const { return {Border, BGCol, ShadeCol, BorderCol}; }
};

// The persistent fields from the settings, and back.
void LoadSnapshotParams(const Settings &settings, TSnapShotParams &params);
void StoreSnapshotParams(const TSnapShotParams &params, Settings &settings);

} // namespace velmora
