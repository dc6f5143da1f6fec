// veyra-gui: the Linux desktop's Veyra, a Qt Widgets window over the same
// model and Linux back ends as the veyra command.
#include "app/qt/linux_window_services.h"
#include "app/qt/query_window.h"
#include "app/qt/version.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    // Answered before Qt looks for a display, so that it works without one.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
    {
        std::printf("veyra-gui %s\n", kVeyraVersion);
        return 0;
    }
    // First, so that the adapters are read while Qt connects to the display.
    CLinuxWindowServices services;
    QApplication app(argc, argv);
    QApplication::setApplicationName("veyra-gui");
    QApplication::setApplicationVersion(kVeyraVersion);
    QApplication::setDesktopFileName("veyra-gui");

    CQueryWindow window(services);
    window.show();
    return QApplication::exec();
}
