#include "shell/image_list.h"

#include "shell/shell_hooks.h"

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    if (m_hImageList != nullptr)
        ::ImageList_Destroy(m_hImageList);
    m_hImageList =
        ::ImageList_LoadImageA(CShellHooks::Current().ResourceModule(), MAKEINTRESOURCEA(nBitmapID),
                               cx, nGrow, crMask, IMAGE_BITMAP, LR_DEFAULTCOLOR);
    return m_hImageList != nullptr;
}
