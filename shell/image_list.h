// CImageList: owns one image list and destroys it with the object.
#pragma once

#include "platform/platform_types.h"

#include <commctrl.h>

class CImageList
{
public:
    CImageList() = default;
    ~CImageList()
    {
        if (m_hImageList != nullptr)
            ::ImageList_Destroy(m_hImageList);
    }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // Cuts bitmap nBitmapID of the program's module into images cx pixels wide;
    // crMask is the transparent colour, nGrow the images added when the list grows.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    int GetImageCount() const { return ::ImageList_GetImageCount(m_hImageList); }

private:
    HIMAGELIST m_hImageList = nullptr;
};
