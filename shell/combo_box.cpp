#include "shell/combo_box.h"

#include <vector>

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    const auto wIndex = static_cast<WPARAM>(nIndex);
    const LRESULT nLength = SendMessage(CB_GETLBTEXTLEN, wIndex);
    if (nLength == CB_ERR)
    {
        rString.clear();
        return;
    }
    std::vector<char> text(static_cast<size_t>(nLength) + 1);
    const LRESULT nCopied =
        SendMessage(CB_GETLBTEXT, wIndex, reinterpret_cast<LPARAM>(text.data()));
    rString.assign(text.data(), nCopied > 0 ? static_cast<size_t>(nCopied) : 0);
}
