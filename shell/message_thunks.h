// The thunks of message-map entries: one small function per handler, made by a
// template from the handler's member pointer. Each unpacks the message's
// parameters, calls the handler with the types it declares and turns its answer
// into the message's result. A handler with another signature does not compile.
#pragma once

#include "platform/platform_types.h"

#include <type_traits>

class CCmdTarget;
class CWnd;

using MessageThunk = LRESULT (*)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);

// Our object for a window, or null when the window is none of ours.
CWnd* WndFromHandle(HWND hWnd);

namespace MessageThunks
{
// Names the class of a member function pointer whose function type is Signature;
// any other function type leaves Class undefined, so the map entry fails to compile.
template <class Signature, class MemberPointer> struct HandlerOf;
template <class Signature, class C> struct HandlerOf<Signature, Signature C::*>
{
    using Class = C;
};

template <class Signature, class T, auto pfn> constexpr bool HasSignature()
{
    using Class = typename HandlerOf<Signature, decltype(pfn)>::Class;
    return std::is_base_of_v<Class, T>;
}

inline POINT PointOf(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

template <class T, auto pfn> LRESULT Command(CCmdTarget& target, WPARAM, LPARAM)
{
    static_assert(HasSignature<void(), T, pfn>());
    (static_cast<T&>(target).*pfn)();
    return 0;
}

template <class T, auto pfn> LRESULT Notify(CCmdTarget& target, WPARAM, LPARAM lParam)
{
    static_assert(HasSignature<void(NMHDR*, LRESULT*), T, pfn>());
    LRESULT lResult = 0;
    (static_cast<T&>(target).*pfn)(reinterpret_cast<NMHDR*>(lParam), &lResult);
    return lResult;
}

// wParam: the device context; lParam: the CTLCOLOR_xxx kind of control.
template <class T, auto pfn> LRESULT CtlColor(CCmdTarget& target, WPARAM wParam, LPARAM lParam)
{
    static_assert(HasSignature<HBRUSH(HDC, UINT), T, pfn>());
    return reinterpret_cast<LRESULT>(
        (static_cast<T&>(target).*pfn)(reinterpret_cast<HDC>(wParam), static_cast<UINT>(lParam)));
}

template <class T, auto pfn> LRESULT SysCommand(CCmdTarget& target, WPARAM wParam, LPARAM lParam)
{
    static_assert(HasSignature<void(UINT, LPARAM), T, pfn>());
    (static_cast<T&>(target).*pfn)(static_cast<UINT>(wParam), lParam);
    return 0;
}

template <class T, auto pfn> LRESULT Paint(CCmdTarget& target, WPARAM, LPARAM)
{
    static_assert(HasSignature<void(), T, pfn>());
    (static_cast<T&>(target).*pfn)();
    return 0;
}

template <class T, auto pfn> LRESULT QueryDragIcon(CCmdTarget& target, WPARAM, LPARAM)
{
    static_assert(HasSignature<HCURSOR(), T, pfn>());
    return reinterpret_cast<LRESULT>((static_cast<T&>(target).*pfn)());
}

template <class T, auto pfn> LRESULT SetCursor(CCmdTarget& target, WPARAM wParam, LPARAM lParam)
{
    static_assert(HasSignature<BOOL(CWnd*, UINT, UINT), T, pfn>());
    return (static_cast<T&>(target).*pfn)(WndFromHandle(reinterpret_cast<HWND>(wParam)),
                                          LOWORD(lParam), HIWORD(lParam));
}

template <class T, auto pfn> LRESULT NcHitTest(CCmdTarget& target, WPARAM, LPARAM lParam)
{
    static_assert(HasSignature<LRESULT(POINT), T, pfn>());
    return (static_cast<T&>(target).*pfn)(PointOf(lParam));
}

template <class T, auto pfn> LRESULT LButtonDown(CCmdTarget& target, WPARAM wParam, LPARAM lParam)
{
    static_assert(HasSignature<void(UINT, POINT), T, pfn>());
    (static_cast<T&>(target).*pfn)(static_cast<UINT>(wParam), PointOf(lParam));
    return 0;
}

template <class T, auto pfn> LRESULT HelpInfo(CCmdTarget& target, WPARAM, LPARAM lParam)
{
    static_assert(HasSignature<BOOL(HELPINFO*), T, pfn>());
    return (static_cast<T&>(target).*pfn)(reinterpret_cast<HELPINFO*>(lParam));
}
} // namespace MessageThunks
