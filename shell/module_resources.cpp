#include "shell/module_resources.h"

#include "shell/shell_hooks.h"

#include <vector>

namespace
{
HMODULE Module()
{
    return CShellHooks::Current().ResourceModule();
}
} // namespace

HCURSOR LoadModuleCursor(UINT nID)
{
    return ::LoadCursorA(Module(), MAKEINTRESOURCEA(nID));
}

HICON LoadModuleIcon(UINT nID)
{
    return ::LoadIconA(Module(), MAKEINTRESOURCEA(nID));
}

CString LoadModuleString(UINT nID)
{
    // LoadStringA cuts a text to the buffer: grow it until the text fits.
    std::vector<char> text(256);
    for (;;)
    {
        const int nLength =
            ::LoadStringA(Module(), nID, text.data(), static_cast<int>(text.size()));
        if (nLength <= 0)
            return CString();
        if (static_cast<size_t>(nLength) + 1 < text.size())
            return CString(text.data(), static_cast<size_t>(nLength));
        text.resize(text.size() * 2);
    }
}

HMENU LoadModuleMenu(UINT nID)
{
    return ::LoadMenuA(Module(), MAKEINTRESOURCEA(nID));
}
