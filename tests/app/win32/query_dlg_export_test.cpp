// The results list's menu, its copies to the clipboard and Save As, on the
// main dialog's real controls.
#include "app/win32/res/resource.h"
#include "app/win32/working_directory.h"
#include "tests/app/win32/query_dlg_fixture.h"

#include <atomic>
#include <commctrl.h>
#include <commdlg.h>
#include <fstream>
#include <iterator>
#include <thread>

namespace
{
// What the typical options give, as Copy All and Save As write them.
const CString kTypicalListText = "DHCP Server\t192.168.1.1\t\r"
                                 "Host Name\t\t\r"
                                 "Subnet Mask\t255.255.255.0\t\r"
                                 "Domain Name\thome.example\t\r"
                                 "DNS Server\t192.168.1.53 192.168.1.54 \t\r"
                                 "Gateway Address\t192.168.1.1\t\r";

// The popup menu while it is shown, or null.
HWND ShownMenuWindow()
{
    const HWND hMenuWnd = ::FindWindowA("#32768", nullptr);
    return hMenuWnd != nullptr && ::IsWindowVisible(hMenuWnd) ? hMenuWnd : nullptr;
}

// A right click as the mouse makes it, on a row of the results list.
void RightClickRow(HWND hList, int nRow)
{
    RECT rcRow{};
    rcRow.left = LVIR_LABEL;
    ::SendMessageA(hList, LVM_GETITEMRECT, static_cast<WPARAM>(nRow),
                   reinterpret_cast<LPARAM>(&rcRow));
    const LPARAM lPoint = MAKELPARAM(rcRow.left + 4, (rcRow.top + rcRow.bottom) / 2);
    ::PostMessageA(hList, WM_RBUTTONDOWN, MK_RBUTTON, lPoint);
    ::PostMessageA(hList, WM_RBUTTONUP, 0, lPoint);
}

// Picks the menu item at the position from the keyboard: the menu starts with
// no item selected, and the separator is stepped over.
void ChooseMenuItem(HWND hMenuWnd, int nSteps)
{
    for (int n = 0; n < nSteps; ++n)
        ::PostMessageA(hMenuWnd, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(hMenuWnd, WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(QueryDlgTest, RightClickShowsTheMenuAtTheCursorAndItsChoiceArrives)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    PutOnClipboard("before");
    const POINT ptCursor{320, 360};
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             ::SetCursorPos(ptCursor.x, ptCursor.y);
             RightClickRow(Item(IDC_RESULT_LIST), 3);
             return true;
         },
         [&]
         {
             const HWND hMenuWnd = ShownMenuWindow();
             if (hMenuWnd == nullptr)
                 return false;
             RECT rcMenu;
             ::GetWindowRect(hMenuWnd, &rcMenu);
             EXPECT_EQ(rcMenu.left, ptCursor.x);
             EXPECT_EQ(rcMenu.top, ptCursor.y);

             const auto hMenu =
                 reinterpret_cast<HMENU>(::SendMessageA(hMenuWnd, MN_GETHMENU, 0, 0));
             ExpectPopupMenuItems(hMenu);
             ChooseMenuItem(hMenuWnd, 2); // "Copy Row..."
             return true;
         },
         [&] {
             return ShownMenuWindow() == nullptr && ClipboardBytes() != "before" + CString(1, '\0');
         }});
    // The click selected the row it hit, and the menu's command copied it.
    EXPECT_EQ(ClipboardBytes(), CString("Domain Name\thome.example") + '\0');
}

TEST_F(QueryDlgTest, CloseInTheMenuEndsTheDialog)
{
    AddThreeAdapters();
    EXPECT_EQ(RunToItsEnd({[&]
                           {
                               RightClickRow(Item(IDC_RESULT_LIST), 0);
                               return true;
                           },
                           [&]
                           {
                               const HWND hMenuWnd = ShownMenuWindow();
                               if (hMenuWnd == nullptr)
                                   return false;
                               ChooseMenuItem(hMenuWnd, 4);
                               return true;
                           }}),
              IDCANCEL);
}

