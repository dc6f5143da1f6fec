#include "app/cli/discover_command.h"

#include "app/cli/discover_output.h"
#include "app/cli/exit_status.h"
#include "app/cli/text_columns.h"
#include "platform/system_error_text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace
{
// Long enough for any server on any link; a discovery is a moment's check.
constexpr std::chrono::milliseconds kMaxWait(600000);

bool ParseWait(const std::string& strText, std::chrono::milliseconds& wait)
{
    // Seconds with up to three decimals: "3", "0.5", "1.25".
    std::int64_t nMs = 0;
    std::size_t nAt = 0;
    for (; nAt < strText.size() && std::isdigit(static_cast<unsigned char>(strText[nAt])); ++nAt)
    {
        nMs = nMs * 10 + (strText[nAt] - '0');
        if (nMs > kMaxWait.count())
            return false;
    }
    if (nAt == 0)
        return false;
    nMs *= 1000;
    if (nAt < strText.size() && strText[nAt] == '.')
    {
        std::int64_t nScale = 100;
        for (++nAt; nAt < strText.size() && nScale > 0 &&
                    std::isdigit(static_cast<unsigned char>(strText[nAt]));
             ++nAt, nScale /= 10)
            nMs += (strText[nAt] - '0') * nScale;
    }
    if (nAt != strText.size() || nMs == 0 || nMs > kMaxWait.count())
        return false;
    wait = std::chrono::milliseconds(nMs);
    return true;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// "02:00:00:77:00:02" or with dashes.
bool ParseMac(const std::string& strText, HardwareAddress& address)
{
    if (strText.size() != 17)
        return false;
    for (std::size_t i = 0; i < address.size(); ++i)
    {
        const int nHigh = HexValue(strText[3 * i]);
        const int nLow = HexValue(strText[3 * i + 1]);
        if (nHigh < 0 || nLow < 0 ||
            (i < 5 && strText[3 * i + 2] != ':' && strText[3 * i + 2] != '-'))
            return false;
        address[i] = static_cast<std::uint8_t>(nHigh << 4 | nLow);
    }
    return true;
}

bool ParseAddress(const std::string& strText, std::uint32_t& nAddress)
{
    nAddress = 0;
    std::size_t nAt = 0;
    for (int nPart = 0; nPart < 4; ++nPart)
    {
        if (nPart > 0 && (nAt >= strText.size() || strText[nAt++] != '.'))
            return false;
        std::uint32_t nValue = 0;
        std::size_t nDigits = 0;
        for (; nAt < strText.size() && std::isdigit(static_cast<unsigned char>(strText[nAt]));
             ++nAt, ++nDigits)
        {
            nValue = nValue * 10 + static_cast<std::uint32_t>(strText[nAt] - '0');
            if (nDigits == 3 || nValue > 255)
                return false;
        }
        if (nDigits == 0)
            return false;
        nAddress = nAddress << 8 | nValue;
    }
    return nAt == strText.size();
}

std::string SystemText(int nError)
{
    CString strText;
    DWORD dwLookupError = 0;
    return LookupSystemErrorText(static_cast<DWORD>(nError), strText, dwLookupError)
               ? std::string(strText)
               : "error " + std::to_string(nError);
}

DiscoverOutcome Failure(int nError, const std::string& strInterface)
{
    DiscoverOutcome outcome;
    switch (nError)
    {
    case EPERM:
    case EACCES:
        outcome.m_strErr = "veyra: --discover needs root or CAP_NET_RAW\n";
        outcome.m_nStatus = kExitNoPermission;
        break;
    case ENODEV:
        outcome.m_strErr = NoSuchAdapterText(strInterface);
        outcome.m_nStatus = kExitNoAdapter;
        break;
    case ENOENT:
        outcome.m_strErr =
            "veyra: " + TerminalSafe(strInterface) + " is not an Ethernet interface\n";
        outcome.m_nStatus = kExitFailed;
        break;
    default:
        outcome.m_strErr = "veyra: discovery on " + TerminalSafe(strInterface) +
                           " failed: " + SystemText(nError) + "\n";
        outcome.m_nStatus = kExitFailed;
        break;
    }
    return outcome;
}
} // namespace

bool AsksForDiscovery(const std::vector<std::string>& arguments)
{
    return std::find(arguments.begin(), arguments.end(), "--discover") != arguments.end();
}

std::string ParseDiscoverCommand(const std::vector<std::string>& arguments,
                                 DiscoverCommand& command)
{
    command = DiscoverCommand();
    bool bInterfaceGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& strOption = arguments[i];
        const bool bTakesValue = strOption == "--discover" || strOption == "--wait" ||
                                 strOption == "--client-mac" || strOption == "--expect";
        if (bTakesValue && i + 1 == arguments.size())
            return strOption + " needs a value";
        const std::string strValue = bTakesValue ? arguments[++i] : std::string();
        if (strOption == "--discover")
        {
            if (bInterfaceGiven)
                return "give one interface to --discover";
            if (strValue.empty())
                return "--discover needs an interface name";
            command.m_strInterface = strValue;
            bInterfaceGiven = true;
        }
        else if (strOption == "--wait")
        {
            if (!ParseWait(strValue, command.m_wait))
                return "--wait takes seconds, more than 0 and at most 600";
        }
        else if (strOption == "--client-mac")
        {
            HardwareAddress address{};
            if (strValue == "random")
                command.m_bRandomClientMac = true;
            else if (!ParseMac(strValue, address) || !IsLocallyAdministeredUnicast(address))
                return "--client-mac takes \"random\" or a locally administered unicast address "
                       "(second hex digit 2, 6, A or E), so that no device's lease is asked for";
            else
                command.m_ClientMac = address;
        }
        else if (strOption == "--expect")
        {
            std::uint32_t nAddress = 0;
            if (!ParseAddress(strValue, nAddress))
                return "--expect takes a server identifier, an IPv4 address";
            command.m_nExpectedServer = nAddress;
        }
        else if (strOption == "--all")
        {
            command.m_bAll = true;
        }
        else if (strOption == "--json")
        {
            command.m_bJson = true;
        }
        else
        {
            return "--discover does not take " + strOption;
        }
    }
    return std::string();
}

