// tickvane: the program's entry point.

#include <cstdio>

#include "export.h"

int main(int argc, char** argv) {
  if (tv::IsExportCommand(argc, argv)) return tv::ExportMain(argc, argv);
  std::fputs("tickvane: the windowed viewer is not built yet; use --export-png or --export-all\n",
             stderr);
  return 2;
}
