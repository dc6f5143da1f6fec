#include "app/cli/plugin_output.h"

#include "core/model/peer_text.h"

#include <cmath>
#include <cstdio>

namespace
{
// Text shown where "|" would start the performance data.
std::string ShownText(const std::string& text)
{
    std::string shown;
    for (const char c : ShownPeerText(text, PeerTextCharset()))
        if (c == '|')
            shown += "\\x7C";
        else
            shown += c;
    return shown;
}

bool IsPlainLabel(const std::string& label)
{
    if (label.empty())
        return false;
    for (const char c : label)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '_' || c == '.' || c == '-'))
            return false;
    return true;
}

std::string LabelText(const std::string& label)
{
    if (IsPlainLabel(label))
        return label;
    std::string quoted = "'";
    for (const char c : ShownPeerText(label, PeerCharset::Ascii))
        if (c == '\'')
            quoted += "''";
        else if (c == '=')
            quoted += "\\x3D";
        else
            quoted += c;
    return quoted + "'";
}

std::string OptionalNumber(const std::optional<double>& value)
{
    return value ? PerfNumber(*value) : std::string();
}

// A threshold range holds digits, ".", "-", ":", "~" and "@" only.
std::string RangeText(const std::string& range)
{
    std::string shown;
    for (const char c : range)
        if ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':' || c == '~' || c == '@')
            shown += c;
    return shown;
}
} // namespace

const char* CheckStatusName(CheckStatus status)
{
    switch (status)
    {
    case kCheckOk:
        return "OK";
    case kCheckWarning:
        return "WARNING";
    case kCheckCritical:
        return "CRITICAL";
    case kCheckUnknown:
        break;
    }
    return "UNKNOWN";
}

CheckStatus WorseStatus(CheckStatus a, CheckStatus b)
{
    // Rank: OK < UNKNOWN < WARNING < CRITICAL.
    const auto rank = [](CheckStatus status) {
        return status == kCheckOk        ? 0
               : status == kCheckUnknown ? 1
               : status == kCheckWarning ? 2
                                         : 3;
    };
    return rank(a) >= rank(b) ? a : b;
}

std::string PerfNumber(double value)
{
    if (!std::isfinite(value))
        return "U";
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string number = text;
    number.erase(number.find_last_not_of('0') + 1);
    if (number.back() == '.')
        number.pop_back();
    return number == "-0" ? "0" : number;
}

std::string FormatPluginOutput(const PluginOutput& output)
{
    std::string text = ShownText(output.service) + " " + CheckStatusName(output.status) + " - " +
                       ShownText(output.summary);
    if (!output.perfData.empty())
    {
        text += " |";
        for (const PerfDatum& datum : output.perfData)
        {
            std::string item = LabelText(datum.label) + "=" +
                               (datum.value ? PerfNumber(*datum.value) + datum.unit : "U") + ";" +
                               RangeText(datum.warning) + ";" + RangeText(datum.critical) + ";" +
                               OptionalNumber(datum.min) + ";" + OptionalNumber(datum.max);
            item.erase(item.find_last_not_of(';') + 1);
            text += " " + item;
        }
    }
    text += "\n";
    for (const std::string& line : output.details)
        text += ShownText(line) + "\n";
    return text;
}
