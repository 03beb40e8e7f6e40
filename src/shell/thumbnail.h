#pragma once
// Thumbnails and icons of files, drives and programs.
//
// ExtractThumbnail runs on a worker thread (the icon and thumbnail workers) or
// on the GUI thread. It decodes on the calling thread and hands the picture to
// DestBitmap on the GUI thread, waiting for it, so the target bitmap is only
// ever touched there. Icons are drawn from the icon theme, which Qt offers on
// the GUI thread only, so that step runs inside the hand-over as well.

#include "toolkit/bitmap.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace dizad::shell {

// Delivers a picture of FileName (a path or URI) into DestBitmap:
//  - AsIcon: the icon of the entry at Width x Height exactly: a drive's or
//    device's own icon, a program's desktop application icon, else the themed
//    icon of the content type (the first of its names the theme resolves);
//  - else its thumbnail, fitted inside Width x Height with the aspect kept and
//    never enlarged: pictures are decoded (scaled while decoding), other files
//    use an existing thumbnail of the shared freedesktop cache.
// Returns false, leaving DestBitmap untouched, when there is none.
bool ExtractThumbnail(const QString& FileName, toolkit::TBitmap& DestBitmap, bool AsIcon, int Width,
                      int Height);

// Copies a 32-bit picture into Target, sized to it; rows reversed when FlipRows.
void CopySystemBitmap(const QImage& Source, toolkit::TBitmap& Target, bool FlipRows);

// The size of a picture of size image fitted inside box, aspect kept, never enlarged.
QSize fitInside(QSize image, QSize box);

// The thumbnail of a file as ExtractThumbnail delivers it; null when there is
// none. Any thread.
QImage thumbnailImage(const QString& fileName, QSize box);

// The icon names ExtractThumbnail tries for a file, best first (an entry may
// be an absolute icon file path); empty when the file does not exist. Any thread.
QStringList iconNamesForPath(const QString& fileName);

// Draws the first of names that resolves at exactly size, centred on a
// transparent picture; null when none resolves. GUI thread only.
QImage renderIcon(const QStringList& names, QSize size);

}  // namespace dizad::shell
