// Texts of untrusted origin laid out in columns for a terminal.
#pragma once

#include <string>
#include <vector>

// The text with every control byte (below 0x20, and 0x7F) written as \xNN,
// so that data from the network cannot move the cursor or recolour the terminal.
std::string TerminalSafe(const std::string& strText);

// The rows as lines of left-aligned columns, two spaces apart; the last
// column is not padded. Each cell is made terminal-safe first.
std::string FormatColumns(const std::vector<std::vector<std::string>>& rows);
