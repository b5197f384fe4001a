// The deflate decoder: raw deflate data, or the same inside the zlib wrapper.
// Push-driven: the caller hands over input with SetInput and pulls output with
// Inflate until the inflater needs input or has finished.
#pragma once

#include "clChecksum.h"
#include "clHuffman.h"
#include "clZLibBuffer.h"

#include <cstdint>
#include <memory>

// Reads the code lengths of a dynamic block header, across as many inputs as
// it takes.
class TclInflaterHeader {
public:
    TclInflaterHeader();
    void Start() { FMode = hmCounts; }
    // Reads what the input holds; true once every code length is known.
    // Invalid headers raise EclZLibError.
    bool Step(TclInflateBuffer& AInput);

    const std::uint8_t* LitLenLens() const { return FLitdistLens; }
    std::int32_t LitLenCount() const { return FLnum; }
    const std::uint8_t* DistLens() const { return FLitdistLens + FLnum; }
    std::int32_t DistCount() const { return FDnum; }

private:
    enum THeaderMode { hmCounts, hmCodeLengthLens, hmLens, hmDone };

    std::uint8_t FBlLens[19];
    std::uint8_t FLitdistLens[286 + 30];
    TclInflaterHuffmanTree FBlTree;
    THeaderMode FMode = hmCounts;
    std::int32_t FLnum = 0;
    std::int32_t FDnum = 0;
    std::int32_t FBlnum = 0;
    std::int32_t FPtr = 0; // next code length to read
};

class TclInflater {
public:
    // Decoder states; the numbers are part of the decoder's contract.
    enum TInflaterMode : std::int32_t {
        imHeader = 0,
        imDictionaryId = 1,
        imBlockHeader = 2,
        imStoredLength = 3,
        imStoredLengthComplement = 4,
        imStoredData = 5,
        imDynamicHeader = 6,
        imLitLen = 7,
        imLengthExtra = 8,
        imDistance = 9,
        imDistanceExtra = 10,
        imTrailer = 11,
        imFinished = 12,
    };

    // zlib format (2-byte header, Adler-32 trailer).
    TclInflater();
    // ANoHeader: raw deflate data.
    explicit TclInflater(bool ANoHeader);
    TclInflater(const TclInflater&) = delete;
    TclInflater& operator=(const TclInflater&) = delete;
    ~TclInflater();

    // The buffer is not copied: it must stay valid until the inflater needs
    // input again. Input handed over before the previous one is used up
    // raises.
    void SetInput(const std::uint8_t* ABuffer, std::int32_t AOffset, std::int32_t ALen);
    void SetInput(const TBytes& ABuffer);

    // Fills ABuffer[AOffset, AOffset + ALen) with decoded bytes; returns how
    // many. Stops early only when more input or a dictionary is needed, or the
    // data has ended. ALen 0 runs the decoder once without copying anything.
    std::int32_t Inflate(std::uint8_t* ABuffer, std::int32_t AOffset, std::int32_t ALen);
    std::int32_t Inflate(TBytes& ABuffer);
    // Like Inflate, but hands out up to AMax bytes where they lie in the
    // window instead of copying them: AData points at them until the next
    // call into the inflater.
    std::int32_t InflateInPlace(const std::uint8_t*& AData, std::int32_t AMax);

    void SetDictionary(const std::uint8_t* ABuffer, std::int32_t AOffset, std::int32_t ALen);
    void Reset();

    // The final block has ended (and, in the zlib format, its checksum has been
    // verified) and all output has been handed out.
    bool IsFinished() const;
    bool IsNeedingInput() const { return FInput.IsNeedingInput(); }
    bool IsNeedingDictionary() const { return FMode == imDictionaryId && FDictionaryIdRead; }
    // Input bytes not consumed yet (whole bytes read ahead count as unread).
    std::int32_t RemainingInput() const { return FInput.RemainingInput(); }
    std::int64_t TotalIn() const { return FTotalIn - RemainingInput(); }
    std::int64_t TotalOut() const { return FTotalOut; }
    // Adler-32 of the output handed out; kept in the zlib format only (raw
    // data has no use for it and it would cost time).
    std::uint32_t Adler() const { return FAdler.GetValue(); }
    std::int32_t Mode() const { return FMode; }

private:
    // Runs the state machine until it cannot go on; true if anything changed.
    bool DecodeRun();
    void DecodeSteps();
    void DecodeFast();
    void HandOut(const std::uint8_t* AData, std::int32_t ALen);
    void UseFixedTables();
    void BuildDynamicTables();

    std::int32_t FMode = imBlockHeader;
    std::uint32_t FReadAdler = 0;
    std::uint32_t FNeededBits = 0;
    std::int32_t FRepLength = 0;
    std::int32_t FRepDist = 0;
    std::int32_t FUncomprLen = 0;
    bool FIsLastBlock = false;
    bool FDictionaryIdRead = false;
    std::int64_t FTotalOut = 0;
    std::int64_t FTotalIn = 0; // bytes handed over with SetInput
    bool FNoHeader;
    TclInflateBuffer FInput;
    TclOutputWindow FOutputWindow;
    TclAdler32 FAdler;
    std::unique_ptr<TclInflaterHeader> FDynHeader;
    const TclInflaterHuffmanTree* FLitlenTree = nullptr;
    const TclInflaterHuffmanTree* FDistTree = nullptr;
    std::unique_ptr<TclInflaterHuffmanTree> FOwnLitlenTree;
    std::unique_ptr<TclInflaterHuffmanTree> FOwnDistTree;
};
