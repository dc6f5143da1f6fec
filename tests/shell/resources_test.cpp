// Every resource of the program, read back from the test executable, which
// carries the same compiled resources as Veyra.exe.
#include "app/win32/res/resource.h"
#include "shell/image_list.h"
#include "shell/module_resources.h"
#include "tests/shell/dialog_template.h"
#include "tests/shell/modeless_template.h"
#include "tests/shell/readback.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace
{
#pragma pack(push, 2)
struct GroupIconEntry // GRPICONDIRENTRY; for cursors width/colour bytes hold the width and height
{
    BYTE bWidth;
    BYTE bHeight;
    BYTE bColorCount;
    BYTE bReserved;
    WORD wPlanes;
    WORD wBitCount;
    DWORD dwBytesInRes;
    WORD nID;
};
struct GroupIconDir
{
    WORD idReserved;
    WORD idType;
    WORD idCount;
    GroupIconEntry entries[1];
};
#pragma pack(pop)

const BYTE* ResourceBytes(UINT nID, LPCSTR pszType, DWORD* pdwSize = nullptr)
{
    const HMODULE hModule = ::GetModuleHandleA(nullptr);
    const HRSRC hResource = ::FindResourceA(hModule, MAKEINTRESOURCEA(nID), pszType);
    if (hResource == nullptr)
        return nullptr;
    if (pdwSize != nullptr)
        *pdwSize = ::SizeofResource(hModule, hResource);
    return static_cast<const BYTE*>(::LockResource(::LoadResource(hModule, hResource)));
}

const BITMAPINFOHEADER* BitmapHeader(UINT nID)
{
    return reinterpret_cast<const BITMAPINFOHEADER*>(ResourceBytes(nID, RT_BITMAP));
}

// The colour of pixel (x, y), top row 0, of a 4-bit bitmap resource.
COLORREF PixelOf4BitBitmap(const BITMAPINFOHEADER* pHeader, int x, int y)
{
    const auto* pPalette = reinterpret_cast<const RGBQUAD*>(pHeader + 1);
    const BYTE* pBits = reinterpret_cast<const BYTE*>(pPalette + 16);
    const int nStride = ((pHeader->biWidth * 4 + 31) / 32) * 4;
    const BYTE byte = pBits[(pHeader->biHeight - 1 - y) * nStride + x / 2];
    const int nIndex = (x % 2 == 0) ? byte >> 4 : byte & 0x0F;
    return RGB(pPalette[nIndex].rgbRed, pPalette[nIndex].rgbGreen, pPalette[nIndex].rgbBlue);
}

int CountPixels(const BITMAPINFOHEADER* pHeader, int nImage, COLORREF clr)
{
    int nCount = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 16; ++x)
            nCount += PixelOf4BitBitmap(pHeader, nImage * 16 + x, y) == clr;
    return nCount;
}

CString VersionString(const std::vector<BYTE>& block, const char* pszName)
{
    char* pszValue = nullptr;
    UINT nLength = 0;
    const CString strPath = CString("\\StringFileInfo\\040904B0\\") + pszName;
    if (!::VerQueryValueA(block.data(), strPath.c_str(), reinterpret_cast<void**>(&pszValue),
                          &nLength) ||
        pszValue == nullptr)
        return "(missing)";
    return pszValue;
}

std::vector<BYTE> OwnVersionBlock()
{
    char szPath[MAX_PATH];
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::vector<BYTE> block(::GetFileVersionInfoSizeA(szPath, nullptr));
    if (block.empty() ||
        !::GetFileVersionInfoA(szPath, 0, static_cast<DWORD>(block.size()), block.data()))
        block.clear();
    return block;
}

TEST(Resources, IconGroupHas32x32In16ColoursAnd16x16In256)
{
    const auto* pDir =
        reinterpret_cast<const GroupIconDir*>(ResourceBytes(IDR_MAINFRAME, RT_GROUP_ICON));
    ASSERT_NE(pDir, nullptr);
    ASSERT_EQ(pDir->idType, 1);
    ASSERT_EQ(pDir->idCount, 2);
    const GroupIconEntry& big = pDir->entries[0];
    const GroupIconEntry& small = (&pDir->entries[0])[1];
    EXPECT_EQ(big.bWidth, 32);
    EXPECT_EQ(big.bHeight, 32);
    EXPECT_EQ(big.wBitCount, 4);
    EXPECT_EQ(small.bWidth, 16);
    EXPECT_EQ(small.bHeight, 16);
    EXPECT_EQ(small.wBitCount, 8);
    EXPECT_NE(LoadModuleIcon(IDR_MAINFRAME), nullptr);
}

