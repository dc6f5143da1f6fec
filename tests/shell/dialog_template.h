// Reads an extended dialog template (DLGTEMPLATEEX) from the test executable's
// resources, to compare it with what the program's windows promise.
#pragma once

#include "platform/cstring.h"
#include "platform/platform_types.h"

#include <string>
#include <vector>

struct CTemplateItem
{
    CString strClass;     // "Button", "Static", "ComboBox", ... or the class name given
    std::wstring strText; // empty when the text is a resource ordinal
    WORD nTextOrdinal;    // the ordinal, or 0
    int nID;
    DWORD dwStyle;
    DWORD dwExStyle;
    RECT rcUnits; // left, top, width and height in dialog units, as the template holds them
};

struct CDialogTemplate
{
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    RECT rcUnits{};
    std::wstring strCaption;
    WORD nPointSize = 0;
    std::wstring strFace;
    std::vector<CTemplateItem> items;
};

// False when the template is missing or not an extended one.
bool LoadDialogTemplate(UINT nID, CDialogTemplate& dialog);

// The window rectangle that dialog units map to in hDlg's client coordinates.
RECT DialogUnitsToClient(HWND hDlg, const RECT& rcUnits);
// A child's window rectangle in the client coordinates of its dialog.
RECT ChildRectInClient(HWND hDlg, HWND hChild);
