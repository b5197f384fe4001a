#include "clCryptHash.h"

#include "PlatformCrypt.h"

#include <limits>
#include <memory>

TclCryptApiHash::~TclCryptApiHash() {
    Clear();
}

void TclCryptApiHash::Clear() {
    if (FHash) CryptDestroyHash(FHash);
    if (FContext) CryptReleaseContext(FContext, 0);
    FHash = 0;
    FContext = 0;
    FCSPPtr.clear();
}

void TclCryptApiHash::Init() {
    Clear();
    // The ANSI code page is UTF-8.
    FCSPPtr = StringToUtf8(Trim(ProviderName()));
    HCRYPTPROV context = 0;
    const bool acquired =
        CryptAcquireContextA(&context, nullptr, FCSPPtr.empty() ? nullptr : FCSPPtr.c_str(),
                             ProviderType(), CRYPT_VERIFYCONTEXT);
    if (!acquired) RaiseLastCryptError(u"CryptAcquireContext");
    FContext = context;
    HCRYPTHASH hash = 0;
    if (!CryptCreateHash(FContext, AlgorithmId(), 0, 0, &hash))
        RaiseLastCryptError(u"CryptCreateHash");
    FHash = hash;
    std::uint32_t size = 0;
    std::uint32_t len = sizeof size;
    if (!CryptGetHashParam(FHash, HP_HASHSIZE, reinterpret_cast<std::uint8_t*>(&size), &len, 0))
        RaiseLastCryptError(u"CryptGetHashParam");
    FBlockSize = static_cast<std::int32_t>(size);
}

void TclCryptApiHash::Update(const std::uint8_t* ABuffer, std::int32_t AStart, std::int32_t ALen) {
    // A programming error, but one that must not reach the provider with a
    // null handle in any build.
    if (!FHash) RaiseCryptError(u"CryptHashData", NTE_BAD_HASH);
    if (AStart < 0 || ALen < 0 || (ALen > 0 && !ABuffer))
        RaiseCryptError(u"CryptHashData", CRYPT_ERROR_INVALID_PARAMETER);
    if (!CryptHashData(FHash, ALen ? ABuffer + AStart : nullptr, static_cast<std::uint32_t>(ALen),
                       0))
        RaiseLastCryptError(u"CryptHashData");
}

TBytes TclCryptApiHash::Digest() {
    TBytes result(static_cast<std::size_t>(FBlockSize));
    std::uint32_t len = static_cast<std::uint32_t>(FBlockSize);
    if (!CryptGetHashParam(FHash, HP_HASHVAL, result.data(), &len, 0))
        RaiseLastCryptError(u"CryptGetHashParam");
    result.resize(len);
    Init();
    return result;
}

std::uint32_t TclMd5::AlgorithmId() {
    return CALG_MD5;
}
String TclMd5::ProviderName() {
    return AsciiToString(MS_DEF_PROV_A);
}
std::uint32_t TclMd5::ProviderType() {
    return PROV_RSA_FULL;
}

String Md5HexOfText(StringView AText) {
    if (AText.empty()) return {};
    const std::string bytes = StringToUtf8(AText);
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        RaiseCryptError(u"CryptHashData", CRYPT_ERROR_INVALID_PARAMETER);
    auto md5 = std::make_unique<TclMd5>();
    md5->Init();
    md5->Update(reinterpret_cast<const std::uint8_t*>(bytes.data()), 0,
                static_cast<std::int32_t>(bytes.size()));
    return BytesToHexLower(md5->Digest());
}
