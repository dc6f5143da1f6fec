#include "shell/message_box.h"

#include "shell/app_name.h"
#include "shell/shell_hooks.h"

int AfxMessageBox(const char* pszText, UINT nType)
{
    if ((nType & MB_ICONMASK) == 0)
        nType |= MB_ICONEXCLAMATION;
    return CShellHooks::Current().ShowMessageBox(::GetActiveWindow(), pszText,
                                                 GetApplicationName().c_str(), nType);
}
