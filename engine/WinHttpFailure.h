#pragma once
// What a failed WinHTTP request tells of, as a result code (ResultText.h): named from the
// handshake itself where it failed there. The engine's web checks and the program's web hook
// read their failures alike. Windows only.

#include <windows.h>
#include <winhttp.h>

#include "engine/ResultText.h"

namespace tarnel {

// The certificate fault the secure-failure callback's flags name.
inline int SecureFailureCode(DWORD flags)
{
    if (flags & WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA)
        return kCertificateUntrusted;
    if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID)
        return kCertificateNameMismatch;
    if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID)
        return kCertificateExpired;
    return kSecureChannelFailed;
}

// `error` of a request that had (`connected`) or had not yet connected.
inline int FailureCode(DWORD error, bool connected, DWORD secureFailure)
{
    switch (error) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return kHostNotFound;
    case ERROR_WINHTTP_CANNOT_CONNECT: return kConnectFailed;
    case ERROR_WINHTTP_TIMEOUT: return connected ? kTimedOut : kConnectTimedOut;
    case ERROR_WINHTTP_SECURE_FAILURE: return SecureFailureCode(secureFailure);
    case ERROR_WINHTTP_SECURE_INVALID_CA: return kCertificateUntrusted;
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID: return kCertificateNameMismatch;
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID: return kCertificateExpired;
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CERT: return kSecureChannelFailed;
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return kMalformedAddress;
    default: return connected ? kNoHttpResponse : kConnectFailed;
    }
}

}  // namespace tarnel
