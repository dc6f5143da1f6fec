#include "app/cli/handshake_command.h"

#include "app/cli/exit_status.h"

std::string ParseHandshakeCommand(const std::vector<std::string>&, HandshakeCommand&)
{
    return "--handshake is being built";
}

DiscoverOutcome RunHandshakeCommand(const HandshakeCommand&, const HandshakeBackEnd&)
{
    return {std::string(), "veyra: --handshake is being built\n", kExitFailed};
}
