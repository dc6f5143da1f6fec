#include "app/qt/probe_process.h"

#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <string_view>

int RunProbe(const std::string& strPath, const std::vector<std::string>& arguments,
             CProbeSession& session)
{
    QStringList argumentList;
    for (const std::string& strArgument : arguments)
        argumentList << QString::fromStdString(strArgument);
    QProcess process;
    process.setProcessEnvironment(QProcessEnvironment());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QString::fromStdString(strPath), argumentList, QIODevice::ReadOnly);
    if (!process.waitForStarted(-1))
        return ENOENT;

    bool bBroken = false;
    for (;;)
    {
        while (!bBroken && !session.Ended() && process.canReadLine())
        {
            const QByteArray line = process.readLine(static_cast<qint64>(kMaxProbeLine) + 2);
            bBroken = !line.endsWith('\n') ||
                      !session.Take(std::string_view(line.constData(),
                                                     static_cast<std::size_t>(line.size()) - 1));
        }
        // A line longer than any the helper writes is not waited for.
        if (bBroken || session.Ended() ||
            process.bytesAvailable() > static_cast<qint64>(kMaxProbeLine))
            break;
        if (!process.waitForReadyRead(-1) && !process.canReadLine())
            break;
    }
    if (!session.Ended() || bBroken)
        process.kill();
    process.waitForFinished(-1);
    return 0;
}

int CProbeInformSource::Read(const LeaseInterface& iface, Lease& lease)
{
    // The helper asks from the interface's own address, as this source's
    // in-process twin does; without one there is nothing to ask.
    if (std::none_of(iface.m_IpAddresses.begin(), iface.m_IpAddresses.end(),
                     [](std::uint32_t nAddress) { return nAddress != 0; }))
        return ENOENT;
    CProbeSession session;
    if (const int nError = RunProbe(m_strProbePath, InformProbeArguments(iface.m_strName), session))
        return nError;
    return session.Finish(lease);
}
