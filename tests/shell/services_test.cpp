// Clipboard and save dialog.
#include "shell/clipboard.h"
#include "shell/file_dialog.h"
#include "testing/fake_shell_hooks.h"
#include "tests/shell/readback.h"

#include <gtest/gtest.h>

namespace
{
TEST(Clipboard, HoldsTheTextAndAZeroByte)
{
    const CString strText = "DHCP Server\t10.0.0.1\t\rSubnet Mask\t255.255.255.0\t\r";
    ASSERT_TRUE(CopyTextToClipboard(nullptr, strText));
    EXPECT_EQ(ClipboardBytes(), strText + '\0');
    ASSERT_TRUE(CopyTextToClipboard(nullptr, ""));
    EXPECT_EQ(ClipboardBytes(), CString(1, '\0'));
}

// A copy that fails for want of memory: it says so, the clipboard keeps what
// it held, and every block it had is freed.
TEST(Clipboard, FailureKeepsWhatItHeldAndFreesItsBlocks)
{
    struct Fault
    {
        const char* pszFault;
        int nFailedAllocation;
        int nRefusedBlock;
    };
    const Fault faults[] = {
        {"the text's block cannot be allocated", 0, -1},
        {"the copy of what the clipboard held cannot be allocated", 1, -1},
        {"the clipboard refuses the text's block", -1, 0},
    };
    for (const Fault& fault : faults)
    {
        SCOPED_TRACE(fault.pszFault);
        ASSERT_TRUE(CopyTextToClipboard(nullptr, "the user's own text"));
        CFakeShellHooks hooks;
        hooks.FailAllocation(fault.nFailedAllocation);
        hooks.RefuseClipboardBlock(fault.nRefusedBlock);
        EXPECT_FALSE(CopyTextToClipboard(nullptr, "DHCP Server\t10.0.0.1"));
        EXPECT_TRUE(hooks.LeakedBlocks().empty());
        EXPECT_EQ(ClipboardBytes(), CString("the user's own text") + '\0');
    }
}

TEST(SaveDialog, AsksForASaveWithTheFilterFlagsAndOwner)
{
    CFakeShellHooks hooks;
    CWnd owner;
    owner.m_hWnd = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr);
    CFileDialog dialog(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, "Text Files (*.txt)|*.txt||",
                       &owner);
    hooks.m_strChosenPath = "C:\\users\\me\\report";
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(hooks.m_saveRequests.size(), 1u);
    const OPENFILENAMEA& ofn = hooks.m_saveRequests[0];
    EXPECT_EQ(ofn.lStructSize, sizeof(OPENFILENAMEA));
    EXPECT_EQ(ofn.hwndOwner, owner.m_hWnd);
    EXPECT_EQ(hooks.m_strFilterSeen, CString("Text Files (*.txt)\0*.txt\0\0", 26));
    EXPECT_EQ(ofn.Flags, static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY));
    EXPECT_EQ(ofn.lpstrDefExt, nullptr);
    EXPECT_EQ(hooks.m_strFileSeen, "") << "no initial file name";
    EXPECT_GE(ofn.nMaxFile, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ(dialog.GetPathName(), "C:\\users\\me\\report");
    ::DestroyWindow(owner.m_hWnd);
    owner.m_hWnd = nullptr;
}

TEST(SaveDialog, ExtensionIsAfterTheNamesLastDotOnly)
{
    const struct
    {
        const char* pszPath;
        const char* pszExt;
    } cases[] = {{"C:\\out\\report", ""},          {"C:\\out\\report.csv", "csv"},
                 {"C:\\out\\report.", ""},         {"C:\\out.d\\report", ""},
                 {"C:\\out\\report.tar.gz", "gz"}, {"C:report.txt", "txt"}};
    for (const auto& entry : cases)
    {
        CFakeShellHooks hooks;
        hooks.m_strChosenPath = entry.pszPath;
        CFileDialog dialog(OFN_OVERWRITEPROMPT, "Text Files (*.txt)|*.txt||");
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.GetFileExt(), entry.pszExt) << entry.pszPath;
    }
}

TEST(SaveDialog, CancelGivesNoPath)
{
    CFakeShellHooks hooks;
    CFileDialog dialog(OFN_OVERWRITEPROMPT, "Text Files (*.txt)|*.txt||");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.GetPathName(), "");
}
} // namespace
