#include "chart_image.h"

#include <cstddef>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tv {

QImage NewChartImage(int width, int height) {
#if defined(MADV_HUGEPAGE)
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  if (width > 0 && height > 0) {
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    // Below a huge page the rounding would only waste memory.
    if (bytes >= kHugePage && bytes / 4 / std::size_t(width) == std::size_t(height)) {
      const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
      void* pixels = std::aligned_alloc(kHugePage, rounded);
      if (pixels == nullptr) return {};
      madvise(pixels, rounded, MADV_HUGEPAGE);  // advice only: without it, ordinary pages
      return QImage(static_cast<uchar*>(pixels), width, height, qsizetype{width} * 4,
                    QImage::Format_RGB32, std::free, pixels);
    }
  }
#endif
  return QImage(width, height, QImage::Format_RGB32);
}

}  // namespace tv
