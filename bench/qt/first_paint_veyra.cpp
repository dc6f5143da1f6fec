// veyra-gui as its main() starts it, on the machine's own adapters and
// leases, quitting at its first paint.
#include "app/qt/linux_window_services.h"
#include "app/qt/query_window.h"
#include "bench/qt/first_paint.h"

int main(int argc, char* argv[])
{
    LinuxWindowServices services;
    QApplication app(argc, argv);
    QueryWindow window(services);
    const CFirstPaint firstPaint(window);
    window.show();
    return QApplication::exec();
}
