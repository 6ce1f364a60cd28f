// Fitting a picture into a box for a menu item or an icon.
#pragma once

#include <QImage>
#include <QSize>
#include <optional>

// A new image of exactly `target`, transparent where the picture does not reach, with the whole
// picture drawn into it keeping its proportions: it touches two opposite edges and is centred
// along the other axis. An image already of the target size is copied unscaled. None when the
// image is null or the target is empty. The geometry is computed in single precision.
std::optional<QImage> imageByScalingProportionallyToSize(const QImage& image, QSize target);
