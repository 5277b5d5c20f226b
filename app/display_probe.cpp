#include "display_probe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#ifdef TICKVANE_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace tv {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The platform the user chose: a -platform option wins over QT_QPA_PLATFORM, as in Qt.
std::string ChosenPlatform(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "-platform" || a == "--platform") return argv[i + 1];
  }
  return Env("QT_QPA_PLATFORM");
}

// An X server that accepts this program, its authorisation included.
bool XReachable(const std::string& display) {
  if (display.empty()) return false;
#ifdef TICKVANE_HAVE_XCB
  xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
  const bool ok = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return ok;
#else
  return true;  // cannot ask without the X client library: leave it to Qt
#endif
}

// A Wayland compositor listening on its socket (a client has nothing more to show).
bool WaylandReachable(const std::string& display) {
  if (!Env("WAYLAND_SOCKET").empty()) return true;  // handed an open connection
  if (display.empty()) return false;
  std::string path = display;
  if (path.front() != '/') {
    const std::string runtime = Env("XDG_RUNTIME_DIR");
    if (runtime.empty()) return false;
    path = runtime + "/" + display;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

std::vector<std::string> PlatformNames(const std::string& list) {
  // "wayland;xcb" tries each in turn; "xcb:option" carries options after the name.
  std::vector<std::string> names;
  std::string::size_type start = 0;
  while (start <= list.size()) {
    const std::string::size_type end = std::min(list.find(';', start), list.size());
    std::string entry = list.substr(start, end - start);
    entry = entry.substr(0, entry.find(':'));
    if (!entry.empty()) names.push_back(entry);
    start = end + 1;
  }
  return names;
}

// The display servers that every platform the user chose would need and cannot reach; none
// when one of the platforms can start.
struct Missing {
  bool x = false;
  bool wayland = false;
};

Missing MissingFor(const std::string& chosen, const std::string& x, const std::string& wayland) {
  if (chosen.empty()) {
    // Qt's own choice: X, or Wayland in a Wayland session; either will do.
    if (XReachable(x) || WaylandReachable(wayland)) return {};
    return {.x = true, .wayland = !wayland.empty()};
  }
  Missing missing;
  for (const std::string& name : PlatformNames(chosen)) {
    if (name == "xcb" && !XReachable(x)) {
      missing.x = true;
    } else if (name.rfind("wayland", 0) == 0 && !WaylandReachable(wayland)) {
      missing.wayland = true;
    } else {
      return {};  // this one starts, or needs no display server, or Qt checks it itself
    }
  }
  return missing;
}

std::string Named(const char* variable, const std::string& value) {
  return value.empty() ? std::string("(") + variable + " is not set)" : value;
}

}  // namespace

std::string DisplayProblem(int argc, char** argv) {
  const std::string x = Env("DISPLAY");
  const std::string wayland = Env("WAYLAND_DISPLAY");
  const Missing missing = MissingFor(ChosenPlatform(argc, argv), x, wayland);
  std::string which;
  if (missing.x) which = Named("DISPLAY", x);
  if (missing.wayland) which += (which.empty() ? "" : " or ") + Named("WAYLAND_DISPLAY", wayland);
  return which.empty() ? std::string() : "cannot open display " + which;
}

}  // namespace tv
