// Comparing rendered pictures with the reference pictures in tests/references.
#pragma once

#include <QImage>
#include <string>

// The largest difference of any channel of any pixel; -1 when the sizes differ.
int MaxChannelDifference(const QImage& a, const QImage& b);

// How many pixels of the picture's outermost rows and columns are not the background: 0 when
// nothing drawn reaches the border.
int BorderPixelsUnlike(const QImage& image, QRgb background);

// Compares image with tests/references/NAME.png within tolerance per channel. A missing
// reference (or ZEMVORA_UPDATE_REFERENCES=1) writes the image there and fails, so that new
// references are looked at before they are committed. Returns a description of any mismatch.
std::string CompareWithReference(const QImage& image, const std::string& name, int tolerance);
