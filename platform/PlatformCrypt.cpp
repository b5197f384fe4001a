#include "PlatformCrypt.h"

#include <openssl/evp.h>

#include <cstring>
#include <memory>

namespace {

thread_local std::uint32_t tLastError = 0;

bool Fail(std::uint32_t code) {
    tLastError = code;
    return false;
}

// Handles are pointers to these objects; a tag guards against handles of the
// wrong kind or of freed objects being used.
constexpr std::uint32_t kProvTag = 0x50524F56; // "PROV"
constexpr std::uint32_t kHashTag = 0x48415348; // "HASH"
constexpr std::uint32_t kDeadTag = 0xDEADDEAD;

struct TProvider {
    std::uint32_t Tag = kProvTag;
};

struct THash {
    std::uint32_t Tag = kHashTag;
    ALG_ID Alg = 0;
    EVP_MD_CTX* Ctx = nullptr;
    bool Finished = false;
    unsigned char Value[EVP_MAX_MD_SIZE];
    unsigned ValueSize = 0;
    ~THash() { EVP_MD_CTX_free(Ctx); }
};

TProvider* AsProvider(HCRYPTPROV h) {
    auto* p = reinterpret_cast<TProvider*>(h);
    return p && p->Tag == kProvTag ? p : nullptr;
}

THash* AsHash(HCRYPTHASH h) {
    auto* p = reinterpret_cast<THash*>(h);
    return p && p->Tag == kHashTag ? p : nullptr;
}

const EVP_MD* Digest(ALG_ID alg) {
    switch (alg) {
    case CALG_MD5:
        return EVP_md5();
    case CALG_SHA1:
        return EVP_sha1();
    case CALG_SHA_256:
        return EVP_sha256();
    default:
        return nullptr;
    }
}

bool PutParam(const void* value, std::uint32_t size, std::uint8_t* pbData,
              std::uint32_t* pdwDataLen) {
    if (!pbData) {
        *pdwDataLen = size;
        return true;
    }
    if (*pdwDataLen < size) {
        *pdwDataLen = size;
        return Fail(CRYPT_ERROR_MORE_DATA);
    }
    std::memcpy(pbData, value, size);
    *pdwDataLen = size;
    return true;
}

} // namespace

bool CryptAcquireContextA(HCRYPTPROV* phProv, const char* szContainer, const char* szProvider,
                          std::uint32_t dwProvType, std::uint32_t dwFlags) {
    if (!phProv) return Fail(CRYPT_ERROR_INVALID_PARAMETER);
    *phProv = 0;
    // Only ephemeral contexts exist here: there are no key containers.
    if (dwFlags != CRYPT_VERIFYCONTEXT) return Fail(NTE_BAD_FLAGS);
    if (szContainer && *szContainer) return Fail(NTE_BAD_FLAGS);
    if (dwProvType != PROV_RSA_FULL) return Fail(NTE_PROV_TYPE_NOT_DEF);
    if (szProvider && *szProvider && std::strcmp(szProvider, MS_DEF_PROV_A) != 0)
        return Fail(NTE_KEYSET_NOT_DEF);
    *phProv = reinterpret_cast<HCRYPTPROV>(new TProvider);
    return true;
}

bool CryptReleaseContext(HCRYPTPROV hProv, std::uint32_t dwFlags) {
    TProvider* p = AsProvider(hProv);
    if (!p) return Fail(NTE_BAD_UID);
    if (dwFlags) return Fail(NTE_BAD_FLAGS);
    p->Tag = kDeadTag;
    delete p;
    return true;
}

