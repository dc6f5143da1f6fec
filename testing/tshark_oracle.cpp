#include "testing/tshark_oracle.h"

#include "testing/netns_pair.h"
#include "testing/scratch_directory.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
// Far beyond what tshark writes for the messages the oracle suites make.
constexpr std::size_t kMaxOutput = 64 * 1024 * 1024;
// tshark's expert severity of errors; warnings (such as a value that is often
// misused) are no complaint about the bytes.
constexpr unsigned long kSeverityError = 0x00800000;

// Builds TsharkNodes from nlohmann's SAX events, which see every key, repeated
// ones too.
class CNodeBuilder : public nlohmann::json_sax<nlohmann::json>
{
public:
    explicit CNodeBuilder(TsharkNode& root) { m_Stack.push_back(&root); }

    bool null() override { return Leaf(std::string()); }
    bool boolean(bool bValue) override { return Leaf(bValue ? "true" : "false"); }
    bool number_integer(number_integer_t nValue) override { return Leaf(std::to_string(nValue)); }
    bool number_unsigned(number_unsigned_t nValue) override { return Leaf(std::to_string(nValue)); }
    bool number_float(number_float_t, const string_t& strText) override { return Leaf(strText); }
    bool string(string_t& strValue) override { return Leaf(strValue); }
    bool binary(binary_t&) override { return false; }
    bool start_object(std::size_t) override { return Open(); }
    bool end_object() override { return Close(); }
    bool start_array(std::size_t) override { return Open(); }
    bool end_array() override { return Close(); }
    bool key(string_t& strKey) override
    {
        m_strKey = strKey;
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override
    {
        return false;
    }

private:
    TsharkNode& Add()
    {
        TsharkNode& node = m_Stack.back()->m_Children.emplace_back();
        node.m_strName = std::move(m_strKey);
        m_strKey.clear();
        return node;
    }
    bool Leaf(std::string strText)
    {
        Add().m_strText = std::move(strText);
        return true;
    }
    // The root stands for the outermost value itself.
    bool Open()
    {
        m_Stack.push_back(m_bRootOpened ? &Add() : m_Stack.back());
        m_bRootOpened = true;
        return true;
    }
    bool Close()
    {
        if (m_Stack.size() > 1)
            m_Stack.pop_back();
        return true;
    }

    std::vector<TsharkNode*> m_Stack;
    std::string m_strKey;
    bool m_bRootOpened = false;
};

std::vector<std::uint8_t> HexBytes(const std::string& strHex)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t n = 0; n + 1 < strHex.size(); n += 3)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(strHex.substr(n, 2), nullptr, 16)));
    return bytes;
}

void CollectComplaints(const TsharkNode& node, std::vector<std::string>& complaints)
{
    if (node.m_strName == "_ws.expert")
    {
        const TsharkNode* pSeverity = node.Find("_ws.expert.severity");
        const TsharkNode* pMessage = node.Find("_ws.expert.message");
        if (pSeverity != nullptr && std::stoul(pSeverity->m_strText) >= kSeverityError)
            complaints.push_back(pMessage != nullptr ? pMessage->m_strText : "expert info");
        return;
    }
    if (node.m_strName == "_ws.malformed")
        complaints.push_back("malformed");
    for (const TsharkNode& child : node.m_Children)
        CollectComplaints(child, complaints);
}

// A field of the option's tree: a leaf is a typed field, a subtree holds more
// of them, and tshark's own "_ws." nodes hold its complaints.
void Collect(const TsharkNode& node, TsharkOption& option)
{
    if (node.m_strName.compare(0, 4, "_ws.") == 0)
    {
        CollectComplaints(node, option.m_Complaints);
        return;
    }
    if (node.m_Children.empty())
    {
        option.m_Fields.emplace_back(node.m_strName, node.m_strText);
        // A name tshark cannot read is a text in angle brackets, not expert
        // info; "<Root>" is the root name.
        const std::string& strText = node.m_strText;
        if (strText.size() > 2 && strText.front() == '<' && strText.back() == '>' &&
            strText != "<Root>")
            option.m_Complaints.push_back(strText);
    }
    for (const TsharkNode& child : node.m_Children)
        Collect(child, option);
}

TsharkOption ReadOption(std::uint8_t nCode, const TsharkNode& tree)
{
    TsharkOption option;
    option.m_nCode = nCode;
    for (const TsharkNode& child : tree.m_Children)
    {
        if (child.m_strName == "dhcp.option.value")
            option.m_Value = HexBytes(child.m_strText);
        else if (child.m_strName != "dhcp.option.length")
            Collect(child, option);
    }
    return option;
}

std::string LastLine(const std::string& strPath)
{
    std::ifstream file(strPath);
    std::string strLine;
    std::string strLast;
    while (std::getline(file, strLine))
    {
        if (!strLine.empty())
            strLast = strLine;
    }
    return strLast;
}
} // namespace

