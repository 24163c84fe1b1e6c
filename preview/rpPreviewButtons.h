// The preview's toolbar images: a strip of 25 images of 16 x 16 kept as a
// gzip-packed 24-bit bitmap in the program's resources.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPixmap>

// Image numbers used by the preview window and control.
enum TrpPreviewImage {
    piOpen = 0,
    piSave = 1,
    piPrint = 2,
    piFind = 4,
    piThumbnails = 5,
    piPageSettings = 7,
    piFirst = 8,
    piPrior = 9,
    piNext = 10,
    piLast = 11,
    piOutline = 12,
    piCollapse = 13,
    piExpand = 14,
    piZoomIn = 15,
    piZoomOut = 16,
    piCloseTab = 17,
    piEdit = 21,
    piFullScreen = 22,
    piEmail = 23,
    piPdf = 24,
};

// Inflates a gzip stream; throws EPelmoraError when it is not one or its
// check sums fail.
QByteArray rpGunzip(const QByteArray& Packed);
// Cuts a strip into 16 x 16 images from left to right; in each the colour
// of its bottom-left pixel becomes transparent.
QList<QPixmap> rpCutImageStrip(const QImage& Strip);
// The program's preview images, read once.
const QList<QPixmap>& rpPreviewButtonImages();
// One image, or an empty pixmap for a number outside the strip.
QPixmap rpPreviewButtonImage(int Index);
