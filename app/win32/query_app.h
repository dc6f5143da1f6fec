// CQueryApp: Veyra's application object. It runs the main dialog once,
// modally, and lets the program end when the dialog ends.
#pragma once

#include "shell/win_app.h"

class CQueryApp : public CWinApp
{
public:
    // Runs the main dialog to its end and answers FALSE: the dialog's modal
    // loop is the program's only one.
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