// Fault: the popup menu's resource cannot be loaded. The right click asks for
// it and goes on: no crash, no menu, the dialog still answers.
TEST_F(QueryDlgTest, RightClickWithoutTheMenuResourceShowsNothing)
{
    const HMODULE hWithoutMenus = ::GetModuleHandleA("ntdll.dll");
    ASSERT_EQ(::LoadMenuA(hWithoutMenus, MAKEINTRESOURCEA(IDR_POPUP_MENU)), nullptr);
    AddThreeAdapters();
    ScriptTypicalOptions();
    int nLookupsBefore = 0;
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             m_hooks.m_hResourceModule = hWithoutMenus;
             nLookupsBefore = m_hooks.m_nResourceLookups;
             RightClickRow(Item(IDC_RESULT_LIST), 1);
             return true;
         },
         // Timers come after posted messages: the click has been handled.
         [&]
         {
             EXPECT_GT(m_hooks.m_nResourceLookups, nLookupsBefore) << "the menu was asked for";
             if (ShownMenuWindow() != nullptr)
             {
                 ADD_FAILURE() << "a menu is shown";
                 ::EndMenu();
             }
             m_hooks.m_hResourceModule = nullptr;
             Click(IDC_SEND_REQUEST);
             EXPECT_EQ(Rows().size(), 6u);
             return true;
         }});
    EXPECT_TRUE(m_hooks.m_messageBoxes.empty());
}

TEST_F(QueryDlgTest, CopyRowPutsTheSelectedRowsCellsJoinedByTab)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             SelectRow(0);
             Command(ID_POPUP_COPYROW);
             EXPECT_EQ(ClipboardBytes(), CString("DHCP Server\t192.168.1.1") + '\0');
             SelectRow(1); // an empty data cell
             Command(ID_POPUP_COPYROW);
             EXPECT_EQ(ClipboardBytes(), CString("Host Name\t") + '\0');
             return true;
         }});
}

TEST_F(QueryDlgTest, CopyRowWithoutASelectionLeavesTheClipboardAlone)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    PutOnClipboard("the user's own text");
    Run({[&]
         {
             Command(ID_POPUP_COPYROW); // an empty list
             Click(IDC_SEND_REQUEST);
             Command(ID_POPUP_COPYROW); // rows, none selected
             return true;
         }});
    EXPECT_EQ(ClipboardBytes(), CString("the user's own text") + '\0');
}

TEST_F(QueryDlgTest, CopyAllPutsEveryCellFollowedByTabAndEveryRowEndedByCr)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    Run({[&]
         {
             Command(ID_POPUP_COPYALL);
             EXPECT_EQ(ClipboardBytes(), CString(1, '\0')) << "an empty list, the empty text";
             Click(IDC_SEND_REQUEST);
             SelectRow(2);
             Command(ID_POPUP_COPYALL);
             return true;
         }});
    EXPECT_EQ(ClipboardBytes(), kTypicalListText + '\0');
}

// Another program holds the clipboard open: nothing is copied, and what the
// clipboard held stays there.
TEST_F(QueryDlgTest, BusyClipboardKeepsWhatItHeld)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    PutOnClipboard("the user's own text");
    std::atomic<int> nState{0}; // 1: the other program holds the clipboard; 2: it may let go
    std::thread other(
        [&]
        {
            const bool bOpened = ::OpenClipboard(nullptr) != FALSE;
            nState = 1;
            while (nState != 2)
                ::Sleep(1);
            if (bOpened)
                ::CloseClipboard();
        });
    while (nState != 1)
        ::Sleep(1);
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             SelectRow(0);
             Command(ID_POPUP_COPYROW);
             Command(ID_POPUP_COPYALL);
             return true;
         }});
    nState = 2;
    other.join();
    EXPECT_EQ(ClipboardBytes(), CString("the user's own text") + '\0');
}

// The clipboard fails for want of memory: what it held stays, and no box tells
// the user anything about a copy.
TEST_F(QueryDlgTest, ClipboardWithoutMemoryKeepsWhatItHeldSilently)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    PutOnClipboard("the user's own text");
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             SelectRow(0);
             for (const UINT nCommand : {UINT{ID_POPUP_COPYROW}, UINT{ID_POPUP_COPYALL}})
             {
                 m_hooks.FailAllocation(0);
                 Command(nCommand);
                 m_hooks.FailAllocation(-1);
                 m_hooks.RefuseClipboardBlock(0);
                 Command(nCommand);
                 EXPECT_TRUE(m_hooks.LeakedBlocks().empty());
                 m_hooks.RefuseClipboardBlock(-1);
             }
             return true;
         }});
    EXPECT_EQ(ClipboardBytes(), CString("the user's own text") + '\0');
    EXPECT_TRUE(m_hooks.m_messageBoxes.empty());
}

