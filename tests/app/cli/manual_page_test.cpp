#include "app/cli/command_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace
{
// Every option the usage names has its entry in veyra(1), where roff spells
// each hyphen \-.
TEST(ManualPage, DocumentsEveryOptionOfTheUsage)
{
    std::ifstream page(VEYRA_MANUAL_PAGE);
    ASSERT_TRUE(page) << VEYRA_MANUAL_PAGE;
    std::stringstream text;
    text << page.rdbuf();
    const std::string strPage = text.str();

    const std::regex kOption("--[a-z][a-z-]*");
    const std::string strUsage = kUsageText;
    int nOptions = 0;
    for (auto it = std::sregex_iterator(strUsage.begin(), strUsage.end(), kOption);
         it != std::sregex_iterator(); ++it, ++nOptions)
    {
        const std::string strRoff = std::regex_replace(it->str(), std::regex("-"), "\\-");
        // An entry starts a line: ".B --all", or ".BR --help ", " -h".
        const bool bEntry = strPage.find("\n.B " + strRoff + "\n") != std::string::npos ||
                            strPage.find("\n.BR " + strRoff + " ") != std::string::npos;
        EXPECT_TRUE(bEntry) << it->str() << " has no entry of its own";
    }
    EXPECT_GE(nOptions, 7);
}
} // namespace
