#include "viewer_path.h"

#include <filesystem>
#include <system_error>

namespace tv {

std::string ViewerPath(const char* argv0) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) self = fs::absolute(argv0, error);
  const fs::path dir = self.parent_path();
  if (const fs::path built = dir / "tickvane-viewer"; fs::exists(built, error)) return built;
  return (dir / TICKVANE_VIEWER_FROM_BINDIR / "tickvane-viewer").lexically_normal();
}

}  // namespace tv
