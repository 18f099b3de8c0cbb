// How a new file takes the DACL of the file it replaces, as ReplaceFileW
// keeps it: read from the earlier file's handle, set on the new file's,
// protected or inheriting as it was. Written over the calls it needs, so
// that a test can hold it to the call sequence where the system at hand
// (wine) keeps no security descriptor on a file.
#pragma once

#include <windows.h>

#include <aclapi.h>

namespace cdb2xls::win32 {

struct Sicherheitsaufrufe {
    DWORD (*lesen)(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID*, PSID*, PACL*, PACL*,
                   PSECURITY_DESCRIPTOR*) = GetSecurityInfo;
    BOOL (*kontrolle)(PSECURITY_DESCRIPTOR, PSECURITY_DESCRIPTOR_CONTROL, LPDWORD) = GetSecurityDescriptorControl;
    DWORD (*setzen)(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID, PSID, PACL, PACL) = SetSecurityInfo;
    HLOCAL (*freigeben)(HLOCAL) = LocalFree;
};

// ERROR_SUCCESS, also where the earlier file has no DACL to read (a file
// system without ACLs); otherwise the error of setting it.
inline DWORD daclUebertragen(HANDLE alt, HANDLE neu, const Sicherheitsaufrufe& aufrufe = {}) {
    PSECURITY_DESCRIPTOR beschreibung = nullptr;
    PACL dacl = nullptr;
    if (aufrufe.lesen(alt, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                      &beschreibung) != ERROR_SUCCESS) {
        return ERROR_SUCCESS;
    }
    SECURITY_DESCRIPTOR_CONTROL kontrolle = 0;
    DWORD revision = 0;
    aufrufe.kontrolle(beschreibung, &kontrolle, &revision);
    const SECURITY_INFORMATION art =
        DACL_SECURITY_INFORMATION |
        ((kontrolle & SE_DACL_PROTECTED) != 0 ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
    const DWORD fehler = aufrufe.setzen(neu, SE_FILE_OBJECT, art, nullptr, nullptr, dacl, nullptr);
    aufrufe.freigeben(beschreibung);
    return fehler;
}

}  // namespace cdb2xls::win32
