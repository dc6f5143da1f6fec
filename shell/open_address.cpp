#include "shell/open_address.h"

#include "shell/shell_hooks.h"

void OpenAddress(const char* pszUrl)
{
    CShellHooks::Current().OpenAddress(pszUrl);
}
