#include "shell/list_ctrl.h"

#include <vector>

int CListCtrl::InsertColumn(int nCol, const char* pszHeading, int nFormat, int nWidth)
{
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    column.fmt = nFormat;
    column.cx = nWidth;
    column.pszText = const_cast<char*>(pszHeading);
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(nCol),
                                        reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int nItem, const char* pszItem, int nImage)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = nItem;
    item.pszText = const_cast<char*>(pszItem);
    item.iImage = nImage;
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const char* pszText)
{
    LVITEMA item{};
    item.iSubItem = nSubItem;
    item.pszText = const_cast<char*>(pszText);
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    // The list view cuts the text to the buffer it is given and says how much it
    // copied: grow the buffer until the text falls short of it.
    std::vector<char> text(256);
    for (;;)
    {
        LVITEMA item{};
        item.iSubItem = nSubItem;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const auto nLength = static_cast<size_t>(SendMessage(
            LVM_GETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
        if (nLength + 1 < text.size())
            return CString(item.pszText, nLength);
        text.resize(text.size() * 2);
    }
}

int CListCtrl::GetColumnCount() const
{
    const auto hHeader = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
    return static_cast<int>(::SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0));
}
