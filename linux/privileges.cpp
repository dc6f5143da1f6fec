#include "linux/privileges.h"

#include <cap-ng.h>
#include <cerrno>
#include <fstream>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace
{
struct Ids
{
    uid_t m_nRealUid = 0, m_nEffectiveUid = 0, m_nSavedUid = 0;
    gid_t m_nRealGid = 0, m_nEffectiveGid = 0, m_nSavedGid = 0;
};

int ReadIds(Ids& ids)
{
    if (getresuid(&ids.m_nRealUid, &ids.m_nEffectiveUid, &ids.m_nSavedUid) != 0 ||
        getresgid(&ids.m_nRealGid, &ids.m_nEffectiveGid, &ids.m_nSavedGid) != 0)
        return errno;
    return 0;
}

bool IdsAreReal(const Ids& ids)
{
    return ids.m_nEffectiveUid == ids.m_nRealUid && ids.m_nSavedUid == ids.m_nRealUid &&
           ids.m_nEffectiveGid == ids.m_nRealGid && ids.m_nSavedGid == ids.m_nRealGid;
}

bool HoldsAmbient()
{
    for (int nCapability = 0; nCapability <= CAP_LAST_CAP; ++nCapability)
    {
        if (prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_IS_SET, nCapability, 0, 0) == 1)
            return true;
    }
    return false;
}

// Whether the sets are empty now: libcap-ng reports success where the kernel
// quietly kept something, so the drop is read back.
bool CapabilitiesAreClear()
{
    capng_get_caps_process();
    return capng_have_capabilities(CAPNG_SELECT_CAPS) == CAPNG_NONE && !HoldsAmbient();
}
} // namespace

std::string HeldPrivileges()
{
    Ids ids;
    if (const int nError = ReadIds(ids))
        return "its user ids cannot be read (error " + std::to_string(nError) + ")";
    std::string strWhy;
    if (ids.m_nEffectiveUid != ids.m_nRealUid || ids.m_nSavedUid != ids.m_nRealUid)
        strWhy = "it runs set-user-ID";
    else if (ids.m_nEffectiveGid != ids.m_nRealGid || ids.m_nSavedGid != ids.m_nRealGid)
        strWhy = "it runs set-group-ID";
    else if (capng_get_caps_process() != 0)
        strWhy = "its capabilities cannot be read";
    else if (capng_have_permitted_capabilities() != CAPNG_NONE ||
             capng_have_capabilities(CAPNG_SELECT_CAPS) != CAPNG_NONE)
        strWhy = "it holds capabilities (" +
                 std::string(capng_have_permitted_capabilities() == CAPNG_FULL ? "all" : "some") +
                 " permitted)";
    else if (HoldsAmbient())
        strWhy = "it holds ambient capabilities";
    return strWhy;
}

int DropPrivileges()
{
    Ids ids;
    if (const int nError = ReadIds(ids))
        return nError;
    if (capng_get_caps_process() != 0)
        return EPERM;
    // Only CAP_SETPCAP may shrink the bounding set; without it the set stays,
    // and no_new_privs keeps it from mattering.
    if (capng_have_capability(CAPNG_EFFECTIVE, CAP_SETPCAP) != 0)
    {
        capng_clear(CAPNG_SELECT_BOUNDS);
        if (capng_apply(CAPNG_SELECT_BOUNDS) != 0)
            return EPERM;
    }
    capng_clear(CAPNG_SELECT_CAPS);
    if (capng_apply(CAPNG_SELECT_CAPS) != 0)
        return EPERM;
    // Any process may set its ids to its real ones; the groups go first,
    // while the user id may still be root's.
    if (setresgid(ids.m_nRealGid, ids.m_nRealGid, ids.m_nRealGid) != 0 ||
        setresuid(ids.m_nRealUid, ids.m_nRealUid, ids.m_nRealUid) != 0 ||
        prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) != 0 ||
        prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return errno;
    if (ReadIds(ids) != 0 || !IdsAreReal(ids) || !CapabilitiesAreClear())
        return EPERM;
    return 0;
}

int DropCapabilities()
{
    capng_clear(CAPNG_SELECT_CAPS);
    if (capng_apply(CAPNG_SELECT_CAPS) != 0)
        return EPERM;
    if (prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) != 0)
        return errno;
    return CapabilitiesAreClear() ? 0 : EPERM;
}

std::string CapabilityStatus()
{
    std::ifstream status("/proc/self/status");
    std::string strLine;
    std::string strLines;
    while (std::getline(status, strLine))
    {
        if (strLine.rfind("Cap", 0) == 0 || strLine.rfind("NoNewPrivs:", 0) == 0)
            strLines += strLine + "\n";
    }
    return strLines;
}