TEST(Resources, HandCursorIsMonochrome32x32WithTheFingertipAsHotSpot)
{
    const auto* pDir =
        reinterpret_cast<const GroupIconDir*>(ResourceBytes(IDC_HAND_CURSOR, RT_GROUP_CURSOR));
    ASSERT_NE(pDir, nullptr);
    ASSERT_EQ(pDir->idType, 2);
    ASSERT_EQ(pDir->idCount, 1);
    // A cursor group entry holds width and height as words, the height doubled for the mask.
    WORD nWidth = 0;
    WORD nHeight = 0;
    std::memcpy(&nWidth, &pDir->entries[0].bWidth, sizeof nWidth);
    std::memcpy(&nHeight, &pDir->entries[0].bColorCount, sizeof nHeight);
    EXPECT_EQ(nWidth, 32);
    EXPECT_EQ(nHeight, 64);
    EXPECT_EQ(pDir->entries[0].wBitCount, 1);

    const HCURSOR hCursor = LoadModuleCursor(IDC_HAND_CURSOR);
    ASSERT_NE(hCursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(hCursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 0u);
    if (info.hbmColor != nullptr)
        ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

TEST(Resources, BitmapsHaveTheirSizesAndDepths)
{
    const BITMAPINFOHEADER* pStrip = BitmapHeader(IDB_RESULT_IMAGES);
    ASSERT_NE(pStrip, nullptr);
    EXPECT_EQ(pStrip->biWidth, 128);
    EXPECT_EQ(pStrip->biHeight, 15);
    EXPECT_EQ(pStrip->biBitCount, 4);

    const BITMAPINFOHEADER* pBanner = BitmapHeader(IDB_BANNER);
    ASSERT_NE(pBanner, nullptr);
    EXPECT_EQ(pBanner->biWidth, 609);
    EXPECT_EQ(pBanner->biHeight, 106);
    EXPECT_EQ(pBanner->biBitCount, 24);
}

TEST(Resources, ImageStripHoldsCardRedDownBlueRightAndFiveEmptyImages)
{
    const BITMAPINFOHEADER* pStrip = BitmapHeader(IDB_RESULT_IMAGES);
    ASSERT_NE(pStrip, nullptr);
    const COLORREF clrMask = RGB(0, 128, 128);
    EXPECT_LT(CountPixels(pStrip, 0, clrMask), 16 * 15 / 2) << "adapter card";
    EXPECT_GT(CountPixels(pStrip, 1, RGB(255, 0, 0)), 10) << "red triangle";
    EXPECT_EQ(CountPixels(pStrip, 1, RGB(0, 0, 255)), 0);
    EXPECT_GT(CountPixels(pStrip, 2, RGB(0, 0, 255)), 10) << "blue triangle";
    EXPECT_EQ(CountPixels(pStrip, 2, RGB(255, 0, 0)), 0);
    for (int nImage = 3; nImage < 8; ++nImage)
        EXPECT_EQ(CountPixels(pStrip, nImage, clrMask), 16 * 15) << "image " << nImage;

    CImageList images;
    ASSERT_TRUE(images.Create(IDB_RESULT_IMAGES, 16, 1, clrMask));
    EXPECT_EQ(images.GetImageCount(), 8);
    int cx = 0;
    int cy = 0;
    ASSERT_TRUE(::ImageList_GetIconSize(images.GetSafeHandle(), &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 15);
}

TEST(Resources, AboutStringAndMissingString)
{
    EXPECT_EQ(LoadModuleString(IDS_ABOUTBOX), "&About Veyra...");
    EXPECT_EQ(LoadModuleString(4711), "");
}

TEST(Resources, PopupMenuHasItsFiveItemsInOrder)
{
    const HMENU hMenu = LoadModuleMenu(IDR_POPUP_MENU);
    ASSERT_NE(hMenu, nullptr);
    const HMENU hPopup = ::GetSubMenu(hMenu, 0);
    ASSERT_NE(hPopup, nullptr);
    ExpectPopupMenuItems(hPopup);
    ::DestroyMenu(hMenu);
}

TEST(Resources, VersionRecordFixedPartAndStrings)
{
    const std::vector<BYTE> block = OwnVersionBlock();
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT nLength = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&pFixed), &nLength));
    EXPECT_EQ(pFixed->dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(pFixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(pFixed->dwProductVersionMS, 0x00010002u);
    EXPECT_EQ(pFixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(pFixed->dwFileFlags & pFixed->dwFileFlagsMask,
              static_cast<DWORD>(VS_FF_PRIVATEBUILD | VS_FF_SPECIALBUILD));
    EXPECT_EQ(pFixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(pFixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* pTranslation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&pTranslation), &nLength));
    ASSERT_EQ(nLength, 4u);
    EXPECT_EQ(pTranslation[0], 0x0409);
    EXPECT_EQ(pTranslation[1], 1200);

    const struct
    {
        const char* pszName;
        const char* pszValue;
    } strings[] = {{"Comments", "Veyra"},
                   {"CompanyName", "Veyra Software"},
                   {"FileDescription", "Veyra"},
                   {"FileVersion", "1, 2, 0, 1"},
                   {"InternalName", "Veyra"},
                   {"LegalTrademarks", "Veyra is a trademark of Veyra Software"},
                   {"OriginalFilename", "Veyra.EXE"},
                   {"PrivateBuild", "1, 2, 0, 1"},
                   {"ProductName", "Veyra Application"},
                   {"ProductVersion", "1, 2, 0, 1"},
                   {"SpecialBuild", "1, 2, 0, 1"}};
    for (const auto& entry : strings)
        EXPECT_EQ(VersionString(block, entry.pszName), entry.pszValue) << entry.pszName;

    wchar_t* pszCopyright = nullptr;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\LegalCopyright",
                                 reinterpret_cast<void**>(&pszCopyright), &nLength));
    EXPECT_EQ(std::wstring(pszCopyright), L"Copyright \u00A9 2026 Veyra Software");
}

