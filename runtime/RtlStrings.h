// String lists: TStrings, the abstract ordered list of text lines with an
// optional object per line, and TStringList, its in-memory implementation
// with sorting and change events.
#pragma once

#include "RtlEncoding.h"
#include "RtlPersistent.h"
#include "RtlStream.h"
#include "RtlString.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// What a sorted list does with a string it already holds.
enum TDuplicates { dupIgnore, dupAccept, dupError };

// Lines may carry a pointer; callers that attach a number store it in the
// pointer itself with these two helpers.
inline void* IntToObject(std::intptr_t value) {
    return reinterpret_cast<void*>(value);
}
inline std::intptr_t ObjectToInt(const void* object) {
    return reinterpret_cast<std::intptr_t>(object);
}

class TStrings : public TPersistent {
public:
    TStrings();
    ~TStrings() override;
    String ClassName() const override { return u"TStrings"; }

    // --- lines and their objects ------------------------------------------
    // Indexes run from 0 to Count-1; others raise EListError
    // "List index out of bounds (<index>)".
    virtual int GetCount() const = 0;
    virtual String Get(int index) const = 0;
    virtual void Put(int index, StringView text);
    virtual void* GetObject(int index) const;
    virtual void PutObject(int index, void* object);
    int Count() const { return GetCount(); }
    String Strings(int index) const { return Get(index); }
    String operator[](int index) const { return Get(index); }
    void SetStrings(int index, StringView text) { Put(index, text); }
    void* Objects(int index) const { return GetObject(index); }
    void SetObjects(int index, void* object) { PutObject(index, object); }

    virtual int Add(StringView text);
    virtual int AddObject(StringView text, void* object);
    virtual void Insert(int index, StringView text) = 0;
    virtual void InsertObject(int index, StringView text, void* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int index1, int index2);
    void Move(int currentIndex, int newIndex);
    // Adds every line (with its object) of another list.
    void AddStrings(const TStrings& strings);

    // Position of the first line equal to `text` (-1 when none); equality is
    // the list's comparison (ASCII case ignored unless the list says otherwise).
    virtual int IndexOf(StringView text) const;
    int IndexOfObject(const void* object) const;
    // True when both lists hold the same lines in the same order (exact comparison).
    bool Equals(const TStrings& other) const;

    // --- name=value lines -------------------------------------------------
    // A line "name=value" has a name and a value; a line without the separator
    // has neither (its name and value are empty).
    char16_t GetNameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char16_t separator) { FNameValueSeparator = separator; }
    String GetName(int index) const;
    String GetValueFromIndex(int index) const;
    // An empty value deletes the line; on a line without a name it adds one.
    void SetValueFromIndex(int index, StringView value);
    int IndexOfName(StringView name) const;
    // The value of the first line with that name, or empty text.
    String GetValue(StringView name) const;
    // Replaces the first line with that name, or adds one; an empty value
    // deletes the line instead.
    void SetValue(StringView name, StringView value);

    // --- whole text -------------------------------------------------------
    // Every line followed by CR LF.
    String GetText() const;
    // Replaces the lines with the text split at CR LF, LF or CR; a line break
    // at the very end starts no further line.
    virtual void SetText(StringView text);

    // Lines joined by Delimiter; a line holding blanks, control characters,
    // the delimiter or the quote character is quoted (QuoteChar, inner quotes
    // doubled). Without StrictDelimiter, blanks also separate lines on reading.
    String GetDelimitedText() const;
    void SetDelimitedText(StringView text);
    // The same with "," and '"', whatever Delimiter and QuoteChar are.
    String GetCommaText() const;
    void SetCommaText(StringView text);
    char16_t GetDelimiter() const { return FDelimiter; }
    void SetDelimiter(char16_t delimiter) { FDelimiter = delimiter; }
    char16_t GetQuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char16_t quote) { FQuoteChar = quote; }
    bool GetStrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool strict) { FStrictDelimiter = strict; }

    // --- updates ----------------------------------------------------------
    // Brackets a batch of changes: the list's change events fire once, for the
    // outermost bracket. An EndUpdate without a BeginUpdate does nothing.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // --- files and streams ------------------------------------------------
    // Loading reads everything from the stream's position. Without an
    // explicit encoding a byte-order mark (UTF-8, UTF-16 LE or BE) selects the
    // encoding and is skipped; without a mark DefaultEncoding is used. The
    // encoding used is remembered (Encoding()).
    void LoadFromFile(StringView fileName, TEncoding* encoding = nullptr);
    virtual void LoadFromStream(TStream& stream, TEncoding* encoding = nullptr);
    // Saving writes Text in the given encoding, else the remembered one, else
    // DefaultEncoding, preceded by its byte-order mark when it has one and
    // WriteBOM is on. A file is replaced atomically: readers see the old
    // content or the complete new one, never a part.
    void SaveToFile(StringView fileName, TEncoding* encoding = nullptr);
    virtual void SaveToStream(TStream& stream, TEncoding* encoding = nullptr) const;
    // The encoding of the last load (null before any load or Assign).
    TEncoding* Encoding() const { return FEncoding; }
    // The encoding for text without a mark; the ANSI code page unless set.
    TEncoding* GetDefaultEncoding() const { return FDefaultEncoding; }
    void SetDefaultEncoding(TEncoding* encoding);
    bool GetWriteBOM() const { return FWriteBOM; }
    void SetWriteBOM(bool writeBOM) { FWriteBOM = writeBOM; }

    void Assign(const TPersistent* source) override;

