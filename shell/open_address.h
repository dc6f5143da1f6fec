// Hands a web address to the desktop's default handler (ShellExecuteA "open").
// Whether a browser shows it is the desktop's business: nothing comes back.
#pragma once

void OpenAddress(const char* pszUrl);