TEST(Resources, ManifestAsksForCommonControls6AndDeclaresDpiAndSystems)
{
    DWORD dwSize = 0;
    const BYTE* pBytes = ResourceBytes(1, RT_MANIFEST, &dwSize);
    ASSERT_NE(pBytes, nullptr);
    const std::string strManifest(reinterpret_cast<const char*>(pBytes), dwSize);
    for (const char* pszPart :
         {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "<dpiAware",
          "35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
          "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(strManifest.find(pszPart), std::string::npos) << pszPart;

    // The manifest is in force: the common controls come from their version 6
    // side-by-side assembly, whose buttons know their ideal size.
    char szPath[MAX_PATH] = {};
    ::GetModuleFileNameA(::GetModuleHandleA("comctl32.dll"), szPath, MAX_PATH);
    std::string strPath = szPath;
    for (char& ch : strPath)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_NE(strPath.find("microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::string::npos)
        << szPath;
    CModelessTemplate dialog(IDD_QUERY_DIALOG);
    SIZE ideal{};
    EXPECT_TRUE(::SendMessageA(dialog.Item(IDC_SEND_REQUEST), BCM_GETIDEALSIZE, 0,
                               reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 0);
}

struct ExpectedItem
{
    const char* pszClass;
    int nID;
    const wchar_t* pszText; // null: an ordinal
    WORD nTextOrdinal;
    DWORD dwStyle; // beyond WS_CHILD | WS_VISIBLE
    RECT rcUnits;
};

void ExpectItems(const CDialogTemplate& dialog, const std::vector<ExpectedItem>& expected)
{
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (size_t n = 0; n < expected.size(); ++n)
    {
        const CTemplateItem& item = dialog.items[n];
        const ExpectedItem& want = expected[n];
        EXPECT_EQ(_stricmp(item.strClass.c_str(), want.pszClass), 0) << item.strClass;
        EXPECT_EQ(item.nID, want.nID) << n;
        if (want.pszText != nullptr)
        {
            EXPECT_EQ(item.strText, want.pszText) << n;
        }
        EXPECT_EQ(item.nTextOrdinal, want.nTextOrdinal) << n;
        EXPECT_EQ(item.dwStyle, want.dwStyle | WS_CHILD | WS_VISIBLE) << n;
        EXPECT_EQ(item.dwExStyle, 0u) << n;
        EXPECT_EQ(item.rcUnits.left, want.rcUnits.left) << n;
        EXPECT_EQ(item.rcUnits.top, want.rcUnits.top) << n;
        EXPECT_EQ(item.rcUnits.right, want.rcUnits.right) << n;
        EXPECT_EQ(item.rcUnits.bottom, want.rcUnits.bottom) << n;
    }
}

TEST(Resources, AboutTemplateHasItsFiveControlsInOrder)
{
    CDialogTemplate dialog;
    ASSERT_TRUE(LoadDialogTemplate(IDD_ABOUTBOX, dialog));
    EXPECT_EQ(dialog.dwStyle, 0x80C800C0u);
    EXPECT_EQ(dialog.dwExStyle, 0u);
    EXPECT_EQ(dialog.strCaption, L"About Veyra");
    EXPECT_EQ(dialog.nPointSize, 8);
    EXPECT_EQ(dialog.strFace, L"MS Sans Serif");
    EXPECT_EQ(dialog.rcUnits.left, 0);
    EXPECT_EQ(dialog.rcUnits.top, 0);
    EXPECT_EQ(dialog.rcUnits.right, 248);
    EXPECT_EQ(dialog.rcUnits.bottom, 73);
    ExpectItems(
        dialog,
        {{"Static", -1, nullptr, IDR_MAINFRAME, SS_ICON, {11, 17, 20, 20}},
         {"Static",
          IDC_ABOUT_VERSION,
          L"Veyra Version 1.2",
          0,
          SS_LEFT | SS_NOPREFIX | WS_GROUP,
          {39, 17, 119, 8}},
         {"Static",
          IDC_ABOUT_NOTICE,
          L"Copyright \u00A9 2026 Veyra Software",
          0,
          SS_LEFT | WS_GROUP,
          {39, 33, 119, 8}},
         {"Button", IDOK, L"OK", 0, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, {191, 7, 50, 14}},
         {"Static",
          IDC_ABOUT_ADDRESS,
          L"https://www.veyra.example/",
          0,
          SS_LEFT | WS_GROUP,
          {39, 49, 119, 8}}});
}

const DWORD kListStyle =
    LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_BORDER | WS_TABSTOP;

TEST(Resources, MainTemplateHasItsEightControlsInOrder)
{
    CDialogTemplate dialog;
    ASSERT_TRUE(LoadDialogTemplate(IDD_QUERY_DIALOG, dialog));
    EXPECT_EQ(dialog.dwStyle, static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | WS_POPUP |
                                                 WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_EQ(dialog.dwExStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(dialog.strCaption, L"Veyra");
    EXPECT_EQ(dialog.nPointSize, 8);
    EXPECT_EQ(dialog.strFace, L"MS Sans Serif");
    EXPECT_EQ(dialog.rcUnits.right, 423);
    EXPECT_EQ(dialog.rcUnits.bottom, 379);
    ExpectItems(
        dialog,
        {{"Button",
          IDC_SEND_REQUEST,
          L"Send DHCP Request",
          0,
          BS_DEFPUSHBUTTON | WS_TABSTOP,
          {334, 101, 78, 14}},
         {"SysListView32", IDC_RESULT_LIST, L"", 0, kListStyle, {7, 118, 407, 254}},
         {"Static", -1, L"Select Adapter From List:", 0, SS_LEFT | WS_GROUP, {14, 104, 80, 8}},
         {"ComboBox",
          IDC_ADAPTER_COMBO,
          L"",
          0,
          CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
          {99, 102, 142, 96}},
         {"Static", IDC_ADVERT_TITLE, L"Veyra LeaseWatch", 0, SS_CENTER, {156, 75, 111, 8}},
         {"Static", IDC_ADVERT_TEXT, nullptr, 0, SS_LEFT, {10, 86, 334, 8}},
         {"Button",
          IDC_DOWNLOAD,
          L"Download Here",
          0,
          BS_PUSHBUTTON | WS_TABSTOP,
          {347, 83, 65, 14}},
         {"Static",
          IDC_BANNER,
          nullptr,
          IDB_BANNER,
          SS_BITMAP | SS_NOTIFY | SS_SUNKEN,
          {7, 7, 407, 67}}});
}

TEST(Resources, MainTemplateCreatesItsControlsWithTheirClassesAndStyles)
{
    CModelessTemplate dialog(IDD_QUERY_DIALOG);
    ASSERT_NE(dialog.m_hDlg, nullptr);
    const struct
    {
        int nID;
        const char* pszClass;
        DWORD dwStyle;
    } expected[] = {
        {IDC_SEND_REQUEST, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP},
        // The list view shows WS_BORDER as a client edge; the combo box hands
        // WS_VSCROLL to its drop-down list.
        {IDC_RESULT_LIST, "SysListView32", kListStyle & ~static_cast<DWORD>(WS_BORDER)},
        {-1, "Static", SS_LEFT | WS_GROUP},
        {IDC_ADAPTER_COMBO, "ComboBox", CBS_DROPDOWNLIST | WS_TABSTOP},
        {IDC_ADVERT_TITLE, "Static", SS_CENTER},
        {IDC_ADVERT_TEXT, "Static", SS_LEFT},
        {IDC_DOWNLOAD, "Button", BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_BANNER, "Static", SS_BITMAP | SS_NOTIFY | SS_SUNKEN},
    };
    HWND hChild = ::GetWindow(dialog.m_hDlg, GW_CHILD);
    for (const auto& want : expected)
    {
        ASSERT_NE(hChild, nullptr) << want.nID;
        char szClass[64] = {};
        ::GetClassNameA(hChild, szClass, sizeof szClass);
        EXPECT_STREQ(szClass, want.pszClass) << want.nID;
        EXPECT_EQ(::GetDlgCtrlID(hChild), want.nID);
        const auto dwStyle = static_cast<DWORD>(::GetWindowLongA(hChild, GWL_STYLE));
        EXPECT_EQ(dwStyle & want.dwStyle, want.dwStyle) << want.nID;
        hChild = ::GetWindow(hChild, GW_HWNDNEXT);
    }
    EXPECT_EQ(hChild, nullptr);
    const HWND hList = dialog.Item(IDC_RESULT_LIST);
    EXPECT_TRUE((::GetWindowLongA(hList, GWL_STYLE) & WS_BORDER) ||
                (::GetWindowLongA(hList, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
    char szCaption[16] = {};
    ::GetWindowTextA(dialog.m_hDlg, szCaption, sizeof szCaption);
    EXPECT_STREQ(szCaption, "Veyra");
}

TEST(Resources, AdvertisementFitsItsLine)
{
    CModelessTemplate dialog(IDD_QUERY_DIALOG);
    ASSERT_NE(dialog.m_hDlg, nullptr);
    for (const int nID : {IDC_ADVERT_TITLE, IDC_ADVERT_TEXT})
    {
        const HWND hText = dialog.Item(nID);
        char szText[256] = {};
        const int nLength = ::GetWindowTextA(hText, szText, sizeof szText);
        const HDC hDC = ::GetDC(hText);
        const HGDIOBJ hOld =
            ::SelectObject(hDC, reinterpret_cast<HFONT>(::SendMessageA(hText, WM_GETFONT, 0, 0)));
        SIZE extent{};
        ::GetTextExtentPoint32A(hDC, szText, nLength, &extent);
        ::SelectObject(hDC, hOld);
        ::ReleaseDC(hText, hDC);
        RECT rcClient;
        ::GetClientRect(hText, &rcClient);
        EXPECT_LE(extent.cx, rcClient.right) << szText;
    }
}

// The dialog object owns the results list's image list; the list view must not
// destroy it with its window.
TEST(Resources, ResultListLeavesItsImageListAlive)
{
    CImageList images;
    ASSERT_TRUE(images.Create(IDB_RESULT_IMAGES, 16, 1, RGB(0, 128, 128)));
    {
        CModelessTemplate dialog(IDD_QUERY_DIALOG);
        ASSERT_NE(dialog.m_hDlg, nullptr);
        ::SendMessageA(dialog.Item(IDC_RESULT_LIST), LVM_SETIMAGELIST, LVSIL_SMALL,
                       reinterpret_cast<LPARAM>(images.GetSafeHandle()));
    }
    EXPECT_EQ(images.GetImageCount(), 8);
}
} // namespace
