// The platform hash service: what it accepts, and the errors it reports for
// what it does not.
#include "PlatformCrypt.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Context {
    HCRYPTPROV Prov = 0;
    HCRYPTHASH Hash = 0;
    ~Context() {
        if (Hash) CryptDestroyHash(Hash);
        if (Prov) CryptReleaseContext(Prov, 0);
    }
};

} // namespace

TEST(CryptService, AcquiresOnlyWhatItOffers) {
    HCRYPTPROV p = 0;
    ASSERT_TRUE(
        CryptAcquireContextA(&p, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
    EXPECT_TRUE(CryptReleaseContext(p, 0));
    ASSERT_TRUE(CryptAcquireContextA(&p, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
    EXPECT_TRUE(CryptReleaseContext(p, 0));

    EXPECT_FALSE(CryptAcquireContextA(&p, nullptr, "Some Other Provider", PROV_RSA_FULL,
                                      CRYPT_VERIFYCONTEXT));
    EXPECT_EQ(CryptLastError(), NTE_KEYSET_NOT_DEF);
    EXPECT_EQ(p, 0u);
    EXPECT_FALSE(CryptAcquireContextA(&p, nullptr, nullptr, 24, CRYPT_VERIFYCONTEXT));
    EXPECT_EQ(CryptLastError(), NTE_PROV_TYPE_NOT_DEF);
    EXPECT_FALSE(CryptAcquireContextA(&p, "container", nullptr, PROV_RSA_FULL, 0));
    EXPECT_EQ(CryptLastError(), NTE_BAD_FLAGS);
    EXPECT_FALSE(CryptReleaseContext(0, 0));
    EXPECT_EQ(CryptLastError(), NTE_BAD_UID);
}

TEST(CryptService, HashObjectLifecycle) {
    Context c;
    ASSERT_TRUE(
        CryptAcquireContextA(&c.Prov, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
    HCRYPTHASH bad = 0;
    EXPECT_FALSE(CryptCreateHash(c.Prov, 0x6610, 0, 0, &bad));
    EXPECT_EQ(CryptLastError(), NTE_BAD_ALGID);
    EXPECT_FALSE(CryptCreateHash(0, CALG_MD5, 0, 0, &bad));
    EXPECT_EQ(CryptLastError(), NTE_BAD_UID);
    // A hash handle is not a context handle.
    ASSERT_TRUE(CryptCreateHash(c.Prov, CALG_MD5, 0, 0, &c.Hash));
    EXPECT_FALSE(CryptReleaseContext(c.Hash, 0));

    std::uint32_t size = 0, len = sizeof size;
    ASSERT_TRUE(
        CryptGetHashParam(c.Hash, HP_HASHSIZE, reinterpret_cast<std::uint8_t*>(&size), &len, 0));
    EXPECT_EQ(size, 16u);
    const std::uint8_t abc[] = {'a', 'b', 'c'};
    ASSERT_TRUE(CryptHashData(c.Hash, abc, 3, 0));

    std::uint8_t digest[16];
    len = 8;
    EXPECT_FALSE(CryptGetHashParam(c.Hash, HP_HASHVAL, digest, &len, 0));
    EXPECT_EQ(CryptLastError(), CRYPT_ERROR_MORE_DATA);
    EXPECT_EQ(len, 16u);
    ASSERT_TRUE(CryptGetHashParam(c.Hash, HP_HASHVAL, digest, &len, 0));
    EXPECT_EQ(digest[0], 0x90);
    EXPECT_EQ(digest[15], 0x72);
    // Reading the value finishes the hash.
    EXPECT_FALSE(CryptHashData(c.Hash, abc, 3, 0));
    EXPECT_EQ(CryptLastError(), NTE_BAD_HASH_STATE);
    std::uint8_t again[16];
    ASSERT_TRUE(CryptGetHashParam(c.Hash, HP_HASHVAL, again, &len, 0));
    EXPECT_EQ(0, std::memcmp(digest, again, 16));

    EXPECT_FALSE(CryptGetHashParam(c.Hash, 99, digest, &len, 0));
    EXPECT_EQ(CryptLastError(), NTE_BAD_TYPE);
    EXPECT_TRUE(CryptDestroyHash(c.Hash));
    c.Hash = 0;
    EXPECT_FALSE(CryptHashData(0, abc, 3, 0));
    EXPECT_EQ(CryptLastError(), NTE_BAD_HASH);
    EXPECT_EQ(CryptErrorText(NTE_BAD_HASH), "Invalid hash.");
    EXPECT_EQ(CryptErrorText(12345), "");
}
