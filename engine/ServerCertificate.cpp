// The certificate functions live in crypt32, which is not one of the system's known DLLs: it is
// loaded from the system folder on first use, never imported.

#include "engine/ServerCertificate.h"

#include "engine/ResultText.h"
#include "engine/SystemLibrary.h"

namespace tarnel {

namespace {

struct CertificateFunctions {
    decltype(&::CertGetCertificateChain) getChain = nullptr;
    decltype(&::CertVerifyCertificateChainPolicy) verifyPolicy = nullptr;
    decltype(&::CertFreeCertificateChain) freeChain = nullptr;
    decltype(&::CertFreeCertificateContext) freeCertificate = nullptr;

    bool Complete() const { return getChain && verifyPolicy && freeChain && freeCertificate; }
};

const CertificateFunctions& Crypt32()
{
    // Loaded once and never freed: freeing it as the engine unloads would run under the loader's lock.
    static const SystemLibrary& library = *new SystemLibrary(L"crypt32.dll");
    static const CertificateFunctions functions{
        library.Find<decltype(&::CertGetCertificateChain)>("CertGetCertificateChain"),
        library.Find<decltype(&::CertVerifyCertificateChainPolicy)>("CertVerifyCertificateChainPolicy"),
        library.Find<decltype(&::CertFreeCertificateChain)>("CertFreeCertificateChain"),
        library.Find<decltype(&::CertFreeCertificateContext)>("CertFreeCertificateContext")};
    return functions;
}

int PolicyFault(LONG error)
{
    switch (static_cast<HRESULT>(error)) {
    case CERT_E_UNTRUSTEDROOT:
    case CERT_E_UNTRUSTEDTESTROOT:
    case CERT_E_CHAINING:
    case TRUST_E_CERT_SIGNATURE: return kCertificateUntrusted;
    case CERT_E_CN_NO_MATCH: return kCertificateNameMismatch;
    case CERT_E_EXPIRED:
    case CERT_E_VALIDITYPERIODNESTING: return kCertificateExpired;
    default: return kSecureChannelFailed;
    }
}

}  // namespace

ServerCertificate::~ServerCertificate()
{
    Receive();
}

const CERT_CONTEXT** ServerCertificate::Receive()
{
    // A context can only have come from a system that has the function to free it.
    if (context_ != nullptr && Crypt32().freeCertificate != nullptr)
        Crypt32().freeCertificate(context_);
    context_ = nullptr;
    return &context_;
}

int ServerCertificate::Fault(const wchar_t* hostName) const
{
    const CertificateFunctions& crypt = Crypt32();
    const CERT_CONTEXT* certificate = context_;
    if (certificate == nullptr || !crypt.Complete())
        return kSecureChannelFailed;
    char serverAuthentication[] = szOID_PKIX_KP_SERVER_AUTH;
    char* usages[] = {serverAuthentication};
    CERT_CHAIN_PARA chainPara{};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    const CERT_CHAIN_CONTEXT* chain = nullptr;
    // The certificate's own store holds what else the server sent (its intermediates).
    if (!crypt.getChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara, 0, nullptr, &chain))
        return kSecureChannelFailed;

    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = const_cast<wchar_t*>(hostName);
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    const bool judged = crypt.verifyPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status);
    crypt.freeChain(chain);
    return judged ? PolicyFault(status.dwError) : kSecureChannelFailed;
}

}  // namespace tarnel
