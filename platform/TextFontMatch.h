// Choosing faces for a logical font: the process's registered font files
// first, then the installed faces through fontconfig, after a table that maps
// the Windows face names the program asks for to installed equivalents.
#pragma once

#include "TextEngine.h"

#include <cstddef>
#include <memory>
#include <string>

namespace platform::text {

// One face of a font file, and what must be synthesised because the face
// lacks the requested style.
struct FaceSource {
    std::string File;
    int Index = 0;
    std::string Family;
    bool SynthBold = false;
    bool SynthItalic = false;
};

// The faces to try, in order, for characters the chosen face lacks.
class FallbackFaces {
public:
    struct Impl; // defined where the list is built
    FallbackFaces();
    explicit FallbackFaces(std::unique_ptr<Impl> impl);
    ~FallbackFaces();
    FallbackFaces(FallbackFaces&&) noexcept;
    FallbackFaces& operator=(FallbackFaces&&) noexcept;

    std::size_t Count() const;
    const FaceSource& Face(std::size_t i) const;
    // Whether face i maps the code point (from fontconfig's coverage data,
    // without opening the file).
    bool HasChar(std::size_t i, char32_t c) const;

private:
    std::unique_ptr<Impl> P;
};

struct FontMatch {
    bool Found = false; // false only when no face at all is installed
    FaceSource Primary;
    FallbackFaces Fallbacks;
};

FontMatch MatchFont(const LogicalFont& logical);

// The installed family that a requested face name stands for, or the name
// itself when the table has no entry.
std::string SubstituteFaceName(const std::string& utf8Face);

// Registration of font files for this process (reference counted per path).
bool RegisterFontFile(const std::string& path);
bool UnregisterFontFile(const std::string& path);

} // namespace platform::text
