// Decodes the same gzip corpora with TclGZipInflateStream and with zlib,
// feeding compressed input and taking output in 16 KiB pieces as the HTTP
// client does, and prints MB/s of decoded output for both and their ratio.
// Usage: bench_inflate [seconds per measurement] [extra files...]
#include "RtlStream.h"
#include "clZLibStreams.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kPiece = 16384;

// Where decoded bytes go: copied into a reused buffer, like a memory stream
// that has already grown.
class SinkStream : public TStream {
public:
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        if (FBuf.size() < static_cast<std::size_t>(count)) FBuf.resize(count);
        std::memcpy(FBuf.data(), buffer, static_cast<std::size_t>(count));
        FTotal += count;
        return count;
    }
    std::int64_t Seek(std::int64_t, TSeekOrigin) override { return FTotal; }
    std::int64_t Total() const { return FTotal; }

private:
    Bytes FBuf;
    std::int64_t FTotal = 0;
};

Bytes Gzip(const Bytes& data, int level) {
    z_stream s{};
    deflateInit2(&s, level, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&s, static_cast<uLong>(data.size())));
    s.next_in = const_cast<std::uint8_t*>(data.data());
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

std::int64_t DecodeOurs(const Bytes& gz) {
    SinkStream sink;
    TclGZipInflateStream stream(sink);
    for (std::size_t pos = 0; pos < gz.size(); pos += kPiece)
        stream.Write(gz.data() + pos, static_cast<std::int64_t>(std::min(kPiece, gz.size() - pos)));
    return sink.Total();
}

std::int64_t DecodeZlib(const Bytes& gz) {
    SinkStream sink;
    z_stream s{};
    inflateInit2(&s, 31);
    std::uint8_t out[kPiece];
    for (std::size_t pos = 0; pos < gz.size(); pos += kPiece) {
        s.next_in = const_cast<std::uint8_t*>(gz.data() + pos);
        s.avail_in = static_cast<uInt>(std::min(kPiece, gz.size() - pos));
        do {
            s.next_out = out;
            s.avail_out = sizeof out;
            const int rc = inflate(&s, Z_NO_FLUSH);
            sink.Write(out, static_cast<std::int64_t>(sizeof out - s.avail_out));
            if (rc == Z_STREAM_END || rc < 0) break;
        } while (s.avail_out == 0);
    }
    inflateEnd(&s);
    return sink.Total();
}

// Best speed of each decoder over runs that alternate between the two within
// the time budget, in MB/s of output; alternating keeps a busy machine from
// favouring whichever decoder happens to run in a quiet moment.
// Processor time rather than wall time: on a shared machine the wall clock
// mostly measures the other processes.
template <class F> double TimeOne(F decode, std::int64_t expected) {
    const std::clock_t t0 = std::clock();
    const std::int64_t n = decode();
    const double dt = std::max(static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC, 1e-6);
    if (n != expected) {
        std::fprintf(stderr, "wrong output size %lld, expected %lld\n", (long long)n,
                     (long long)expected);
        std::exit(1);
    }
    return static_cast<double>(n) / dt / 1e6;
}

template <class A, class B>
void Measure(A ours, B zlib, std::int64_t expected, double seconds, double& bestOurs,
             double& bestZlib) {
    using Clock = std::chrono::steady_clock;
    bestOurs = bestZlib = 0;
    const auto stop = Clock::now() + std::chrono::duration<double>(seconds);
    do {
        bestOurs = std::max(bestOurs, TimeOne(ours, expected));
        bestZlib = std::max(bestZlib, TimeOne(zlib, expected));
    } while (Clock::now() < stop);
}

Bytes JsonText(std::size_t size) {
    std::mt19937 r(1);
    static const char* const cities[] = {"Beijing", "Shanghai", "Wuhan", "Guangzhou", "Chengdu"};
    static const char* const weather[] = {"\xE6\x99\xB4", "\xE5\xA4\x9A\xE4\xBA\x91",
                                          "\xE5\xB0\x8F\xE9\x9B\xA8"};
    std::string s = "{\"data\":[";
    while (s.size() < size) {
        s += "{\"city\":\"" + std::string(cities[r() % 5]) + "\",\"date\":\"2020-0" +
             std::to_string(1 + r() % 9) + "-1" + std::to_string(r() % 10) + "\",\"wea\":\"" +
             weather[r() % 3] + "\",\"tem1\":\"" + std::to_string(r() % 40) + "\",\"tem2\":\"" +
             std::to_string(r() % 20) + "\",\"confirmedCount\":" + std::to_string(r() % 100000) +
             ",\"deadCount\":" + std::to_string(r() % 3000) + "},\n";
    }
    s.resize(size);
    return Bytes(s.begin(), s.end());
}

// Records of small integers and floats, like a table of numbers in a binary
// file format.
Bytes BinaryRecords(std::size_t size) {
    std::mt19937 r(2);
    Bytes b;
    std::uint32_t id = 0;
    while (b.size() < size) {
        struct {
            std::uint32_t Id;
            std::uint16_t Kind;
            std::uint16_t Flags;
            float Value;
            std::int32_t Delta;
        } rec{id++, static_cast<std::uint16_t>(r() % 12), static_cast<std::uint16_t>(r() % 4 << 8),
              static_cast<float>(r() % 1000) / 8.0f, static_cast<std::int32_t>(r() % 200) - 100};
        const auto* p = reinterpret_cast<const std::uint8_t*>(&rec);
        b.insert(b.end(), p, p + sizeof rec);
    }
    b.resize(size);
    return b;
}

Bytes Incompressible(std::size_t size) {
    std::mt19937_64 r(3);
    Bytes b(size);
    for (auto& x : b)
        x = static_cast<std::uint8_t>(r());
    return b;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    struct Corpus {
        std::string Name;
        Bytes Data;
    };
    std::vector<Corpus> corpora = {{"json", JsonText(16 << 20)},
                                   {"binary", BinaryRecords(16 << 20)},
                                   {"incompressible", Incompressible(16 << 20)}};
    for (int i = 2; i < argc; ++i) {
        std::ifstream f(argv[i], std::ios::binary);
        corpora.push_back({argv[i], Bytes(std::istreambuf_iterator<char>(f), {})});
    }
    std::printf("%-16s %10s %8s %12s %12s %7s\n", "corpus", "size", "gz%", "ours MB/s", "zlib MB/s",
                "ratio");
    double worst = 1e9;
    for (const Corpus& c : corpora) {
        const Bytes gz = Gzip(c.Data, 6);
        const auto expected = static_cast<std::int64_t>(c.Data.size());
        double ours, zlib;
        Measure([&] { return DecodeOurs(gz); }, [&] { return DecodeZlib(gz); }, expected, seconds,
                ours, zlib);
        worst = std::min(worst, ours / zlib);
        std::printf("%-16s %10zu %7.1f%% %12.1f %12.1f %6.2fx\n", c.Name.c_str(), c.Data.size(),
                    100.0 * static_cast<double>(gz.size()) / static_cast<double>(c.Data.size()),
                    ours, zlib, ours / zlib);
    }
    std::printf("worst ratio %.2fx\n", worst);
    return 0;
}
