// Stands in for the desktop while it is alive: records message boxes (with the
// cursor they came up under), save dialogs and opened addresses, answers them
// as the test says, can fail one memory block or refuse one clipboard block,
// and can name another module for the resources.
#pragma once

#include "platform/cstring.h"
#include "shell/shell_hooks.h"

#include <algorithm>
#include <vector>

class CFakeShellHooks : public CShellHooks
{
public:
    CFakeShellHooks() : m_pPrevious(Install(this)) {}
    ~CFakeShellHooks() override { Install(m_pPrevious); }

    struct MessageBoxCall
    {
        HWND hWndOwner;
        CString strText;
        CString strCaption;
        UINT nType;
        HCURSOR hCursor; // the cursor shown when the box came up
    };

    int ShowMessageBox(HWND hWndOwner, const char* pszText, const char* pszCaption,
                       UINT nType) override
    {
        m_messageBoxes.push_back({hWndOwner, pszText, pszCaption, nType, ::GetCursor()});
        return m_nMessageBoxAnswer;
    }

    // Records what the dialog was asked for; answers m_strChosenPath, or cancels
    // when that is empty.
    BOOL RunSaveDialog(OPENFILENAMEA& ofn) override
    {
        m_saveRequests.push_back(ofn);
        m_strFilterSeen.assign(ofn.lpstrFilter, FilterLength(ofn.lpstrFilter));
        m_strFileSeen = ofn.lpstrFile;
        if (m_strChosenPath.empty() || m_strChosenPath.size() >= ofn.nMaxFile)
            return FALSE;
        m_strChosenPath.copy(ofn.lpstrFile, m_strChosenPath.size());
        ofn.lpstrFile[m_strChosenPath.size()] = '\0';
        return TRUE;
    }

    void OpenAddress(const char* pszUrl) override { m_opened.emplace_back(pszUrl); }

    // The allocation numbered nIndex from now on (from 0) fails; -1: none.
    void FailAllocation(int nIndex)
    {
        m_nFailedAllocation = nIndex;
        m_nAllocations = 0;
        m_allocated.clear();
        m_handedOver.clear();
    }
    // The clipboard block numbered nIndex from now on (from 0) is refused; -1: none.
    void RefuseClipboardBlock(int nIndex)
    {
        m_nRefusedBlock = nIndex;
        m_nClipboardBlocks = 0;
        m_allocated.clear();
        m_handedOver.clear();
    }

    HGLOBAL AllocateGlobal(UINT nFlags, SIZE_T nBytes) override
    {
        if (m_nAllocations++ == m_nFailedAllocation)
            return nullptr;
        const HGLOBAL hBlock = CShellHooks::AllocateGlobal(nFlags, nBytes);
        m_allocated.push_back(hBlock);
        return hBlock;
    }

    HANDLE SetClipboardBlock(UINT nFormat, HANDLE hData) override
    {
        if (m_nClipboardBlocks++ == m_nRefusedBlock)
            return nullptr;
        const HANDLE hResult = CShellHooks::SetClipboardBlock(nFormat, hData);
        if (hResult != nullptr)
            m_handedOver.push_back(hData);
        return hResult;
    }

    // The blocks handed out since either was last called that the clipboard
    // never took and that are still allocated: what a failed copy leaked.
    std::vector<HGLOBAL> LeakedBlocks() const
    {
        std::vector<HGLOBAL> leaked;
        for (const HGLOBAL hBlock : m_allocated)
            if (std::find(m_handedOver.begin(), m_handedOver.end(), hBlock) == m_handedOver.end() &&
                ::GlobalSize(hBlock) != 0)
                leaked.push_back(hBlock);
        return leaked;
    }

    HMODULE ResourceModule() override
    {
        ++m_nResourceLookups;
        return m_hResourceModule != nullptr ? m_hResourceModule : CShellHooks::ResourceModule();
    }

    std::vector<MessageBoxCall> m_messageBoxes;
    int m_nMessageBoxAnswer = IDOK; // the button every message box is closed with
    std::vector<OPENFILENAMEA> m_saveRequests;
    CString m_strFilterSeen; // the filter with its zero bytes, up to the double zero
    CString m_strFileSeen;   // the file name the dialog was opened with
    CString m_strChosenPath;
    std::vector<CString> m_opened;
    HMODULE m_hResourceModule = nullptr;
    int m_nResourceLookups = 0;

private:
    // A system filter ends with two zero bytes; its length counts both.
    static size_t FilterLength(const char* pszFilter)
    {
        size_t n = 0;
        while (pszFilter[n] != '\0' || pszFilter[n + 1] != '\0')
            ++n;
        return n + 2;
    }

    CShellHooks* m_pPrevious;
    int m_nFailedAllocation = -1;
    int m_nAllocations = 0;
    std::vector<HGLOBAL> m_allocated;
    int m_nRefusedBlock = -1;
    int m_nClipboardBlocks = 0;
    std::vector<HANDLE> m_handedOver;
};
