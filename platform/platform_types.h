// The platform's record layouts and error codes, one declaration for both systems.
//
// On Windows the real SDK headers are used. Elsewhere this header declares the
// same records with their published field names and array sizes, so that the
// inventory and request code is a single code path that is also tested natively.
#pragma once

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// Order matters: winsock2.h before windows.h, and both before the API headers.
#include <winsock2.h>

#include <windows.h>

#include <dhcpcsdk.h>
#include <iphlpapi.h>

#else

#include <cstdint>
#include <ctime>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using UINT = std::uint32_t;
using BOOL = std::int32_t;
using WCHAR = char16_t;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using PULONG = ULONG*;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPVOID = void*;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// System error codes (winerror.h).
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD NO_ERROR = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_DATA = 13;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_BUFFER_OVERFLOW = 111;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_NO_DATA = 232;

// iptypes.h
constexpr int MAX_ADAPTER_DESCRIPTION_LENGTH = 128;
constexpr int MAX_ADAPTER_NAME_LENGTH = 256;
constexpr int MAX_ADAPTER_ADDRESS_LENGTH = 8;

struct IP_ADDRESS_STRING
{
    char String[4 * 4];
};
using IP_MASK_STRING = IP_ADDRESS_STRING;

struct IP_ADDR_STRING
{
    IP_ADDR_STRING* Next;
    IP_ADDRESS_STRING IpAddress;
    IP_MASK_STRING IpMask;
    DWORD Context;
};
using PIP_ADDR_STRING = IP_ADDR_STRING*;

struct IP_ADAPTER_INFO
{
    IP_ADAPTER_INFO* Next;
    DWORD ComboIndex;
    char AdapterName[MAX_ADAPTER_NAME_LENGTH + 4];
    char Description[MAX_ADAPTER_DESCRIPTION_LENGTH + 4];
    UINT AddressLength;
    BYTE Address[MAX_ADAPTER_ADDRESS_LENGTH];
    DWORD Index;
    UINT Type;
    UINT DhcpEnabled;
    PIP_ADDR_STRING CurrentIpAddress;
    IP_ADDR_STRING IpAddressList;
    IP_ADDR_STRING GatewayList;
    IP_ADDR_STRING DhcpServer;
    BOOL HaveWins;
    IP_ADDR_STRING PrimaryWinsServer;
    IP_ADDR_STRING SecondaryWinsServer;
    std::time_t LeaseObtained;
    std::time_t LeaseExpires;
};
using PIP_ADAPTER_INFO = IP_ADAPTER_INFO*;

struct IP_PER_ADAPTER_INFO
{
    UINT AutoconfigEnabled;
    UINT AutoconfigActive;
    PIP_ADDR_STRING CurrentDnsServer;
    IP_ADDR_STRING DnsServerList;
};
using PIP_PER_ADAPTER_INFO = IP_PER_ADAPTER_INFO*;

// dhcpcsdk.h
constexpr DWORD DHCPCAPI_REQUEST_PERSISTENT = 0x01;
constexpr DWORD DHCPCAPI_REQUEST_SYNCHRONOUS = 0x02;

struct DHCPCAPI_PARAMS
{
    ULONG Flags;
    ULONG OptionId;
    BOOL IsVendor;
    LPBYTE Data;
    DWORD nBytesData;
};
using LPDHCPCAPI_PARAMS = DHCPCAPI_PARAMS*;

struct DHCPCAPI_PARAMS_ARRAY
{
    ULONG nParams;
    LPDHCPCAPI_PARAMS Params;
};

struct DHCPCAPI_CLASSID
{
    ULONG Flags;
    LPBYTE Data;
    ULONG nBytesData;
};
using LPDHCPCAPI_CLASSID = DHCPCAPI_CLASSID*;

#endif
