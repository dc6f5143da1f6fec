// Texts of untrusted origin laid out in columns: for a terminal, and as
// tab-separated values.
#pragma once

#include <string>
#include <vector>

// Sets the charset of every peer text this process writes from the locale
// (LC_CTYPE of the environment): UTF-8 where its codeset is, else ASCII.
void UseTheLocalesCharset();

// The text as every peer text is shown (see ShownPeerText), so that data from
// the network or an interface's name cannot move the cursor, recolour the
// terminal, garble the line or hide and reorder what is shown.
std::string TerminalSafe(const std::string& strText);

// The rows as lines of left-aligned columns, two spaces apart; the last
// column is not padded. Each cell is made terminal-safe first.
std::string FormatColumns(const std::vector<std::vector<std::string>>& rows);

// A text made for a file or a pipe, fit to show on a terminal instead: TAB and
// LF stay, a CR is shown as \x0D and ends the line, and everything else as
// TerminalSafe shows it.
std::string TerminalSafeLines(const std::string& strText);
