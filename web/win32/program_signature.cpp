#include "web/win32/program_signature.h"

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include "base/win32/owners.h"
#include "base/win32/process.h"
#include "base/win32/system_library.h"
#include "base/win32/wchar.h"

namespace pyr {

namespace {

// wintrust and crypt32, from System32 at run time like every DLL outside the known ones.
struct TrustApi {
  SystemLibrary wintrust{L"wintrust.dll"};
  SystemLibrary crypt32{L"crypt32.dll"};
  decltype(&::WinVerifyTrust) verify = wintrust.GetProc<decltype(&::WinVerifyTrust)>("WinVerifyTrust");
  decltype(&::WTHelperProvDataFromStateData) provider =
      wintrust.GetProc<decltype(&::WTHelperProvDataFromStateData)>("WTHelperProvDataFromStateData");
  decltype(&::WTHelperGetProvSignerFromChain) signer =
      wintrust.GetProc<decltype(&::WTHelperGetProvSignerFromChain)>("WTHelperGetProvSignerFromChain");
  decltype(&::CertVerifyCertificateChainPolicy) policy =
      crypt32.GetProc<decltype(&::CertVerifyCertificateChainPolicy)>("CertVerifyCertificateChainPolicy");
  decltype(&::CertGetNameStringW) name = crypt32.GetProc<decltype(&::CertGetNameStringW)>("CertGetNameStringW");
  decltype(&::CertGetCertificateContextProperty) property =
      crypt32.GetProc<decltype(&::CertGetCertificateContextProperty)>("CertGetCertificateContextProperty");
  decltype(&::CertGetCertificateChain) chain = crypt32.GetProc<decltype(&::CertGetCertificateChain)>("CertGetCertificateChain");
  decltype(&::CertFreeCertificateChain) freeChain =
      crypt32.GetProc<decltype(&::CertFreeCertificateChain)>("CertFreeCertificateChain");
  decltype(&::CertOpenStore) openStore = crypt32.GetProc<decltype(&::CertOpenStore)>("CertOpenStore");
  decltype(&::CertCloseStore) closeStore = crypt32.GetProc<decltype(&::CertCloseStore)>("CertCloseStore");
  bool Complete() const {
    return verify && provider && signer && policy && name && property && chain && freeChain && openStore && closeStore;
  }
};

const TrustApi& Trust() {
  static const TrustApi api;
  return api;
}

std::string Sha1Hex(const TrustApi& api, PCCERT_CONTEXT certificate) {
  BYTE hash[20];
  DWORD size = sizeof hash;
  if (!api.property(certificate, CERT_SHA1_HASH_PROP_ID, hash, &size)) return {};
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (DWORD i = 0; i < size; ++i) hex += {kDigits[hash[i] >> 4], kDigits[hash[i] & 15]};
  return hex;
}

// One attribute of the certificate's subject (CERT_NAME_ATTR_TYPE with its OID).
std::u16string SubjectAttribute(const TrustApi& api, PCCERT_CONTEXT certificate, const char* oid) {
  wchar_t text[256] = {};
  api.name(certificate, CERT_NAME_ATTR_TYPE, 0, const_cast<char*>(oid), text, 256);
  return U(text);
}

// The signer's chain built again by the local machine's engine (HCCE_LOCAL_MACHINE), from the
// certificates the signature carries, at the time WinVerifyTrust verified it as of: a root that
// only the user's own store holds ends it at no trusted root. Revocation as WinVerifyTrust checks it.
void JudgeMachineChain(const TrustApi& api, const CRYPT_PROVIDER_DATA& provider, CRYPT_PROVIDER_SGNR& signer,
                       SignatureFacts& facts) {
  facts.chainError = static_cast<uint32_t>(CERT_E_CHAINING);
  HCERTSTORE carried = api.openStore(CERT_STORE_PROV_MSG, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0, 0,
                                     provider.hMsg);
  CERT_CHAIN_PARA para{};
  para.cbSize = sizeof para;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  if (carried && api.chain(HCCE_LOCAL_MACHINE, signer.pasCertChain[0].pCert, &signer.sftVerifyAsOf, carried, &para,
                           CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT, nullptr, &chain) &&
      chain->cChain > 0 && chain->rgpChain[0]->cElement > 0) {
    const CERT_SIMPLE_CHAIN& simple = *chain->rgpChain[0];
    facts.rootSha1 = Sha1Hex(api, simple.rgpElement[simple.cElement - 1]->pCertContext);
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    if (api.policy(CERT_CHAIN_POLICY_AUTHENTICODE, chain, &policy, &status)) facts.chainError = status.dwError;
  }
  if (chain) api.freeChain(chain);
  if (carried) api.closeStore(carried, 0);
}

}  // namespace

SignatureFacts ReadSignatureFacts(HANDLE file, const WideText& path) {
  SignatureFacts facts;
  facts.trustResult = static_cast<uint32_t>(TRUST_E_NOSIGNATURE);
  const TrustApi& api = Trust();
  if (!api.Complete()) return facts;
  WINTRUST_FILE_INFO fileInfo{};
  fileInfo.cbStruct = sizeof fileInfo;
  fileInfo.pcwszFilePath = W(path);
  fileInfo.hFile = file;
  WINTRUST_DATA data{};
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_WHOLECHAIN;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &fileInfo;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  data.dwProvFlags = WTD_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  facts.trustResult = static_cast<uint32_t>(api.verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data));
  CRYPT_PROVIDER_DATA* provider = api.provider(data.hWVTStateData);
  CRYPT_PROVIDER_SGNR* signer = provider ? api.signer(provider, 0, FALSE, 0) : nullptr;
  if (signer && signer->csCertChain > 0 && signer->pasCertChain[0].pCert) {
    facts.organization = SubjectAttribute(api, signer->pasCertChain[0].pCert, szOID_ORGANIZATION_NAME);
    facts.country = SubjectAttribute(api, signer->pasCertChain[0].pCert, szOID_COUNTRY_NAME);
    // Wine's WinVerifyTrust does not judge the chain; the chain policy does, there and on Windows.
    JudgeMachineChain(api, *provider, *signer, facts);
  } else if (facts.trustResult == 0) {
    facts.trustResult = static_cast<uint32_t>(TRUST_E_NOSIGNATURE);  // no signer to name
  }
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  api.verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  return facts;
}

SignedStart StartSignedProgram(const WideText& path, const WideText& arguments, const SignaturePolicy& policy) {
  // Shared for reading only: the file can be neither changed nor replaced until the start.
  FileOwner pinned(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!pinned) return SignedStart::kNotStarted;
  if (!SignedByMaker(ReadSignatureFacts(pinned.Get(), path), policy)) return SignedStart::kNotSigned;
  // In the program's own folder, without the privileges the program enabled for itself.
  return LaunchProcess(path, arguments, ModuleFolder(nullptr), SW_SHOW, kWithoutProgramPrivileges)
             ? SignedStart::kStarted
             : SignedStart::kNotStarted;
}

}  // namespace pyr
