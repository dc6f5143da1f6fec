// Drives modal dialogs from inside their own modal loops: a thread timer runs
// the test's steps one after the other while DoModal is waiting. A step answers
// true when it is done and false to be tried again at the next tick. When the
// steps do not finish in time, every dialog of the thread is ended, so a test
// fails instead of waiting for a human.
#pragma once

#include "platform/platform_types.h"

#include <functional>
#include <vector>

class CModalDriver
{
public:
    using Step = std::function<bool()>;

    explicit CModalDriver(std::vector<Step> steps);
    ~CModalDriver();
    CModalDriver(const CModalDriver&) = delete;
    CModalDriver& operator=(const CModalDriver&) = delete;

    bool Finished() const { return m_nNext == m_steps.size(); }

private:
    static void CALLBACK OnTimer(HWND hWnd, UINT nMessage, UINT_PTR nID, DWORD dwTime);
    static BOOL CALLBACK EndDialogOf(HWND hWnd, LPARAM lParam);

    std::vector<Step> m_steps;
    size_t m_nNext = 0;
    int m_nTicksLeft;
    UINT_PTR m_nTimer;
};

// A step that waits until the dialog window exists and is shown.
bool DialogIsUp(HWND hDlg);
// Presses a key in a dialog the way the keyboard does: posted to the window with
// the focus, for the modal loop's dialog-message handling.
void PostKey(HWND hDlg, WPARAM nKey);
