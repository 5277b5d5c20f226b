#pragma once
// Whether the windowed program can reach a display, asked before Qt is: Qt ends the process
// with an abort when its platform plugin cannot connect.

#include <string>

namespace tv {

// Empty when a window can be opened, or when the platform chosen with -platform or
// QT_QPA_PLATFORM is one that needs no display server (offscreen, vnc, eglfs ...); otherwise
// the message that says which display could not be opened.
std::string DisplayProblem(int argc, char** argv);

}  // namespace tv