// Save As, with the save dialog answered by the stand-in desktop, into a
// folder of the test's own.
class QueryDlgSaveTest : public QueryDlgTest
{
protected:
    void SetUp() override
    {
        char szTemp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, szTemp);
        m_strFolder = CString(szTemp) + "veyra_save_" + std::to_string(::GetCurrentProcessId());
        ASSERT_TRUE(::CreateDirectoryA(m_strFolder.c_str(), nullptr));
        m_strFolder += '\\';
        AddThreeAdapters();
        m_service.SetOption(54, {10, 0, 0, 1});
        m_service.SetOption(15, {'c', 'o', 'r', 'p', '\n', 'e', 'x', 'a', 'm', 'p', 'l', 'e'});
    }

    void TearDown() override { RemoveFolder(m_strFolder); }

    static void RemoveFolder(const CString& strFolder)
    {
        WIN32_FIND_DATAA found;
        const HANDLE hFind = ::FindFirstFileA((strFolder + "*").c_str(), &found);
        if (hFind != INVALID_HANDLE_VALUE)
        {
            do
            {
                const CString strPath = strFolder + found.cFileName;
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                    ::DeleteFileA(strPath.c_str());
                else if (found.cFileName[0] != '.')
                    RemoveFolder(strPath + '\\');
            } while (::FindNextFileA(hFind, &found));
            ::FindClose(hFind);
        }
        ::RemoveDirectoryA(strFolder.c_str());
    }

    // Saves the list under each chosen name in turn, after one request.
    void SaveAs(const std::vector<CString>& chosenNames)
    {
        Run({[&]
             {
                 Click(IDC_SEND_REQUEST);
                 for (const CString& strName : chosenNames)
                 {
                     m_hooks.m_strChosenPath = strName.empty() ? strName : m_strFolder + strName;
                     Command(ID_POPUP_SAVEAS);
                 }
                 return true;
             }});
    }

    // The file's bytes, read without any translation; "(none)" without a file.
    CString FileBytes(const char* pszName) const
    {
        std::ifstream file(m_strFolder + pszName, std::ios::binary);
        if (!file)
            return "(none)";
        return CString(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    void WriteFile(const char* pszName, const CString& strBytes) const
    {
        std::ofstream(m_strFolder + pszName, std::ios::binary) << strBytes;
    }

    // The rows' text as the file holds it: an LF inside a cell became CR LF.
    const CString m_strFileText = "DHCP Server\t10.0.0.1\t\rDomain Name\tcorp\r\nexample\t\r";
    CString m_strFolder;
};

TEST_F(QueryDlgSaveTest, WritesTheListTextInTextModeUnderTheNameWithTxt)
{
    SaveAs({"report"});
    EXPECT_EQ(FileBytes("report.txt"), m_strFileText);
    EXPECT_EQ(FileBytes("report"), "(none)");
    EXPECT_TRUE(m_hooks.m_messageBoxes.empty());

    ASSERT_EQ(m_hooks.m_saveRequests.size(), 1u);
    const OPENFILENAMEA& ofn = m_hooks.m_saveRequests[0];
    EXPECT_EQ(ofn.hwndOwner, m_hDlg);
    EXPECT_EQ(ofn.Flags, static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY));
    EXPECT_EQ(ofn.lpstrDefExt, nullptr);
    EXPECT_EQ(m_hooks.m_strFilterSeen, CString("Text Files (*.txt)\0*.txt\0\0", 26));
    EXPECT_EQ(m_hooks.m_strFileSeen, "");
}

TEST_F(QueryDlgSaveTest, TxtIsAppendedOnlyWhenTheFileNameHasNoExtension)
{
    ASSERT_TRUE(::CreateDirectoryA((m_strFolder + "v1.2").c_str(), nullptr));
    SaveAs({"report.csv", "notes.", "v1.2\\dump"});
    EXPECT_EQ(FileBytes("report.csv"), m_strFileText);
    EXPECT_EQ(FileBytes("notes..txt"), m_strFileText);
    EXPECT_EQ(FileBytes("v1.2\\dump.txt"), m_strFileText);
    EXPECT_EQ(FileBytes("v1.2\\dump"), "(none)");
}

