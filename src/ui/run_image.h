// What a program run drew, as an image, and that image as a PNG file. Only
// QtGui: the command line renders without a window or a display.
#pragma once

#include <QImage>
#include <QString>

#include "program/preview_run.h"

namespace pasdraw {

// The run's colour numbers with its sixteen colours as the colour table
// (Format_Indexed8, opaque): a PNG of it keeps the screen's palette.
QImage indexedImage(const PreviewRun& run);

// Writes the image as a PNG whatever the file name says, through a temporary
// file that replaces `path` only once complete, so a failure leaves an older
// file untouched. Returns why it failed, or an empty string.
QString writePng(const QImage& image, const QString& path);

}  // namespace pasdraw
