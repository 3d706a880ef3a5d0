#include "ui/run_image.h"

#include <QImageWriter>
#include <QList>
#include <QSaveFile>
#include <cstring>

namespace pasdraw {

QImage indexedImage(const PreviewRun& run) {
    QImage image(PreviewRun::Width, PreviewRun::Height, QImage::Format_Indexed8);
    QList<QRgb> colours(static_cast<qsizetype>(run.palette.size()));
    for (std::size_t i = 0; i < run.palette.size(); ++i) {
        colours[static_cast<qsizetype>(i)] = 0xFF000000u | run.palette[i];
    }
    image.setColorTable(colours);
    for (int y = 0; y < PreviewRun::Height; ++y) {
        std::memcpy(image.scanLine(y), run.pixels.data() + static_cast<std::ptrdiff_t>(y) * PreviewRun::Width,
                    PreviewRun::Width);
    }
    return image;
}

QString writePng(const QImage& image, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) return writer.errorString();
    if (!file.commit()) return file.errorString();
    return {};
}

}  // namespace pasdraw
