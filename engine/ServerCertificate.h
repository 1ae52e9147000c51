#pragma once
// The certificate a server showed in a handshake, and why the system refuses it, judged the way
// the system judges it for HTTPS: its chain engine and its SSL policy for the host name.
// Windows only.

#include <windows.h>
#include <wincrypt.h>

namespace tarnel {

// A certificate context handed to the caller (as WINHTTP_OPTION_SERVER_CERT_CONTEXT hands it),
// freed when this goes.
class ServerCertificate {
public:
    ServerCertificate() = default;
    ~ServerCertificate();
    ServerCertificate(const ServerCertificate&) = delete;
    ServerCertificate& operator=(const ServerCertificate&) = delete;

    // Where the context is written; what was there before is freed.
    const CERT_CONTEXT** Receive();
    // kCertificateUntrusted, kCertificateNameMismatch or kCertificateExpired (ResultText.h) when
    // the system refuses the certificate for `hostName`; kSecureChannelFailed when it finds no
    // fault in it, there is none, or it cannot be judged (the certificate functions are missing).
    int Fault(const wchar_t* hostName) const;

private:
    const CERT_CONTEXT* context_ = nullptr;
};

}  // namespace tarnel
