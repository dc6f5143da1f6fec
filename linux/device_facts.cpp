#include "linux/device_facts.h"

#include "platform/bounded_file.h"

#include <climits>

#include <sys/stat.h>
#include <unistd.h>

namespace
{
// The value of the first line "E:<strKey>=value" of a udev database file.
std::string UdevProperty(const std::string& strData, const std::string& strKey)
{
    const std::string strPrefix = "E:" + strKey + "=";
    for (std::size_t nLine = 0; nLine < strData.size();)
    {
        std::size_t nEnd = strData.find('\n', nLine);
        if (nEnd == std::string::npos)
            nEnd = strData.size();
        if (nEnd - nLine >= strPrefix.size() &&
            strData.compare(nLine, strPrefix.size(), strPrefix) == 0)
            return PrintableText(
                strData.substr(nLine + strPrefix.size(), nEnd - nLine - strPrefix.size()));
        nLine = nEnd + 1;
    }
    return std::string();
}

std::string JoinWithSpace(const std::string& strFirst, const std::string& strSecond)
{
    if (strFirst.empty() || strSecond.empty())
        return strFirst + strSecond;
    return strFirst + " " + strSecond;
}

// The basename of the target of a symbolic link, or empty.
std::string LinkBasename(const std::string& strLink)
{
    char szTarget[PATH_MAX];
    const ssize_t nLength = readlink(strLink.c_str(), szTarget, sizeof szTarget);
    if (nLength <= 0 || static_cast<std::size_t>(nLength) >= sizeof szTarget)
        return std::string();
    const std::string strTarget(szTarget, static_cast<std::size_t>(nLength));
    return PrintableText(strTarget.substr(strTarget.rfind('/') + 1));
}

// True when a line of the text is exactly strLine.
bool HasLine(const std::string& strText, const std::string& strLine)
{
    for (std::size_t nAt = strText.find(strLine); nAt != std::string::npos;
         nAt = strText.find(strLine, nAt + 1))
    {
        const std::size_t nEnd = nAt + strLine.size();
        if ((nAt == 0 || strText[nAt - 1] == '\n') &&
            (nEnd == strText.size() || strText[nEnd] == '\n'))
            return true;
    }
    return false;
}
} // namespace

DeviceFacts ReadDeviceFacts(const LinuxPaths& paths, const NetlinkInterface& link)
{
    DeviceFacts facts;
    std::string strData;
    if (ReadBoundedFile(paths.m_strRun + "/udev/data/n" + std::to_string(link.m_nIndex),
                        kMaxFileBytes, SymbolicLinks::Follow, strData) == 0)
        facts.m_strUdevName = UdevDescription(strData);

    if (!IsPathComponent(link.m_strName))
        return facts;
    const std::string strDevice = paths.m_strSys + "/class/net/" + link.m_strName;
    // Every sysfs lookup costs, most on a fresh mount such as ip netns exec
    // makes; an interface on no device has no device/driver link to look up.
    if (link.m_bParentDevice.value_or(true))
        facts.m_strDriver = LinkBasename(strDevice + "/device/driver");
    struct stat status;
    facts.m_bWireless = stat((strDevice + "/wireless").c_str(), &status) == 0;
    std::string strUevent;
    if (!facts.m_bWireless && !facts.m_strDriver.empty() &&
        ReadBoundedFile(strDevice + "/uevent", kMaxFileBytes, SymbolicLinks::Follow, strUevent) ==
            0)
        facts.m_bWireless = HasLine(strUevent, "DEVTYPE=wlan");
    return facts;
}

std::string DescribeInterface(const DeviceFacts& facts, const NetlinkInterface& link)
{
    if (!facts.m_strUdevName.empty())
        return facts.m_strUdevName;
    std::string strAlias = PrintableText(link.m_strAlias);
    if (!strAlias.empty())
        return strAlias;
    const std::string strKind = PrintableText(link.m_strKind);
    std::string strDriverAndKind =
        facts.m_strDriver == strKind ? strKind : JoinWithSpace(facts.m_strDriver, strKind);
    if (!strDriverAndKind.empty())
        return strDriverAndKind;
    return PrintableText(link.m_strName);
}

std::string UdevDescription(const std::string& strData)
{
    return JoinWithSpace(UdevProperty(strData, "ID_VENDOR_FROM_DATABASE"),
                         UdevProperty(strData, "ID_MODEL_FROM_DATABASE"));
}

std::string PrintableText(const std::string& strText)
{
    std::string strPrintable = strText;
    for (char& c : strPrintable)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    const std::size_t nFirst = strPrintable.find_first_not_of(' ');
    if (nFirst == std::string::npos)
        return std::string();
    return strPrintable.substr(nFirst, strPrintable.find_last_not_of(' ') - nFirst + 1);
}

bool IsPathComponent(const std::string& strName)
{
    return !strName.empty() && strName != "." && strName != ".." &&
           strName.find_first_of(std::string("/\0", 2)) == std::string::npos;
}
