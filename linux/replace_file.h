// A file replaced whole: readers see the old contents or the new, never a
// half-written file (node_exporter's textfile collector reads while we write).
#pragma once

#include <string>

// Writes text to a new file beside path (mode 0644), flushes it to disk and
// renames it over path; a symbolic link at path is replaced, not followed.
// 0, or an errno value with path left as it was and no temporary file left.
int ReplaceFile(const std::string& path, const std::string& text);
