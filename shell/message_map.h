// Message maps: each class that handles window messages keeps one static table
// of entries, chained to its base class's table. An entry names the message (and
// for commands and notifications the code and control id) and holds a thunk, a
// small function made by a template from the handler's member pointer, which
// unpacks the message's parameters and calls the handler with its own types.
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_SYSCOMMAND()
//       ON_BN_CLICKED(IDC_APPLY, OnApply)
//   END_MESSAGE_MAP()
#pragma once

#include "shell/message_thunks.h"

// A parent's WM_CTLCOLORxxx request handed to the control it is about
// (ON_WM_CTLCOLOR_REFLECT). Never sent as a real message.
constexpr UINT WM_REFLECT_CTLCOLOR = 0xBC00 + WM_CTLCOLORSTATIC;

struct CMessageMapEntry
{
    UINT nMessage; // WM_xxx; WM_COMMAND for commands and control notifications; 0 ends the map
    UINT nCode;    // notification code of WM_COMMAND and WM_NOTIFY entries, else 0
    UINT nID;      // command or control id of WM_COMMAND and WM_NOTIFY entries, else 0
    MessageThunk pfnThunk;
};

struct CMessageMap
{
    const CMessageMap* (*pfnGetBaseMap)(); // null for the root of the chain
    const CMessageMapEntry* pEntries;
};

// Root of every class with a message map.
class CCmdTarget
{
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    virtual const CMessageMap* GetMessageMap() const;

    // The first entry for the message along the map chain, most derived class first.
    const CMessageMapEntry* FindEntry(UINT nMessage, UINT nCode, UINT nID) const;

    // Calls the handler of a command (menu item, accelerator or control notification).
    bool OnCmdMsg(UINT nID, UINT nCode);

protected:
    static const CMessageMap* GetThisMessageMap();
};

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const CMessageMap* GetThisMessageMap();                                                 \
                                                                                                   \
public:                                                                                            \
    const CMessageMap* GetMessageMap() const override;

// clang-format off
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const CMessageMap* theClass::GetMessageMap() const                              \
    {                                                                               \
        return GetThisMessageMap();                                                 \
    }                                                                               \
    const CMessageMap* theClass::GetThisMessageMap()                                \
    {                                                                               \
        using ThisClass [[maybe_unused]] = theClass;                                \
        using TheBaseClass = baseClass;                                             \
        static const CMessageMapEntry s_entries[] = {

#define END_MESSAGE_MAP()                                                           \
            {0, 0, 0, nullptr}};                                                    \
        static const CMessageMap s_map = {&TheBaseClass::GetThisMessageMap, s_entries}; \
        return &s_map;                                                              \
    }
// clang-format on

// Commands: menu items and accelerators, and BN_CLICKED (whose code is also 0).
#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND, 0, static_cast<UINT>(id),                                                         \
     &MessageThunks::Command<ThisClass, &ThisClass::memberFxn>},
#define ON_BN_CLICKED(id, memberFxn)                                                               \
    {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id),                                                \
     &MessageThunks::Command<ThisClass, &ThisClass::memberFxn>},
#define ON_CBN_SELCHANGE(id, memberFxn)                                                            \
    {WM_COMMAND, CBN_SELCHANGE, static_cast<UINT>(id),                                             \
     &MessageThunks::Command<ThisClass, &ThisClass::memberFxn>},

// WM_NOTIFY from a control: void memberFxn(NMHDR* pNMHDR, LRESULT* pResult).
#define ON_NOTIFY(code, id, memberFxn)                                                             \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id),                                    \
     &MessageThunks::Notify<ThisClass, &ThisClass::memberFxn>},

// The parent's colour request for this control: HBRUSH CtlColor(HDC hDC, UINT nCtlColor).
#define ON_WM_CTLCOLOR_REFLECT()                                                                   \
    {WM_REFLECT_CTLCOLOR, 0, 0, &MessageThunks::CtlColor<ThisClass, &ThisClass::CtlColor>},

#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, 0, 0, &MessageThunks::SysCommand<ThisClass, &ThisClass::OnSysCommand>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, &MessageThunks::Paint<ThisClass, &ThisClass::OnPaint>},
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0, 0, &MessageThunks::QueryDragIcon<ThisClass, &ThisClass::OnQueryDragIcon>},
#define ON_WM_SETCURSOR()                                                                          \
    {WM_SETCURSOR, 0, 0, &MessageThunks::SetCursor<ThisClass, &ThisClass::OnSetCursor>},
#define ON_WM_NCHITTEST()                                                                          \
    {WM_NCHITTEST, 0, 0, &MessageThunks::NcHitTest<ThisClass, &ThisClass::OnNcHitTest>},
#define ON_WM_LBUTTONDOWN()                                                                        \
    {WM_LBUTTONDOWN, 0, 0, &MessageThunks::LButtonDown<ThisClass, &ThisClass::OnLButtonDown>},
#define ON_WM_HELPINFO()                                                                           \
    {WM_HELP, 0, 0, &MessageThunks::HelpInfo<ThisClass, &ThisClass::OnHelpInfo>},
