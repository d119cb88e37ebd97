#pragma once
#include <windows.h>
#include <wincrypt.h>

#include <string>

#include "net/NetOutcome.h"

// Checks a TLS server's certificate as SChannel under Wine does not: the
// chain must lead to a trusted root for server authentication with no error
// anywhere in it, and the certificate must be issued to the server's name.
// The roots are the system's; when a "Trusted CA File" is named, a chain to
// one of its certificates counts as well. The Certificate stage.
NetOutcome checkServerCertificate(PCCERT_CONTEXT certificate, const wchar_t* serverName,
                                  const std::string& trustedCaFile);
