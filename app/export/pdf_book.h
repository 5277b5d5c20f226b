#pragma once
// The book: every security of a database on a page of its own in one PDF file, drawn as the
// program prints a chart, in the print colours, with its symbol and name as text a reader can
// search.

class CBars;
class DatabaseFiles;

namespace tv {

struct ExportOptions;

// Writes the book of the securities `bars` lists (the database opened) to options.pdfPath;
// a security that cannot be loaded is reported and left out. Returns the exit code: 0 every
// security has its page, 1 one was left out or the file could not be written.
int ExportBook(CBars& bars, const ExportOptions& options, const DatabaseFiles& database);

}  // namespace tv
