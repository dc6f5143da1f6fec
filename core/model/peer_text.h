// Text a peer controls (option data, interface names, the texts of a DHCP
// client's lease files) as the Linux editions show it: every character that
// could act on a terminal, hide, or reorder what is shown around it becomes a
// visible escape, in every output.
#pragma once

#include <string>
#include <string_view>

// What the reader of an output can show.
enum class PeerCharset
{
    Utf8,
    // A terminal of another character set misreads UTF-8, and one of 8 bits
    // takes its bytes 0x80 to 0x9F for C1 controls: only ASCII stays.
    Ascii,
};

// Whether the code point is always shown as an escape: a control, a
// bidirectional formatting character or an invisible one.
bool IsEscapedCodePoint(char32_t nCode);

// Appends the text as shown: each byte that is not part of well-formed UTF-8,
// and each C0 control and DEL, as \xNN; every other escaped code point (for
// ASCII also every one beyond it) as \uXXXX, or \UXXXXXXXX past U+FFFF; hex
// digits in capitals. Everything else is kept byte for byte.
void AppendShownPeerText(std::string& strShown, std::string_view text, PeerCharset charset);
std::string ShownPeerText(std::string_view text, PeerCharset charset);

// The charset of what this process writes: UTF-8 unless the command line
// learnt another from its locale at start. The window keeps UTF-8, which Qt
// draws whatever the locale.
PeerCharset PeerTextCharset();
void SetPeerTextCharset(PeerCharset charset);