TEST_F(QueryDlgSaveTest, ExistingFileOfTheExtendedNameIsReplacedOnlyWhenTheUserSaysYes)
{
    WriteFile("report.txt", "the user's own file");
    m_hooks.m_nMessageBoxAnswer = IDNO;
    SaveAs({"report"});
    EXPECT_EQ(FileBytes("report.txt"), "the user's own file");
    ASSERT_EQ(m_hooks.m_messageBoxes.size(), 1u);
    const CFakeShellHooks::MessageBoxCall& question = m_hooks.m_messageBoxes[0];
    EXPECT_EQ(question.strText,
              m_strFolder + "report.txt already exists.\nDo you want to replace it?");
    EXPECT_EQ(question.nType, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(question.strCaption, "veyra_tests");

    m_hooks.m_nMessageBoxAnswer = IDYES;
    SaveAs({"report"});
    EXPECT_EQ(FileBytes("report.txt"), m_strFileText);
    EXPECT_EQ(m_hooks.m_messageBoxes.size(), 2u);

    // The name as chosen was the save dialog's own question.
    WriteFile("report.txt", "the user's own file");
    SaveAs({"report.txt"});
    EXPECT_EQ(FileBytes("report.txt"), m_strFileText);
    EXPECT_EQ(m_hooks.m_messageBoxes.size(), 2u);
}

TEST_F(QueryDlgSaveTest, PathThatCannotBeWrittenIsReportedWithTheSystemsReason)
{
    SaveAs({"missing\\report"});
    ASSERT_EQ(m_hooks.m_messageBoxes.size(), 1u);
    EXPECT_EQ(m_hooks.m_messageBoxes[0].strText,
              m_strFolder +
                  "missing\\report.txt\nThe list could not be saved: No such file or directory.");
    EXPECT_EQ(m_hooks.m_messageBoxes[0].nType, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(FileBytes("missing\\report.txt"), "(none)");
}

TEST_F(QueryDlgSaveTest, CancelWritesNothing)
{
    SaveAs({""});
    EXPECT_EQ(m_hooks.m_saveRequests.size(), 1u);
    EXPECT_TRUE(m_hooks.m_messageBoxes.empty());
    WIN32_FIND_DATAA found;
    const HANDLE hFind = ::FindFirstFileA((m_strFolder + "*.txt").c_str(), &found);
    EXPECT_EQ(hFind, INVALID_HANDLE_VALUE);
    if (hFind != INVALID_HANDLE_VALUE)
        ::FindClose(hFind);
}

// A save dialog that moves the working directory, as the system's may.
class CDirectoryMovingHooks : public CFakeShellHooks
{
public:
    explicit CDirectoryMovingHooks(CString strFolder) : m_strFolder(std::move(strFolder)) {}

    BOOL RunSaveDialog(OPENFILENAMEA& ofn) override
    {
        ::SetCurrentDirectoryA(m_strFolder.c_str());
        return CFakeShellHooks::RunSaveDialog(ofn);
    }

private:
    CString m_strFolder;
};

TEST_F(QueryDlgSaveTest, WorkingDirectoryIsTheSameAfterwardsWhateverTheOutcome)
{
    const CString strBefore = CWorkingDirectory::Current();
    ASSERT_FALSE(strBefore.empty());
    CDirectoryMovingHooks hooks(m_strFolder);
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             for (const CString& strChosen :
                  {CString(), m_strFolder + "report", m_strFolder + "missing\\report"})
             {
                 hooks.m_strChosenPath = strChosen;
                 Command(ID_POPUP_SAVEAS);
                 EXPECT_EQ(CWorkingDirectory::Current(), strBefore) << strChosen;
             }
             return true;
         }});
    EXPECT_EQ(hooks.m_saveRequests.size(), 3u);
    EXPECT_EQ(hooks.m_messageBoxes.size(), 1u) << "the path that cannot be written";
    EXPECT_EQ(FileBytes("report.txt"), m_strFileText);
}
} // namespace
