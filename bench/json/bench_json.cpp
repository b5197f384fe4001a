// JSON parse and write speed of TQJson next to nlohmann::json and RapidJSON.
//
// Parse: from UTF-8 bytes to a tree (for TQJson: the library's decoding to
// UTF-16, then Parse). Write: from a tree back to UTF-8 bytes without
// formatting (for TQJson: SaveToStream into a memory stream, UTF-8 without
// byte-order mark, as SaveToFile does before it writes the file). Each measurement is the best of
// several runs in processor time, so that other load on the machine counts less; throughput is
// counted in bytes of the UTF-8 document.
#include "qjson.h"

#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// --- documents ---------------------------------------------------------------------

std::string ArrayOfSmallObjects(std::size_t target) {
    std::mt19937 rng(1);
    std::string s = "[";
    for (int i = 0; s.size() < target; ++i) {
        if (i) s += ',';
        s += "{\"id\":" + std::to_string(i) + ",\"name\":\"item" + std::to_string(rng() % 100000) +
             "\",\"count\":" + std::to_string(rng() % 1000) +
             ",\"active\":" + (rng() % 2 ? "true" : "false") +
             ",\"tags\":[\"a\",\"bc\"],\"owner\":null}";
    }
    return s + "]";
}

std::string NumberHeavy(std::size_t target) {
    std::mt19937 rng(2);
    std::string s = "[";
    char buf[64];
    for (int i = 0; s.size() < target; ++i) {
        if (i) s += ',';
        std::snprintf(buf, sizeof buf, "{\"x\":%.6f,\"y\":%.4e,\"n\":%d}",
                      (rng() % 2000000) / 1000.0 - 1000, (rng() % 100000) * 1e-3,
                      int(rng() % 100000));
        s += buf;
    }
    return s + "]";
}

void Nest(std::string& s, int depth, std::mt19937& rng) {
    s += "{\"level\":" + std::to_string(depth) + ",\"label\":\"n" + std::to_string(rng() % 1000) +
         "\"";
    if (depth > 0) {
        s += ",\"child\":";
        Nest(s, depth - 1, rng);
        if (depth % 8 == 0) {
            s += ",\"side\":";
            Nest(s, 2, rng);
        }
    }
    s += '}';
}

std::string DeeplyNested(std::size_t target) {
    std::mt19937 rng(3);
    std::string s = "[";
    for (int i = 0; s.size() < target; ++i) {
        if (i) s += ',';
        Nest(s, 100, rng);
    }
    return s + "]";
}

std::string StringHeavy(std::size_t target) {
    std::mt19937 rng(4);
    static const char* pieces[] = {"lorem ipsum ",
                                   "dolor \\\"sit\\\" amet ",
                                   "line\\nbreak ",
                                   "tab\\there ",
                                   "back\\\\slash ",
                                   "\\u00e9t\\u00e9 ",
                                   "\xe4\xb8\xad\xe6\x96\x87 ",
                                   "emoji \\ud83d\\ude00 ",
                                   "plain text "};
    std::string s = "[";
    for (int i = 0; s.size() < target; ++i) {
        if (i) s += ',';
        s += "{\"text\":\"";
        const int n = 5 + static_cast<int>(rng() % 30);
        for (int k = 0; k < n; ++k)
            s += pieces[rng() % 9];
        s += "\"}";
    }
    return s + "]";
}

// --- timing ------------------------------------------------------------------------

double Seconds(const std::function<void()>& run) {
    const std::clock_t t0 = std::clock();
    run();
    return static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
}

struct Result {
    double ours, nlohmann, rapid;
};

// Keeps a result alive so that the compiler cannot drop the work.
template <class T> void Keep(const T& v) {
    asm volatile("" : : "g"(&v) : "memory");
}

// The three libraries take turns, round after round, so that changing load
// on the machine hits them alike; each keeps its best round.
Result BestOfRounds(const std::function<void()>& ours, const std::function<void()>& nlohmann,
                    const std::function<void()>& rapid) {
    Result best{1e9, 1e9, 1e9};
    for (int round = 0; round < 9; ++round) {
        best.ours = std::min(best.ours, Seconds(ours));
        best.nlohmann = std::min(best.nlohmann, Seconds(nlohmann));
        best.rapid = std::min(best.rapid, Seconds(rapid));
    }
    return best;
}

Result MeasureParse(const std::string& doc) {
    return BestOfRounds(
        [&] {
            TQJson d;
            d.Parse(DecodeUtf8(reinterpret_cast<const std::uint8_t*>(doc.data()), doc.size()));
            Keep(d);
        },
        [&] {
            auto j = nlohmann::json::parse(doc);
            Keep(j);
        },
        [&] {
            rapidjson::Document d;
            d.Parse(doc.c_str(), doc.size());
            Keep(d);
        });
}

Result MeasureWrite(const std::string& doc) {
    TQJson ours;
    ours.Parse(DecodeUtf8(reinterpret_cast<const std::uint8_t*>(doc.data()), doc.size()));
    const auto nl = nlohmann::json::parse(doc);
    rapidjson::Document rd;
    rd.Parse(doc.c_str(), doc.size());
    return BestOfRounds(
        [&] {
            TMemoryStream out;
            ours.SaveToStream(out, teUTF8, false, false);
            Keep(out);
        },
        [&] {
            const std::string out = nl.dump();
            Keep(out);
        },
        [&] {
            rapidjson::StringBuffer buffer;
            rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
            rd.Accept(writer);
            Keep(buffer);
        });
}

void Print(const char* shape, const char* what, std::size_t bytes, const Result& r) {
    const double mb = bytes / 1e6;
    std::printf("%-22s %-5s  TQJson %7.1f MB/s  nlohmann %7.1f MB/s  RapidJSON %7.1f MB/s  "
                "TQJson/nlohmann %5.2f  TQJson/RapidJSON %5.2f\n",
                shape, what, mb / r.ours, mb / r.nlohmann, mb / r.rapid, r.nlohmann / r.ours,
                r.rapid / r.ours);
}

} // namespace

int main(int argc, char** argv) {
    // An optional argument picks the shapes whose name contains it.
    const std::string only = argc > 1 ? argv[1] : "";
    const std::size_t size = 8 << 20;
    const struct {
        const char* name;
        std::string doc;
    } shapes[] = {{"array of small objects", ArrayOfSmallObjects(size)},
                  {"deeply nested objects", DeeplyNested(size)},
                  {"strings with escapes", StringHeavy(size)},
                  {"numbers", NumberHeavy(size)}};
    bool fast = true;
    for (const auto& s : shapes) {
        if (std::string(s.name).find(only) == std::string::npos) continue;
        // Every library must read the document the same way before it is timed.
        TQJson check;
        check.Parse(DecodeUtf8(reinterpret_cast<const std::uint8_t*>(s.doc.data()), s.doc.size()));
        if (nlohmann::json::parse(s.doc).size() != static_cast<std::size_t>(check.GetCount())) {
            std::printf("%s: the libraries disagree\n", s.name);
            return 1;
        }
        const Result p = MeasureParse(s.doc);
        const Result w = MeasureWrite(s.doc);
        Print(s.name, "parse", s.doc.size(), p);
        Print(s.name, "write", s.doc.size(), w);
        fast = fast && p.ours <= p.nlohmann && w.ours <= w.nlohmann;
    }
    std::printf("%s\n", fast ? "TQJson is at least as fast as nlohmann::json on every shape"
                             : "TQJson is slower than nlohmann::json on some shape");
    return fast ? 0 : 2;
}