protected:
    // Called with true when the outermost update begins and false when it ends.
    virtual void SetUpdateState(bool updating) {}
    // The comparison of IndexOf, IndexOfName and sorting: <0, 0 or >0.
    virtual int CompareStrings(StringView a, StringView b) const;
    [[noreturn]] void IndexError(int index) const;
    // Runs `body` inside BeginUpdate/EndUpdate, ending the update on every path.
    template <class Body> void Updating(Body&& body) {
        BeginUpdate();
        try {
            body();
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }

private:
    String DelimitedText(char16_t delimiter, char16_t quote) const;
    void SetDelimitedText(StringView text, char16_t delimiter, char16_t quote);
    // Stores an encoding: standard ones by reference, others as an owned copy.
    static void Keep(TEncoding*& slot, std::unique_ptr<TEncoding>& owned, TEncoding* encoding);

    int FUpdateCount = 0;
    char16_t FNameValueSeparator = u'=';
    char16_t FDelimiter = u',';
    char16_t FQuoteChar = u'"';
    bool FStrictDelimiter = false;
    bool FWriteBOM = true;
    TEncoding* FEncoding = nullptr;
    TEncoding* FDefaultEncoding;
    std::unique_ptr<TEncoding> FOwnedEncoding;
    std::unique_ptr<TEncoding> FOwnedDefaultEncoding;
};

class TStringList : public TStrings {
public:
    TStringList();
    ~TStringList() override;
    String ClassName() const override { return u"TStringList"; }

    int GetCount() const override { return static_cast<int>(FList.size()); }
    String Get(int index) const override;
    void Put(int index, StringView text) override;
    void* GetObject(int index) const override;
    void PutObject(int index, void* object) override;
    // On a sorted list Add places the line by the sort order and obeys
    // Duplicates; Insert, Put and Exchange raise EListError there.
    int Add(StringView text) override;
    int AddObject(StringView text, void* object) override;
    void Insert(int index, StringView text) override;
    void InsertObject(int index, StringView text, void* object) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    int IndexOf(StringView text) const override;

    // Looks for `text`. On a sorted list this is a binary search and `index`
    // becomes the position of the first equal line or where the line would
    // go; on an unsorted list it is a linear search and `index` is Count when
    // the line is absent.
    bool Find(StringView text, int& index) const;
    // Sorts by the list's comparison (stable: equal lines keep their order).
    void Sort();
    // Sorts by a comparison of two indexes (<0, 0, >0).
    void CustomSort(const std::function<int(const TStringList&, int, int)>& compare);

    bool GetSorted() const { return FSorted; }
    void SetSorted(bool sorted);
    TDuplicates GetDuplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates duplicates) { FDuplicates = duplicates; }
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool caseSensitive);

    void Assign(const TPersistent* source) override;

    // Fired before and after every change, or once around an update bracket.
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    virtual void Changing();
    virtual void Changed();
    void SetUpdateState(bool updating) override;
    int CompareStrings(StringView a, StringView b) const override;

private:
    struct TStringItem {
        String FString;
        void* FObject = nullptr;
    };
    void CheckIndex(int index) const;
    void CheckUnsorted() const;
    void InsertItem(int index, StringView text, void* object);

    std::vector<TStringItem> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};
