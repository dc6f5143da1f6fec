// The results list as standard tab-separated text, the form Linux tools
// (cut, awk, spreadsheets) read: the Linux editions' Copy and Save.
#pragma once

#include "core/model/list_text.h"

// The cell with each TAB, LF, CR and backslash written as \t, \n, \r and \\,
// so that no byte of the data can split a cell or a row, and the rest shown
// as every peer text is (see ShownPeerText, in PeerTextCharset): with the
// backslash escaped, every escape reads one way.
CString TsvCell(const CString& strCell);

// One row: its escaped cells joined by one TAB, ended by one LF.
CString BuildTsvRow(const CellRow& cells);

// Every row in turn, each ended by one LF; no header.
CString BuildTsvText(const CellTable& table);
