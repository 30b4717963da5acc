#pragma once
// Registered pictures as toolkit images.

#include <QImage>

#include "platform/user/internal/resource_store.h"

namespace user::internal {

inline QImage ToolkitImage(const ImageData& image) {
    QImage result(image.width, image.height, QImage::Format_ARGB32);
    if (result.isNull()) return result;
    for (LONG y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(result.scanLine(y));
        for (LONG x = 0; x < image.width; ++x) row[x] = image.argb[static_cast<std::size_t>(y) * image.width + x];
    }
    return result;
}

}  // namespace user::internal