bool CryptCreateHash(HCRYPTPROV hProv, ALG_ID Algid, HCRYPTKEY hKey, std::uint32_t dwFlags,
                     HCRYPTHASH* phHash) {
    if (!phHash) return Fail(CRYPT_ERROR_INVALID_PARAMETER);
    *phHash = 0;
    if (!AsProvider(hProv)) return Fail(NTE_BAD_UID);
    if (hKey || dwFlags) return Fail(NTE_BAD_FLAGS);
    const EVP_MD* md = Digest(Algid);
    if (!md) return Fail(NTE_BAD_ALGID);
    auto h = std::make_unique<THash>();
    h->Alg = Algid;
    h->Ctx = EVP_MD_CTX_new();
    if (!h->Ctx || EVP_DigestInit_ex(h->Ctx, md, nullptr) != 1) return Fail(NTE_FAIL);
    *phHash = reinterpret_cast<HCRYPTHASH>(h.release());
    return true;
}

bool CryptHashData(HCRYPTHASH hHash, const std::uint8_t* pbData, std::uint32_t dwDataLen,
                   std::uint32_t dwFlags) {
    THash* h = AsHash(hHash);
    if (!h) return Fail(NTE_BAD_HASH);
    if (dwFlags) return Fail(NTE_BAD_FLAGS);
    if (dwDataLen && !pbData) return Fail(CRYPT_ERROR_INVALID_PARAMETER);
    if (h->Finished) return Fail(NTE_BAD_HASH_STATE);
    if (dwDataLen && EVP_DigestUpdate(h->Ctx, pbData, dwDataLen) != 1) return Fail(NTE_FAIL);
    return true;
}

bool CryptGetHashParam(HCRYPTHASH hHash, std::uint32_t dwParam, std::uint8_t* pbData,
                       std::uint32_t* pdwDataLen, std::uint32_t dwFlags) {
    THash* h = AsHash(hHash);
    if (!h) return Fail(NTE_BAD_HASH);
    if (!pdwDataLen) return Fail(CRYPT_ERROR_INVALID_PARAMETER);
    if (dwFlags) return Fail(NTE_BAD_FLAGS);
    const auto size = static_cast<std::uint32_t>(EVP_MD_CTX_get_size(h->Ctx));
    switch (dwParam) {
    case HP_ALGID:
        return PutParam(&h->Alg, sizeof h->Alg, pbData, pdwDataLen);
    case HP_HASHSIZE:
        return PutParam(&size, sizeof size, pbData, pdwDataLen);
    case HP_HASHVAL:
        if (pbData && *pdwDataLen >= size && !h->Finished) {
            if (EVP_DigestFinal_ex(h->Ctx, h->Value, &h->ValueSize) != 1) return Fail(NTE_FAIL);
            h->Finished = true;
        }
        if (!h->Finished) return PutParam(h->Value, size, pbData, pdwDataLen);
        return PutParam(h->Value, h->ValueSize, pbData, pdwDataLen);
    default:
        return Fail(NTE_BAD_TYPE);
    }
}

bool CryptDestroyHash(HCRYPTHASH hHash) {
    THash* h = AsHash(hHash);
    if (!h) return Fail(NTE_BAD_HASH);
    h->Tag = kDeadTag;
    delete h;
    return true;
}

std::uint32_t CryptLastError() {
    return tLastError;
}

std::string CryptErrorText(std::uint32_t code) {
    switch (code) {
    case CRYPT_ERROR_INVALID_PARAMETER:
        return "The parameter is incorrect.";
    case CRYPT_ERROR_MORE_DATA:
        return "More data is available.";
    case NTE_BAD_UID:
        return "Bad UID.";
    case NTE_BAD_HASH:
        return "Invalid hash.";
    case NTE_BAD_ALGID:
        return "Invalid algorithm specified.";
    case NTE_BAD_FLAGS:
        return "Invalid flags specified.";
    case NTE_BAD_TYPE:
        return "Invalid type specified.";
    case NTE_BAD_HASH_STATE:
        return "Hash not valid for use in specified state.";
    case NTE_PROV_TYPE_NOT_DEF:
        return "Provider type not defined.";
    case NTE_KEYSET_NOT_DEF:
        return "The requested provider does not exist.";
    default:
        return {};
    }
}
