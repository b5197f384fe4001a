// MD5 through the platform hash service: the RFC 1321 suite, md5sum on random
// data, the restart after Digest, and misuse.
#include "TestSupport.h"
#include "clCryptHash.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using testing_support::RunCommand;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(Md5, Rfc1321Suite) {
    const std::pair<const char16_t*, const char16_t*> suite[] = {
        {u"a", u"0cc175b9c0f1b6a831c399e269772661"},
        {u"abc", u"900150983cd24fb0d6963f7d28e17f72"},
        {u"message digest", u"f96b697d7cb7938d525a2f31aaf161d0"},
        {u"abcdefghijklmnopqrstuvwxyz", u"c3fcd3d76192e4007dfb496cca67e13b"},
        {u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         u"d174ab98d277d9f5a5611c2c9f419d9f"},
    };
    for (const auto& [text, digest] : suite)
        EXPECT_EQ(Md5HexOfText(text), digest);
    String digits;
    for (int i = 0; i < 8; ++i)
        digits += u"1234567890";
    EXPECT_EQ(Md5HexOfText(digits), u"57edf4a22be3c955ac49da2e2107b67a");
    // The empty text gives the empty text, not the digest of no bytes.
    EXPECT_EQ(Md5HexOfText(u""), u"");
    // Text goes in as UTF-8 (the ANSI code page).
    EXPECT_EQ(Md5HexOfText(u"\u00E9"), u"66ddcd97cfdeabb2f6fb8a999b4bc76f");
    EXPECT_EQ(Md5HexOfText(u"\u4E2D\u6587"), u"a7bac2239fcdcb3a067903d8077c4a07");
}

TEST(Md5, MatchesMd5sumOnRandomDataFedInPieces) {
    TempDir dir;
    std::mt19937 r(4);
    for (std::size_t size : {0u, 55u, 56u, 64u, 1000u, 300000u}) {
        std::string data(size, '\0');
        for (auto& c : data)
            c = static_cast<char>(r());
        WriteFileBytes(dir.File("d"), data);
        const std::string expected = RunCommand("md5sum '" + dir.File("d") + "'").substr(0, 32);
        TclMd5 md5;
        md5.Init();
        EXPECT_EQ(md5.GetBlockSize(), 16);
        const auto* p = reinterpret_cast<const std::uint8_t*>(data.data());
        for (std::size_t pos = 0, step = 1; pos < size; pos += step, step = step * 2 + 1)
            md5.Update(p, static_cast<std::int32_t>(pos),
                       static_cast<std::int32_t>(std::min(step, size - pos)));
        EXPECT_EQ(StringToUtf8(BytesToHexLower(md5.Digest())), expected) << size;
    }
}

TEST(Md5, DigestRestartsTheHash) {
    TclMd5 md5;
    md5.Init();
    const std::uint8_t abc[] = {'a', 'b', 'c'};
    md5.Update(abc, 0, 3);
    EXPECT_EQ(BytesToHexLower(md5.Digest()), u"900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(BytesToHexLower(md5.Digest()), u"d41d8cd98f00b204e9800998ecf8427e");
    md5.Update(abc, 1, 2);
    EXPECT_EQ(BytesToHexLower(md5.Digest()), Md5HexOfText(u"bc"));
}

TEST(Md5, UseBeforeInitIsRefused) {
    TclMd5 md5;
    EXPECT_EQ(md5.GetBlockSize(), 0);
    const std::uint8_t b = 1;
    try {
        md5.Update(&b, 0, 1);
        FAIL() << "Update before Init was accepted";
    } catch (const EclCryptError& e) {
        EXPECT_NE(e.ErrorCode(), 0);
        EXPECT_EQ(e.Message(), u"Invalid hash");
    }
    EXPECT_THROW(md5.Digest(), EclCryptError);
    md5.Init();
    EXPECT_THROW(md5.Update(&b, -1, 1), EclCryptError);
}

TEST(Md5, ErrorTextsFollowThePlatformOrTheFunctionName) {
    try {
        RaiseCryptError(u"CryptHashData", 0x80090020u); // no text for this code
    } catch (const EclCryptError& e) {
        EXPECT_EQ(e.Message(), u"CryptHashData error - -2146893792");
        EXPECT_EQ(e.ErrorCode(), -2146893792);
    }
    try {
        RaiseCryptError(u"CryptCreateHash", 0x80090008u);
    } catch (const EclCryptError& e) {
        EXPECT_EQ(e.Message(), u"Invalid algorithm specified");
    }
}