DiscoverOutcome RunDiscover(const DiscoverCommand& command, const DiscoverBackEnd& backEnd,
                            const std::function<void(const std::string&)>& fnProgress)
{
    DiscoverySettings settings;
    settings.m_strInterface = command.m_strInterface;
    settings.m_wait = command.m_wait;
    settings.m_ClientMac = command.m_ClientMac;
    if (command.m_bRandomClientMac)
    {
        HardwareAddress address{};
        if (const int nError = backEnd.m_fnRandomMac(address))
            return Failure(nError, command.m_strInterface);
        settings.m_ClientMac = address;
    }

    fnProgress("Discovering DHCP servers on " + TerminalSafe(command.m_strInterface) + " for " +
               WaitText(command.m_wait) + "...\n");
    DiscoveryResult result;
    if (const int nError = backEnd.m_fnDiscover(settings, result))
        return Failure(nError, command.m_strInterface);

    DiscoverOutcome outcome;
    outcome.m_strOut = command.m_bJson ? FormatDiscoveryJson(command.m_strInterface, command.m_wait,
                                                             result, command.m_bAll)
                                       : FormatDiscoveryText(result, command.m_bAll);
    const DiscoveryVerdict verdict =
        JudgeDiscovery(command.m_strInterface, command.m_wait, result, command.m_nExpectedServer);
    outcome.m_strErr = DiscoveryCountsText(result) + verdict.m_strMessage;
    outcome.m_nStatus = verdict.m_nStatus;
    return outcome;
}
