// CWorkingDirectory: remembers the process's working directory and sets it
// back when it goes out of scope, whatever happened in between (the save
// dialog may change it).
#pragma once

#include "platform/cstring.h"

class CWorkingDirectory
{
public:
    CWorkingDirectory();
    ~CWorkingDirectory();
    CWorkingDirectory(const CWorkingDirectory&) = delete;
    CWorkingDirectory& operator=(const CWorkingDirectory&) = delete;

    // The process's working directory now, whatever its length; empty when the
    // system cannot tell it.
    static CString Current();

private:
    CString m_strPath;
};
