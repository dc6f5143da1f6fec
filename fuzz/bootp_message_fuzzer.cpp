// Parses arbitrary bytes as a BOOTP message. What parses must hold no option
// longer than the input, and must read back the same after being written out.
#include "core/wire/bootp_message.h"

#include <cstdlib>

namespace
{
bool SameMessage(const BootpMessage& a, const BootpMessage& b)
{
    return a.m_nOp == b.m_nOp && a.m_nHardwareType == b.m_nHardwareType &&
           a.m_nHardwareLength == b.m_nHardwareLength && a.m_nTransactionId == b.m_nTransactionId &&
           a.m_nClientAddress == b.m_nClientAddress && a.m_nYourAddress == b.m_nYourAddress &&
           a.m_nServerAddress == b.m_nServerAddress && a.m_ClientHardware == b.m_ClientHardware &&
           a.m_mapOptions == b.m_mapOptions;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pInput, std::size_t nSize)
{
    const std::optional<BootpMessage> message = ParseBootpMessage(pInput, nSize);
    if (!message)
        return 0;
    for (const auto& [nCode, bytes] : message->m_mapOptions)
    {
        if (bytes.size() > nSize || nCode == 0 || nCode == 255 || nCode == kOptionOverload)
            std::abort();
    }
    // Options moved out of file and sname can make the message outgrow the cap.
    const std::vector<std::uint8_t> written = SerializeBootpMessage(*message);
    if (written.size() > kMaxBootpMessage)
        return 0;
    const std::optional<BootpMessage> again = ParseBootpMessage(written.data(), written.size());
    if (!again || !SameMessage(*message, *again))
        std::abort();
    return 0;
}
