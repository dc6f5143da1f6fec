// A Qt style plugin that a user could put in QT_PLUGIN_PATH: loading it is
// all it takes for its code to run. Its library's constructor writes the file
// VEYRA_TEST_MARKER names, with the capability lines of the process it was
// loaded into.
#include <QStylePlugin>

#include <cstdlib>
#include <fstream>
#include <string>

namespace
{
struct CMarker
{
    CMarker()
    {
        const char* pszMarker = std::getenv("VEYRA_TEST_MARKER");
        if (pszMarker == nullptr)
            return;
        std::ifstream status("/proc/self/status");
        std::ofstream marker(pszMarker);
        std::string strLine;
        while (std::getline(status, strLine))
        {
            if (strLine.rfind("Cap", 0) == 0)
                marker << strLine << '\n';
        }
    }
} g_marker;
} // namespace

class CMarkerStylePlugin : public QStylePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QStyleFactoryInterface_iid FILE "marker_style_plugin.json")

public:
    QStyle* create(const QString&) override { return nullptr; }
};

#include "marker_style_plugin.moc"
