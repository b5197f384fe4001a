// A small hash service in the shape of the platform cryptography interface:
// acquire a provider context, create a hash object, feed it, read parameters,
// destroy, release. Every call returns success; on failure the calling
// thread's crypto error (CryptLastError) says why.
#pragma once

#include <cstdint>
#include <string>

using HCRYPTPROV = std::uintptr_t;
using HCRYPTHASH = std::uintptr_t;
using HCRYPTKEY = std::uintptr_t;
using ALG_ID = std::uint32_t;

// Provider types, flags, algorithms and hash parameters the service knows.
constexpr std::uint32_t PROV_RSA_FULL = 1;
constexpr std::uint32_t CRYPT_VERIFYCONTEXT = 0xF0000000u;
constexpr ALG_ID CALG_MD5 = 0x8003;
constexpr ALG_ID CALG_SHA1 = 0x8004;
constexpr ALG_ID CALG_SHA_256 = 0x800C;
constexpr std::uint32_t HP_ALGID = 1;
constexpr std::uint32_t HP_HASHVAL = 2;
constexpr std::uint32_t HP_HASHSIZE = 4;

// The provider this service stands in for; an empty or null name means it too.
constexpr const char* MS_DEF_PROV_A = "Microsoft Base Cryptographic Provider v1.0";

// Error numbers, as the platform interface numbers them.
constexpr std::uint32_t CRYPT_ERROR_INVALID_PARAMETER = 87;
constexpr std::uint32_t CRYPT_ERROR_MORE_DATA = 234;
constexpr std::uint32_t NTE_BAD_HASH = 0x80090002u;
constexpr std::uint32_t NTE_BAD_ALGID = 0x80090008u;
constexpr std::uint32_t NTE_BAD_FLAGS = 0x80090009u;
constexpr std::uint32_t NTE_BAD_TYPE = 0x8009000Au;
constexpr std::uint32_t NTE_BAD_UID = 0x80090001u;
constexpr std::uint32_t NTE_BAD_HASH_STATE = 0x8009000Cu;
constexpr std::uint32_t NTE_PROV_TYPE_NOT_DEF = 0x80090017u;
constexpr std::uint32_t NTE_KEYSET_NOT_DEF = 0x80090019u;
constexpr std::uint32_t NTE_FAIL = 0x80090020u;

bool CryptAcquireContextA(HCRYPTPROV* phProv, const char* szContainer, const char* szProvider,
                          std::uint32_t dwProvType, std::uint32_t dwFlags);
bool CryptReleaseContext(HCRYPTPROV hProv, std::uint32_t dwFlags);
bool CryptCreateHash(HCRYPTPROV hProv, ALG_ID Algid, HCRYPTKEY hKey, std::uint32_t dwFlags,
                     HCRYPTHASH* phHash);
bool CryptHashData(HCRYPTHASH hHash, const std::uint8_t* pbData, std::uint32_t dwDataLen,
                   std::uint32_t dwFlags);
// With pbData null, reports the size needed in *pdwDataLen. A buffer that is
// too small fails with CRYPT_ERROR_MORE_DATA and reports the size needed.
// Reading HP_HASHVAL finishes the hash: further data is refused.
bool CryptGetHashParam(HCRYPTHASH hHash, std::uint32_t dwParam, std::uint8_t* pbData,
                       std::uint32_t* pdwDataLen, std::uint32_t dwFlags);
bool CryptDestroyHash(HCRYPTHASH hHash);

// The calling thread's error of the last failing call above.
std::uint32_t CryptLastError();
// The service's text for one of its error numbers; empty when it has none.
std::string CryptErrorText(std::uint32_t code);
