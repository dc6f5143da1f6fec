// JSON as the veyra command writes it: valid whatever bytes it is given, and
// safe to show on a terminal.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

// A text of untrusted origin as a JSON string: each ill-formed UTF-8 sequence
// becomes U+FFFD; " and \ are escaped by their letter; every code point that
// ShownPeerText escapes (controls, bidirectional formatting and invisible
// characters), and in an ASCII locale every one beyond ASCII, is written as
// \uXXXX in capitals (a surrogate pair past U+FFFF), so that no byte of it
// acts on a terminal and none hides or reorders the text around it.
std::string JsonString(const std::string& strText);

// A value on one line, a space after each colon and comma, members in the
// value's own order (an nlohmann::json converts with its members sorted by
// name), every string as JsonString writes it.
std::string JsonLine(const nlohmann::ordered_json& value);

// A whole document as the command prints it, ending in a newline: the members
// (or elements) of the top level one a line, indented by two; an array among
// them one element a line, indented by four; anything deeper on one line as
// JsonLine writes it. Greppable, and a stable shape.
std::string JsonDocument(const nlohmann::ordered_json& document);
