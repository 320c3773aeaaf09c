#include "tests/ImageCompare.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>

int MaxChannelDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const QRgb* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            worst = std::max({worst, std::abs(qRed(p[col]) - qRed(q[col])),
                              std::abs(qGreen(p[col]) - qGreen(q[col])),
                              std::abs(qBlue(p[col]) - qBlue(q[col]))});
        }
    }
    return worst;
}

std::string CompareWithReference(const QImage& image, const std::string& name, int tolerance) {
    const QString path = QString::fromStdString(std::string(ZEMVORA_SOURCE_DIR) +
                                                "/tests/references/" + name + ".png");
    const char* update = std::getenv("ZEMVORA_UPDATE_REFERENCES");
    const QImage reference(path);
    if (reference.isNull() || (update && std::string(update) == "1")) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        image.save(path, "PNG");
        return "wrote a new reference " + path.toStdString() + ": look at it, then run again";
    }
    const int difference = MaxChannelDifference(image, reference);
    if (difference < 0) return name + ": the size differs from the reference";
    if (difference > tolerance) {
        const std::string actual = std::string(ZEMVORA_BINARY_DIR) + "/" + name + ".actual.png";
        image.save(QString::fromStdString(actual), "PNG");
        return name + ": a channel differs by " + std::to_string(difference) + " (tolerance " +
               std::to_string(tolerance) + "); the picture drawn is " + actual;
    }
    return "";
}

int BorderPixelsUnlike(const QImage& image, QRgb background) {
    int drawn = 0;
    for (int x = 0; x < image.width(); ++x)
        drawn +=
            (image.pixel(x, 0) != background) + (image.pixel(x, image.height() - 1) != background);
    for (int y = 0; y < image.height(); ++y)
        drawn +=
            (image.pixel(0, y) != background) + (image.pixel(image.width() - 1, y) != background);
    return drawn;
}