const TsharkNode* TsharkNode::Find(const std::string& strName) const
{
    if (m_strName == strName)
        return this;
    for (const TsharkNode& child : m_Children)
    {
        if (const TsharkNode* pFound = child.Find(strName))
            return pFound;
    }
    return nullptr;
}

std::vector<std::string> TsharkOption::Texts(const std::string& strField) const
{
    std::vector<std::string> texts;
    for (const auto& [strName, strText] : m_Fields)
    {
        if (strName == strField)
            texts.push_back(strText);
    }
    return texts;
}

std::string TsharkObstacle()
{
    if (!ProgramOnPath("tshark"))
        return "tshark (Wireshark) is not installed";
    return std::string();
}

bool RunTshark(const std::string& strPcap, const std::vector<std::string>& preferences,
               std::vector<TsharkNode>& frames, std::string& strError, bool withBytes)
{
    frames.clear();
    // An empty configuration folder of its own: a user's preferences or
    // disabled protocols would change the dissection.
    const CScratchDirectory config;
    if (config.Path().empty())
    {
        strError = "no scratch folder for tshark's configuration";
        return false;
    }
    const std::string strErrors = config.Path() + "/stderr";
    std::vector<std::string> command = {"tshark", "-n", "-r", strPcap, "-T", "json"};
    if (withBytes)
        command.push_back("-x");
    for (const std::string& strPreference : preferences)
    {
        command.push_back("-o");
        command.push_back(strPreference);
    }

    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
    {
        strError = "pipe failed";
        return false;
    }
    const pid_t child = fork();
    if (child == 0)
    {
        const int nErrors = open(strErrors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(output[1], STDOUT_FILENO);
        dup2(nErrors, STDERR_FILENO);
        setenv("WIRESHARK_CONFIG_DIR", config.Path().c_str(), 1);
        std::vector<char*> argv;
        for (const std::string& strArg : command)
            argv.push_back(const_cast<char*>(strArg.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(output[1]);
    if (child < 0)
    {
        close(output[0]);
        strError = "fork failed";
        return false;
    }

    std::string strJson;
    char buffer[65536];
    bool bTooLarge = false;
    for (;;)
    {
        const ssize_t nRead = read(output[0], buffer, sizeof buffer);
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead <= 0)
            break;
        if (strJson.size() + static_cast<std::size_t>(nRead) > kMaxOutput)
        {
            bTooLarge = true;
            kill(child, SIGKILL);
            break;
        }
        strJson.append(buffer, static_cast<std::size_t>(nRead));
    }
    close(output[0]);
    int nStatus = 0;
    while (waitpid(child, &nStatus, 0) < 0 && errno == EINTR)
    {
    }
    if (bTooLarge)
    {
        strError = "tshark wrote more than " + std::to_string(kMaxOutput) + " bytes";
        return false;
    }
    if (!WIFEXITED(nStatus) || WEXITSTATUS(nStatus) != 0)
    {
        strError = "tshark failed: " + LastLine(strErrors);
        return false;
    }

    TsharkNode root;
    CNodeBuilder builder(root);
    if (!nlohmann::json::sax_parse(strJson, &builder))
    {
        strError = "tshark's output is not JSON";
        return false;
    }
    for (const TsharkNode& packet : root.m_Children)
    {
        const TsharkNode* pLayers = packet.Find("layers");
        frames.push_back(pLayers != nullptr ? *pLayers : TsharkNode());
    }
    return true;
}

std::vector<TsharkOption> DhcpOptions(const TsharkNode& layers)
{
    std::vector<TsharkOption> options;
    const TsharkNode* pDhcp = nullptr;
    for (const TsharkNode& layer : layers.m_Children)
    {
        if (layer.m_strName == "dhcp")
            pDhcp = &layer;
    }
    if (pDhcp == nullptr)
        return options;
    // A dissector that throws stops there and marks the whole packet
    // malformed: the option it was reading is the last one it shows.
    const bool bThrew = layers.Find("_ws.malformed") != nullptr;
    const std::vector<TsharkNode>& fields = pDhcp->m_Children;
    for (std::size_t n = 0; n + 1 < fields.size(); ++n)
    {
        if (fields[n].m_strName != "dhcp.option.type" ||
            fields[n + 1].m_strName != "dhcp.option.type_tree" ||
            fields[n + 1].Find("dhcp.option.end") != nullptr)
            continue;
        const unsigned long nCode = std::stoul(fields[n].m_strText);
        if (nCode > 0 && nCode < 255)
            options.push_back(ReadOption(static_cast<std::uint8_t>(nCode), fields[n + 1]));
    }
    if (bThrew && !options.empty())
        options.back().m_Complaints.push_back("malformed packet");
    return options;
}
