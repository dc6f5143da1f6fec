#include "tests/shell/dialog_template.h"

#include <cstring>

namespace
{
// Reads the template's fields in order, with the layout's alignment rules.
class CTemplateReader
{
public:
    explicit CTemplateReader(const BYTE* pBytes) : m_pBytes(pBytes) {}

    template <class T> T Read()
    {
        T value;
        std::memcpy(&value, m_pBytes + m_nOffset, sizeof value);
        m_nOffset += sizeof value;
        return value;
    }

    std::wstring ReadString()
    {
        std::wstring str;
        for (WCHAR ch = Read<WCHAR>(); ch != 0; ch = Read<WCHAR>())
            str += static_cast<wchar_t>(ch);
        return str;
    }

    // A name or ordinal: 0x0000 none, 0xFFFF then an ordinal, else a string.
    std::wstring ReadNameOrOrdinal(WORD& nOrdinal)
    {
        nOrdinal = 0;
        const WORD first = Read<WORD>();
        if (first == 0)
            return std::wstring();
        if (first == 0xFFFF)
        {
            nOrdinal = Read<WORD>();
            return std::wstring();
        }
        m_nOffset -= sizeof(WORD);
        return ReadString();
    }

    void AlignToDword() { m_nOffset = (m_nOffset + 3) & ~size_t{3}; }

private:
    const BYTE* m_pBytes;
    size_t m_nOffset = 0;
};

CString ClassName(const std::wstring& strName, WORD nOrdinal)
{
    static const char* const kPredefined[] = {"Button",  "Edit",      "Static",
                                              "ListBox", "ScrollBar", "ComboBox"};
    if (nOrdinal >= 0x80 && nOrdinal <= 0x85)
        return kPredefined[nOrdinal - 0x80];
    return CString(strName.begin(), strName.end());
}

RECT UnitsRect(CTemplateReader& reader)
{
    const short x = reader.Read<short>();
    const short y = reader.Read<short>();
    const short cx = reader.Read<short>();
    const short cy = reader.Read<short>();
    return RECT{x, y, cx, cy};
}
} // namespace

bool LoadDialogTemplate(UINT nID, CDialogTemplate& dialog)
{
    const HMODULE hModule = ::GetModuleHandleA(nullptr);
    const HRSRC hResource = ::FindResourceA(hModule, MAKEINTRESOURCEA(nID), RT_DIALOG);
    if (hResource == nullptr)
        return false;
    CTemplateReader reader(
        static_cast<const BYTE*>(::LockResource(::LoadResource(hModule, hResource))));
    if (reader.Read<WORD>() != 1 || reader.Read<WORD>() != 0xFFFF)
        return false;
    reader.Read<DWORD>(); // help id
    dialog.dwExStyle = reader.Read<DWORD>();
    dialog.dwStyle = reader.Read<DWORD>();
    const WORD nItems = reader.Read<WORD>();
    dialog.rcUnits = UnitsRect(reader);
    WORD nOrdinal = 0;
    reader.ReadNameOrOrdinal(nOrdinal); // menu
    reader.ReadNameOrOrdinal(nOrdinal); // window class
    dialog.strCaption = reader.ReadString();
    if (dialog.dwStyle & DS_SETFONT)
    {
        dialog.nPointSize = reader.Read<WORD>();
        reader.Read<WORD>(); // weight
        reader.Read<BYTE>(); // italic
        reader.Read<BYTE>(); // character set
        dialog.strFace = reader.ReadString();
    }
    for (WORD n = 0; n < nItems; ++n)
    {
        reader.AlignToDword();
        CTemplateItem item{};
        reader.Read<DWORD>(); // help id
        item.dwExStyle = reader.Read<DWORD>();
        item.dwStyle = reader.Read<DWORD>();
        item.rcUnits = UnitsRect(reader);
        item.nID = reader.Read<int>();
        const std::wstring strClass = reader.ReadNameOrOrdinal(nOrdinal);
        item.strClass = ClassName(strClass, nOrdinal);
        item.strText = reader.ReadNameOrOrdinal(item.nTextOrdinal);
        const WORD nExtra = reader.Read<WORD>();
        for (WORD i = 0; i < nExtra; ++i)
            reader.Read<BYTE>();
        dialog.items.push_back(item);
    }
    return true;
}

RECT DialogUnitsToClient(HWND hDlg, const RECT& rcUnits)
{
    RECT rc{rcUnits.left, rcUnits.top, rcUnits.left + rcUnits.right, rcUnits.top + rcUnits.bottom};
    ::MapDialogRect(hDlg, &rc);
    return rc;
}

RECT ChildRectInClient(HWND hDlg, HWND hChild)
{
    RECT rc;
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(HWND_DESKTOP, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}
