// veyra-gui: the Linux desktop's Veyra, a Qt Widgets window over the same
// model and Linux back ends as the veyra command.
#include "app/qt/linux_window_services.h"
#include "app/qt/query_window.h"
#include "app/qt/version.h"
#include "linux/privileges.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // Qt loads libraries that the environment names (QT_PLUGIN_PATH, the
    // platform, style and theme plugins), so a Qt process with privileges
    // would run any user's code with them. Root's own run gives up the
    // capabilities it has by being root; any other privileged run ends here,
    // before anything of Qt exists. Asking DHCP servers is veyra-probe's.
    if (getuid() == 0 && geteuid() == 0 && DropCapabilities() != 0)
    {
        std::fputs("veyra-gui: cannot give up root's capabilities\n", stderr);
        return 1;
    }
    const std::string privileges = HeldPrivileges();
    if (!privileges.empty())
    {
        std::fprintf(stderr,
                     "veyra-gui: will not start with privileges: %s.\n"
                     "Qt would load libraries named by the environment into a privileged "
                     "process. Remove them (sudo setcap -r, chmod u-s,g-s on veyra-gui); "
                     "DHCP servers are asked through veyra-probe.\n",
                     privileges.c_str());
        return 1;
    }
    // Answered before Qt looks for a display, so that it works without one.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
    {
        std::printf("veyra-gui %s\n", kVeyraVersion);
        return 0;
    }
    // First, so that the adapters are read while Qt connects to the display.
    LinuxWindowServices services;
    QApplication app(argc, argv);
    QApplication::setApplicationName("veyra-gui");
    QApplication::setApplicationVersion(kVeyraVersion);
    QApplication::setDesktopFileName("veyra-gui");

    QueryWindow window(services);
    window.show();
    return QApplication::exec();
}
