#include "TextFontMatch.h"

#include "TextUnicode.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace platform::text {

namespace {

// Windows face names that the program's fonts name, mapped to installed faces
// of the same kind. Names compare ignoring ASCII case. The Chinese faces are
// replaced by ones whose Latin letters, digits and blanks are half an em wide,
// as in the faces they stand for: designs line up words by counting blanks.
struct Substitution {
    const char* From;
    const char* To;
};
constexpr Substitution kSubstitutions[] = {
    {"\xE5\xAE\x8B\xE4\xBD\x93", "AR PL UMing CN"}, // 宋体
    {"SimSun", "AR PL UMing CN"},
    {"\xE6\x96\xB0\xE5\xAE\x8B\xE4\xBD\x93", "AR PL UMing CN"}, // 新宋体
    {"NSimSun", "AR PL UMing CN"},
    {"\xE9\xBB\x91\xE4\xBD\x93", "WenQuanYi Zen Hei Mono"}, // 黑体
    {"SimHei", "WenQuanYi Zen Hei Mono"},
    {"Tahoma", "DejaVu Sans"},
};

const FcChar8* U8(const std::string& s) {
    return reinterpret_cast<const FcChar8*>(s.c_str());
}

bool SameFamily(const std::string& a, const char* b) {
    return FcStrCmpIgnoreCase(U8(a), reinterpret_cast<const FcChar8*>(b)) == 0;
}

// The fontconfig configuration of this process, loaded once. It is never
// destroyed: fonts held in callers' static objects may still use the
// coverage data it owns while the process exits.
FcConfig* Config() {
    static FcConfig* const config = FcInitLoadConfigAndFonts();
    return config;
}

// One face of a registered font file, as fontconfig describes it.
struct RegisteredFace {
    std::string File;
    int Index = 0;
    std::vector<std::string> Families;
    int Weight = FC_WEIGHT_REGULAR;
    int Slant = FC_SLANT_ROMAN;
};

struct RegisteredFile {
    std::string Path;
    int Count = 0;
    std::vector<RegisteredFace> Faces;
};

std::vector<RegisteredFile>& Registry() {
    static std::vector<RegisteredFile> files;
    return files;
}

std::string GetString(FcPattern* p, const char* object, int n = 0) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(p, object, n, &value) != FcResultMatch || !value) return {};
    return reinterpret_cast<const char*>(value);
}

int GetInteger(FcPattern* p, const char* object, int fallback) {
    int value = 0;
    return FcPatternGetInteger(p, object, 0, &value) == FcResultMatch ? value : fallback;
}

int GetWeight(FcPattern* p) {
    // Variable fonts report a weight range; take its default as plain double.
    double value = 0;
    if (FcPatternGetDouble(p, FC_WEIGHT, 0, &value) == FcResultMatch) return int(value);
    return GetInteger(p, FC_WEIGHT, FC_WEIGHT_REGULAR);
}

bool WantsBold(const LogicalFont& logical) {
    return logical.Weight >= FW_SEMIBOLD;
}

void DecideSynthesis(FaceSource& face, const LogicalFont& logical, int fcWeight, int fcSlant) {
    face.SynthBold = WantsBold(logical) && fcWeight < FC_WEIGHT_DEMIBOLD;
    face.SynthItalic = logical.Italic && fcSlant == FC_SLANT_ROMAN;
}

// The registered face of `family` closest to the requested style.
const RegisteredFace* FindRegistered(const std::string& family, const LogicalFont& logical) {
    const int wantWeight = FcWeightFromOpenType(logical.Weight > 0 ? logical.Weight : FW_NORMAL);
    const RegisteredFace* best = nullptr;
    int bestScore = 0;
    for (const RegisteredFile& file : Registry()) {
        for (const RegisteredFace& face : file.Faces) {
            const bool named =
                std::any_of(face.Families.begin(), face.Families.end(),
                            [&](const std::string& f) { return SameFamily(family, f.c_str()); });
            if (!named) continue;
            const bool slantMatches = (face.Slant != FC_SLANT_ROMAN) == logical.Italic;
            const int score = std::abs(face.Weight - wantWeight) + (slantMatches ? 0 : 1000);
            if (!best || score < bestScore) {
                best = &face;
                bestScore = score;
            }
        }
    }
    return best;
}

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;

PatternPtr BuildPattern(const std::string& family, const LogicalFont& logical) {
    PatternPtr pattern(FcPatternCreate());
    if (!family.empty()) FcPatternAddString(pattern.get(), FC_FAMILY, U8(family));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT,
                        FcWeightFromOpenType(logical.Weight > 0 ? logical.Weight : FW_NORMAL));
    FcPatternAddInteger(pattern.get(), FC_SLANT, logical.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (logical.CharSet == GB2312_CHARSET)
        FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcConfigSubstitute(Config(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    return pattern;
}

} // namespace

} // namespace platform::text

