// CStatic: a static control (text, icon or picture) of a dialog.
#pragma once

#include "shell/wnd.h"

class CStatic : public CWnd
{
};
