// The texts that Copy Row, Copy All and Save As make from the results list.
#pragma once

#include "platform/cstring.h"

#include <vector>

// The list's cells: rows in display order, each with its cells in column order.
using CellRow = std::vector<CString>;
using CellTable = std::vector<CellRow>;

// One row: the cells joined by one TAB, nothing after the last.
CString BuildRowText(const CellRow& cells);

// All rows: each cell followed by one TAB, each row ended by one CR (no LF).
CString BuildListText(const CellTable& table);