// fontconfig loses a few bytes while it parses its own configuration files;
// that happens once and is not ours to fix. The library is built without
// frame pointers, so the leak checker sees no deeper than its own frames and
// only the library as a whole can be named. Our own fontconfig objects are
// all held by owners that free them. Builds without the leak checker never
// call this.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace platform::text {

struct FallbackFaces::Impl {
    struct Entry {
        FaceSource Face;
        FcCharSet* Chars = nullptr; // a reference of our own
    };
    std::vector<Entry> Entries;

    ~Impl() {
        for (Entry& e : Entries)
            if (e.Chars) FcCharSetDestroy(e.Chars);
    }
};

FallbackFaces::FallbackFaces() = default;
FallbackFaces::FallbackFaces(std::unique_ptr<Impl> impl) : P(std::move(impl)) {}
FallbackFaces::~FallbackFaces() = default;
FallbackFaces::FallbackFaces(FallbackFaces&&) noexcept = default;
FallbackFaces& FallbackFaces::operator=(FallbackFaces&&) noexcept = default;

std::size_t FallbackFaces::Count() const {
    return P ? P->Entries.size() : 0;
}

const FaceSource& FallbackFaces::Face(std::size_t i) const {
    return P->Entries.at(i).Face;
}

bool FallbackFaces::HasChar(std::size_t i, char32_t c) const {
    const FcCharSet* chars = P->Entries.at(i).Chars;
    return chars && FcCharSetHasChar(chars, c);
}

std::string SubstituteFaceName(const std::string& utf8Face) {
    for (const Substitution& s : kSubstitutions)
        if (SameFamily(utf8Face, s.From)) return s.To;
    return utf8Face;
}

FontMatch MatchFont(const LogicalFont& logical) {
    FontMatch match;
    const std::string requested = Utf16ToUtf8(logical.Face);
    const std::string family = SubstituteFaceName(requested);

    const RegisteredFace* registered = FindRegistered(requested, logical);
    if (!registered && family != requested) registered = FindRegistered(family, logical);
    if (registered) {
        match.Found = true;
        match.Primary.File = registered->File;
        match.Primary.Index = registered->Index;
        match.Primary.Family = registered->Families.empty() ? family : registered->Families[0];
        DecideSynthesis(match.Primary, logical, registered->Weight, registered->Slant);
    }

    if (!Config()) return match;
    PatternPtr pattern = BuildPattern(family, logical);
    FcResult result = FcResultNoMatch;
    // Trimmed: a face that adds no character to those before it is left out.
    FontSetPtr sorted(FcFontSort(Config(), pattern.get(), FcTrue, nullptr, &result));
    if (!sorted) return match;

    auto impl = std::make_unique<FallbackFaces::Impl>();
    for (int i = 0; i < sorted->nfont; ++i) {
        FcPattern* font = sorted->fonts[i];
        FaceSource face;
        face.File = GetString(font, FC_FILE);
        if (face.File.empty()) continue;
        face.Index = GetInteger(font, FC_INDEX, 0);
        face.Family = GetString(font, FC_FAMILY);
        DecideSynthesis(face, logical, GetWeight(font), GetInteger(font, FC_SLANT, FC_SLANT_ROMAN));
        if (!match.Found) {
            match.Found = true;
            match.Primary = face;
            continue;
        }
        FcCharSet* chars = nullptr;
        FcPatternGetCharSet(font, FC_CHARSET, 0, &chars);
        impl->Entries.push_back({face, chars ? FcCharSetCopy(chars) : nullptr});
    }
    match.Fallbacks = FallbackFaces(std::move(impl));
    return match;
}

bool RegisterFontFile(const std::string& path) {
    auto& files = Registry();
    for (RegisteredFile& file : files) {
        if (file.Path == path) {
            ++file.Count;
            return true;
        }
    }
    FontSetPtr set(FcFontSetCreate());
    int faces = 0;
    FcFreeTypeQueryAll(U8(path), static_cast<unsigned>(-1), nullptr, &faces, set.get());
    RegisteredFile file;
    file.Path = path;
    file.Count = 1;
    for (int i = 0; i < set->nfont; ++i) {
        FcPattern* font = set->fonts[i];
        RegisteredFace face;
        face.File = path;
        face.Index = GetInteger(font, FC_INDEX, 0);
        for (int n = 0;; ++n) {
            std::string name = GetString(font, FC_FAMILY, n);
            if (name.empty()) break;
            face.Families.push_back(std::move(name));
        }
        face.Weight = GetWeight(font);
        face.Slant = GetInteger(font, FC_SLANT, FC_SLANT_ROMAN);
        if (!face.Families.empty()) file.Faces.push_back(std::move(face));
    }
    if (file.Faces.empty()) return false;
    files.push_back(std::move(file));
    return true;
}

bool UnregisterFontFile(const std::string& path) {
    auto& files = Registry();
    for (auto it = files.begin(); it != files.end(); ++it) {
        if (it->Path != path) continue;
        if (--it->Count == 0) files.erase(it);
        return true;
    }
    return false;
}

} // namespace platform::text
