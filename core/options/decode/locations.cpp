// Locations: RFC 4776's civic address and RFC 6225's coordinates.
#include "core/options/decode/decoders.h"

#include "core/wire/geolocation.h"

#include <cstdio>
#include <optional>

namespace
{
// RFC 4776 3.1: whom the location describes.
constexpr ValueName kCivicWhat[] = {
    {0, "DHCP server"},
    {1, "network element"},
    {2, "client"},
    {0, nullptr},
};

// RFC 6225 2.2.1's datums and 2.4's altitude types.
constexpr ValueName kDatums[] = {
    {1, "WGS84"},
    {2, "NAD83/NAVD88"},
    {3, "NAD83/MLLW"},
    {0, nullptr},
};
constexpr ValueName kAltitudeTypes[] = {
    {0, "none"},
    {1, "metres"},
    {2, "floors"},
    {0, nullptr},
};

// A coordinate or altitude for people: at most six decimals, no trailing zeros.
void AppendDecimal(std::string& text, double value)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.6f", value);
    std::string decimal = digits;
    decimal.erase(decimal.find_last_not_of('0') + 1);
    if (decimal.back() == '.')
        decimal.pop_back();
    text += decimal == "-0" ? "0" : decimal;
}

bool DecodeLocation(const DecodeContext& context, OptionData data, bool versionOneOnly,
                    ExtendedOption& option)
{
    const std::optional<Geolocation> location = ReadGeolocation(data.data, data.length);
    if (!location || location->nVersion > 1 || (versionOneOnly && location->nVersion != 1))
        return false;
    const char* datum = FindValueName(kDatums, location->nDatum);
    const char* altitudeType = FindValueName(kAltitudeTypes, location->nAltitudeType);
    std::string& text = option.m_strText;
    text = "latitude ";
    AppendDecimal(text, location->dLatitude);
    text += ", longitude ";
    AppendDecimal(text, location->dLongitude);
    text += ", altitude ";
    AppendDecimal(text, location->dAltitude);
    text += " (type ";
    AppendNumber(text, location->nAltitudeType);
    if (altitudeType != nullptr)
    {
        text += ", ";
        text += altitudeType;
    }
    text += "), uncertainty ";
    AppendNumber(text, location->nLatitudeUncertainty);
    text += '/';
    AppendNumber(text, location->nLongitudeUncertainty);
    text += '/';
    AppendNumber(text, location->nAltitudeUncertainty);
    text += ", datum ";
    AppendNumber(text, location->nDatum);
    if (datum != nullptr)
    {
        text += " (";
        text += datum;
        text += ')';
    }
    text += ", version ";
    AppendNumber(text, location->nVersion);
    if (context.typed)
        option.m_value = Object(
            "latitude", location->dLatitude, "latitude_uncertainty", location->nLatitudeUncertainty,
            "longitude", location->dLongitude, "longitude_uncertainty",
            location->nLongitudeUncertainty, "altitude_type", location->nAltitudeType, "altitude",
            location->dAltitude, "altitude_uncertainty", location->nAltitudeUncertainty, "version",
            location->nVersion, "datum", location->nDatum);
    return true;
}
} // namespace

// RFC 4776 3.1: what, a two-letter country code, then elements of type,
// length and UTF-8 value (RFC 4776 3.4).
bool DecodeCivicLocation(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    constexpr std::size_t kHeader = 3;
    if (data.length < kHeader)
        return false;
    const FieldView elements(Framing::Tlv, data.data + kHeader, data.length - kHeader);
    if (!elements.IsWhole())
        return false;
    const char* what = FindValueName(kCivicWhat, data.data[0]);
    std::string country = RawText({data.data + 1, 2});
    std::string& text = option.m_strText;
    text = "what ";
    AppendNumber(text, data.data[0]);
    if (what != nullptr)
    {
        text += " (";
        text += what;
        text += ')';
    }
    text += ", country ";
    text += country;
    Json values = context.typed ? Array(elements.Count()) : Json();
    for (const Field& element : elements)
    {
        text += ", ";
        AppendNumber(text, element.tag);
        text += '=';
        const std::size_t start = text.size();
        text.append(reinterpret_cast<const char*>(element.data), element.length);
        if (context.typed)
            values.push_back(Object("type", element.tag, "value", Json(text.substr(start))));
    }
    if (context.typed)
        option.m_value = Object("what", data.data[0], "country", Json(std::move(country)),
                                "elements", std::move(values));
    return true;
}

bool DecodeGeoConf(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    return DecodeLocation(context, data, false, option);
}

bool DecodeGeoLoc(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    return DecodeLocation(context, data, true, option);
}
