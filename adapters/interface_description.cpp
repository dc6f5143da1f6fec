#include "adapters/interface_description.h"

#include "adapters/adapter_type_table.h"
#include "adapters/bounded_file.h"

#include <climits>

#include <unistd.h>

namespace
{
// The value of the first line "<strKey>=value" of a udev database file.
std::string UdevProperty(const std::string& strData, const std::string& strKey)
{
    const std::string strPrefix = "E:" + strKey + "=";
    for (std::size_t nLine = 0; nLine < strData.size();)
    {
        std::size_t nEnd = strData.find('\n', nLine);
        if (nEnd == std::string::npos)
            nEnd = strData.size();
        if (strData.compare(nLine, strPrefix.size(), strPrefix) == 0 &&
            nEnd - nLine >= strPrefix.size())
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

// The basename of the device's driver link, or empty.
std::string DriverName(const LinuxPaths& paths, const std::string& strName)
{
    const std::string strLink = paths.m_strSys + "/class/net/" + strName + "/device/driver";
    char szTarget[PATH_MAX];
    const ssize_t nLength = readlink(strLink.c_str(), szTarget, sizeof szTarget);
    if (nLength <= 0 || static_cast<std::size_t>(nLength) >= sizeof szTarget)
        return std::string();
    const std::string strTarget(szTarget, static_cast<std::size_t>(nLength));
    return PrintableText(strTarget.substr(strTarget.rfind('/') + 1));
}
} // namespace

std::string DescribeInterface(const LinuxPaths& paths, const NetlinkInterface& link)
{
    std::string strData;
    if (ReadBoundedFile(paths.m_strRun + "/udev/data/n" + std::to_string(link.m_nIndex), strData) ==
        0)
    {
        std::string strUdev = UdevDescription(strData);
        if (!strUdev.empty())
            return strUdev;
    }
    std::string strAlias = PrintableText(link.m_strAlias);
    if (!strAlias.empty())
        return strAlias;
    const std::string strDriver =
        IsPathComponent(link.m_strName) ? DriverName(paths, link.m_strName) : std::string();
    const std::string strKind = PrintableText(link.m_strKind);
    std::string strDriverAndKind =
        strDriver == strKind ? strDriver : JoinWithSpace(strDriver, strKind);
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
