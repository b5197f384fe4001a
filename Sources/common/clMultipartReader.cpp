#include "clMultipartReader.h"

#include <utility>

TclMultipartReader::TclMultipartReader(std::string ABoundary)
    // The first delimiter stands at the very start of the body, without the
    // CR LF that precedes every later one; a CR LF in front lets one search
    // find them all.
    : FDelimiter("\r\n--" + std::move(ABoundary)), FPending("\r\n") {}

void TclMultipartReader::Write(const std::uint8_t* AData, std::size_t ACount) {
    if (FState == TState::Done) return;
    FPending.append(reinterpret_cast<const char*>(AData), ACount);
    while (FState != TState::Done && Step()) {
    }
}

void TclMultipartReader::Finish() {
    // A part cut off in its data keeps what arrived; one cut off in its
    // header never started.
    if (FState == TState::Data) {
        if (!FPending.empty() && OnPartData)
            OnPartData(reinterpret_cast<const std::uint8_t*>(FPending.data()), FPending.size());
        if (OnPartEnd) OnPartEnd();
    }
    FPending.clear();
    FState = TState::Done;
}

// Looks for the next delimiter. Bytes before it belong to the open part (or
// are dropped in the preamble); without a match, all but the bytes that may
// begin a delimiter are passed on now.
bool TclMultipartReader::ScanForDelimiter(bool AInPart) {
    const std::size_t at = FPending.find(FDelimiter);
    const std::size_t keep = FDelimiter.size() - 1;
    std::size_t take = at;
    if (at == std::string::npos) take = FPending.size() > keep ? FPending.size() - keep : 0;
    if (AInPart && take > 0 && OnPartData)
        OnPartData(reinterpret_cast<const std::uint8_t*>(FPending.data()), take);
    if (at == std::string::npos) {
        FPending.erase(0, take);
        return false;
    }
    FPending.erase(0, at + FDelimiter.size());
    if (AInPart && OnPartEnd) OnPartEnd();
    FState = TState::DelimiterEnd;
    return true;
}

bool TclMultipartReader::Step() {
    switch (FState) {
    case TState::Preamble:
        return ScanForDelimiter(false);
    case TState::Data:
        return ScanForDelimiter(true);

    case TState::DelimiterEnd:
        // "--" right after the delimiter closes the body.
        if (FPending.empty() || (FPending.size() < 2 && FPending[0] == '-')) return false;
        if (FPending.compare(0, 2, "--") == 0) {
            FClosed = true;
            FState = TState::Done;
            FPending.clear();
            return false;
        }
        FState = TState::Padding;
        return true;

    case TState::Padding: {
        const std::size_t lf = FPending.find('\n');
        if (lf == std::string::npos) {
            FPending.clear();
            return false;
        }
        FPending.erase(0, lf + 1);
        FHeader = "\r\n";
        FHeaderScanned = 0;
        FState = TState::Header;
        return true;
    }

    case TState::Header: {
        // FHeader starts with the delimiter line's CR LF, so an empty header
        // block is found by the same search as a full one.
        FHeader += FPending;
        FPending.clear();
        const std::size_t end = FHeader.find("\r\n\r\n", FHeaderScanned);
        if (end == std::string::npos) {
            FHeaderScanned = FHeader.size() > 3 ? FHeader.size() - 3 : 0;
            return false;
        }
        FPending = FHeader.substr(end + 4);
        const std::string header = end >= 2 ? FHeader.substr(2, end - 2) : std::string();
        FHeader.clear();
        FState = TState::Data;
        if (OnPartBegin) OnPartBegin(header);
        return true;
    }

    case TState::Done:
        return false;
    }
    return false;
}
