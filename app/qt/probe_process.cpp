#include "app/qt/probe_process.h"

#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <string_view>

int runProbe(const std::string& path, const std::vector<std::string>& arguments,
             CProbeSession& session)
{
    QStringList argumentList;
    for (const std::string& argument : arguments)
        argumentList << QString::fromStdString(argument);
    QProcess process;
    process.setProcessEnvironment(QProcessEnvironment());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QString::fromStdString(path), argumentList, QIODevice::ReadOnly);
    if (!process.waitForStarted(-1))
        return ENOENT;

    bool broken = false;
    for (;;)
    {
        while (!broken && !session.Ended() && process.canReadLine())
        {
            const QByteArray line = process.readLine(static_cast<qint64>(kMaxProbeLine) + 2);
            broken = !line.endsWith('\n') ||
                     !session.Take(std::string_view(line.constData(),
                                                    static_cast<std::size_t>(line.size()) - 1));
        }
        // A line longer than any the helper writes is not waited for.
        if (broken || session.Ended() ||
            process.bytesAvailable() > static_cast<qint64>(kMaxProbeLine))
            break;
        if (!process.waitForReadyRead(-1) && !process.canReadLine())
            break;
    }
    if (!session.Ended() || broken)
        process.kill();
    process.waitForFinished(-1);
    return 0;
}

int ProbeInformSource::Read(const LeaseInterface& iface, Lease& lease)
{
    // The helper asks from the interface's own address, as this source's
    // in-process twin does; without one there is nothing to ask.
    if (std::none_of(iface.m_IpAddresses.begin(), iface.m_IpAddresses.end(),
                     [](std::uint32_t address) { return address != 0; }))
        return ENOENT;
    CProbeSession session;
    if (const int error = runProbe(m_probePath, InformProbeArguments(iface.m_strName), session))
        return error;
    return session.Finish(lease);
}

int ProbeInform6Source::Read(const LeaseInterface& iface, Lease6& lease)
{
    // The helper finds the link-local address itself; without one known here
    // there is nothing to ask from.
    if (!iface.linkLocal)
        return ENOENT;
    CProbeSession session;
    if (const int error = runProbe(m_probePath, Inform6ProbeArguments(iface.m_strName), session))
        return error;
    return session.Finish(lease);
}
