#include "shell/message_box.h"

#include "shell/app_name.h"
#include "shell/shell_hooks.h"

int AfxMessageBox(const char* pszText)
{
    return CShellHooks::Current().ShowMessageBox(
        ::GetActiveWindow(), pszText, GetApplicationName().c_str(), MB_OK | MB_ICONEXCLAMATION);
}
