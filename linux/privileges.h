// Giving up what a set-user-ID program or one with file capabilities was
// started with (capabilities(7), prctl(2)), through libcap-ng.
#pragma once

#include <string>

// Why this process holds more than the user who started it: capabilities in
// its permitted, effective or ambient set, or a set-user-ID or set-group-ID.
// Empty when it holds nothing of that.
std::string HeldPrivileges();

// Clears the permitted, effective, inheritable and ambient sets (and the
// bounding set where CAP_SETPCAP allows), returns every user and group id to
// the real ones, and sets no_new_privs so that no later execve gains anything
// back. Checks the result. 0, or an errno value: then the process must end.
int DropPrivileges();

// For root's own processes: clears the capability sets but keeps the ids and
// lets a program run later gain root's capabilities as usual. 0 or an errno.
int DropCapabilities();

// The capability lines (CapInh, CapPrm, CapEff, CapBnd, CapAmb) and
// NoNewPrivs of /proc/self/status, one "Name:\tvalue" per line: what a test
// or a report shows of a process.
std::string CapabilityStatus();
