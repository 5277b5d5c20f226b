#pragma once
// Writing the export's files without harming what is already there: the files of the
// database being read are never replaced, nor any existing file that is not a PNG image (or
// a PDF document, for the book), and
// a file appears under its name only once it has been written completely.

#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "database_files.h"

namespace tv {

// Why the export may not write a file at `path`, judged by its name alone (empty when it
// may): the name must end in `extension` (".png", ".svg", ".pdf"; any case), and it must not
// be a quote database file's name, in any directory, whether such a file exists or not: the
// reader would take the picture for quote data.
std::string RefusalOfOutputName(const std::string& path, std::string_view extension);

// Why the directory --export-all writes into may not be made (empty when it may): a directory
// it would create under a quote database file's name would stand where the reader looks for
// that file.
std::string RefusalOfOutputDirectory(const std::string& directory);

// What the export writes.
enum class OutputKind { kPng, kPdf, kSvg };

// Why `path` may not be written; empty when it may: its name is refused (above; ".png" for a
// PNG image, ".pdf" for a PDF document, ".svg" for an SVG drawing), it is a file of `database`, or
// it exists and is not a file of the kind the export writes there.
std::string RefusalToReplace(const std::string& path, const DatabaseFiles& database,
                             OutputKind kind = OutputKind::kPng);

// Writes bytes to a new file beside path and renames it to path once every byte is on disk;
// on failure nothing is left behind and whatever path held stays as it was. Empty on
// success, else the reason.
std::string ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tv
