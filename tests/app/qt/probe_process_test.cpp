// runProbe, ProbeInformSource and ProbeInform6Source over stand-ins for veyra-probe: shell
// scripts that write what a helper, a broken one or a hostile one would.
#include "app/qt/probe_process.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

class ProbeProcessTest : public QObject
{
    Q_OBJECT

private:
    // A stand-in helper that runs the shell text, in the test's folder.
    std::string Helper(const QByteArray& script)
    {
        const QString strPath = m_dir.filePath("veyra-probe");
        QFile file(strPath);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write("#!/bin/sh\n" + script);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return strPath.toStdString();
    }

    static LeaseInterface Addressed()
    {
        LeaseInterface iface;
        iface.m_strName = "eth0";
        iface.m_IpAddresses = {0x0A000002};
        return iface;
    }

    QTemporaryDir m_dir;

private slots:
    void InformReadsTheHelpersAnswer()
    {
        const std::string strHelper = Helper(
            "[ \"$1 $2\" = 'inform eth0' ] || exit 2\n"
            "echo '{\"event\":\"opened\",\"status\":\"\"}'\n"
            "echo '{\"event\":\"options\",\"options\":{\"1\":\"ffffff00\",\"3\":\"0a000001\"}}'\n"
            "echo '{\"event\":\"end\",\"error\":0,\"unrelayed\":0}'\n");
        Lease lease;
        QCOMPARE(ProbeInformSource(strHelper).Read(Addressed(), lease), 0);
        QVERIFY((lease.m_mapOptions == OptionMap{{1, {255, 255, 255, 0}}, {3, {10, 0, 0, 1}}}));
    }

    // A repeated code stays, in the Reply's order.
    void Inform6ReadsTheHelpersReplyOptions()
    {
        const std::string helper =
            Helper("[ \"$1 $2\" = 'inform6 eth0' ] || exit 2\n"
                   "echo '{\"event\":\"opened\",\"status\":\"\"}'\n"
                   "echo '{\"event\":\"options6\",\"data\":\"00170002abcd00200000001700010e\"}'\n"
                   "echo '{\"event\":\"end\",\"error\":0,\"unrelayed\":0}'\n");
        LeaseInterface iface;
        iface.m_strName = "eth0";
        iface.linkLocal = Ipv6Address{0xfe, 0x80};
        Lease6 lease;
        QCOMPARE(ProbeInform6Source(helper).Read(iface, lease), 0);
        QCOMPARE(lease.options.size(), std::size_t{3});
        QCOMPARE(lease.options[0].code, std::uint16_t{23});
        QVERIFY((lease.options[0].data == OptionBytes{0xab, 0xcd}));
        QCOMPARE(lease.options[1].code, std::uint16_t{32});
        QVERIFY(lease.options[1].data.empty());
        QCOMPARE(lease.options[2].code, std::uint16_t{23});
        QVERIFY((lease.options[2].data == OptionBytes{0x0e}));

        // Without a link-local address the helper is not run.
        iface.linkLocal.reset();
        QCOMPARE(ProbeInform6Source(Helper("exit 1\n")).Read(iface, lease), ENOENT);
    }

    void FailuresComeAsTheHelpersErrno()
    {
        const std::string strHelper =
            Helper("echo '{\"event\":\"end\",\"error\":1,\"unrelayed\":0}'\n");
        Lease lease;
        QCOMPARE(ProbeInformSource(strHelper).Read(Addressed(), lease), EPERM);
        QVERIFY(lease.m_mapOptions.empty());
    }

    void WithoutAnAddressTheHelperIsNotRun()
    {
        const std::string strHelper = Helper("exit 1\n");
        LeaseInterface iface = Addressed();
        iface.m_IpAddresses = {0};
        Lease lease;
        QCOMPARE(ProbeInformSource(strHelper).Read(iface, lease), ENOENT);
    }

    void AMissingHelperCannotStart()
    {
        Lease lease;
        QCOMPARE(ProbeInformSource(m_dir.filePath("absent").toStdString()).Read(Addressed(), lease),
                 ENOENT);
    }

    // A helper that ends without its end line, or writes a line with no end
    // at all: the run ends, the latter killed, and the answer is refused.
    void BrokenOutputIsRefused_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("no end line")
            << QByteArray("echo '{\"event\":\"opened\",\"status\":\"\"}'\n");
        QTest::newRow("a line without end") << QByteArray("exec tr -d '\\n' </dev/zero\n");
        QTest::newRow("not JSON") << QByteArray("echo hello\nexec sleep 600\n");
    }

    void BrokenOutputIsRefused()
    {
        QFETCH(QByteArray, script);
        Lease lease;
        QCOMPARE(ProbeInformSource(Helper(script)).Read(Addressed(), lease), EPROTO);
    }
};

QTEST_GUILESS_MAIN(ProbeProcessTest)
#include "probe_process_test.moc"
