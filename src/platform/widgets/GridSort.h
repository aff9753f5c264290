#pragma once
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <string>
#include <utility>
#include <vector>

// The order of a grid's sort, from keys read once per cell. A click on a
// header of a million rows cannot afford a QString or a case fold in every
// comparison: each cell becomes a number or a byte string that compares
// like its text, and the comparisons look at 24 bytes held beside the row
// (a date and time whole) before they look anywhere else. A column of few
// distinct keys (names, dates, amounts) sorts only those and deals the rows.
namespace GridSort {

// The text's sort key for the order QString::compare(Qt::CaseInsensitive)
// gives: each code point case-folded, the results compared unit by unit of
// their UTF-16. Each UTF-16 unit is written as UTF-8 would write a code
// point of that value, so byte order is unit order.
void appendFolded(std::string &out, const QString &text);
// The same key read straight from UTF-8. False, with nothing appended, for
// bytes that are not well-formed UTF-8 of ordinary characters (the caller
// then goes through QString, which decides what such bytes read as).
bool appendFoldedUtf8(std::string &out, QByteArrayView utf8);

// The first of rows 1..rows that stretch i of a pass in `stretches` equal
// stretches reads; stretch i ends where i + 1 starts.
inline size_t stretchStart(size_t rows, int stretches, int i)
{
    return 1 + rows * size_t(i) / size_t(stretches);
}

// The keys of rows 1..rows of one column, each given once, then their order.
// Numbers come before texts; equal keys keep the order of their rows; a
// descending order is the mirror of the ascending one with equal keys still
// in their order. A long column's keys may be given on several threads at
// once, a stretch of rows each.
class Keys {
    struct Entry {
        quint64 head[3]; // the key's first 24 bytes, big-endian, zero-padded
        quint32 size;    // numbers: 0
        quint32 row;
    };

public:
    // The keys of one stretch of rows, given on one thread in row order.
    class alignas(64) Stretch {
    public:
        Stretch() = default;
        void addNumber(quint32 row, double value);
        // A cell read as text: its key is its case fold. lasting: the text
        // stays where it lies as long as the keys, so a key that is the text
        // itself need not be copied.
        void addText(quint32 row, QByteArrayView utf8, bool lasting = true);

    private:
        friend class Keys;
        const char *keepFolded();
        void putText(const Entry &e)
        {
            if (m_byPart)
                m_begin[m_numbers++] = e;
            else
                *(m_end - ++m_texts) = e;
        }
        Keys *m_keys = nullptr;
        // Numbers from the front, texts from the back; given by part, all
        // from the front, numbers marked.
        Entry *m_begin = nullptr, *m_end = nullptr;
        size_t m_numbers = 0, m_texts = 0;
        bool m_byPart = false;
        // Where the keys longer than their head are: a cell that folds to
        // itself is its own key, read where the grid holds it; the others
        // are folded and kept in blocks that never move (a column of notes
        // folds to tens of megabytes, too many to copy as a string grows).
        // Shorter keys are whole in their entries.
        std::string m_fold;
        std::vector<std::pair<char *, size_t>> m_foldedBlocks; // start, bytes mapped
        char *m_foldedAt = nullptr, *m_foldedEnd = nullptr;
    };

    // stretches: how many stretches the rows are given in.
    explicit Keys(size_t rows, int stretches = 1);
    ~Keys();
    Keys(const Keys &) = delete;
    Keys &operator=(const Keys &) = delete;
    int stretches() const { return int(m_stretches.size()); }
    // Stretch i holds rows stretchStart(i) to stretchStart(i + 1) - 1.
    quint32 stretchStart(int i) const;
    Stretch &stretch(int i) { return m_stretches[size_t(i)]; }
    void addNumber(quint32 row, double value) { m_stretches.front().addNumber(row, value); }
    void addText(quint32 row, QByteArrayView utf8) { m_stretches.front().addText(row, utf8); }
    // A short list's keys are given by part, its stretches each put in
    // order on a thread of their own, and merged a range of keys per
    // thread; order() then has nothing left to do. Asked for before any key
    // is given; false, and nothing changes, where the list is too long for
    // it.
    bool orderEachStretch(bool descending);
    // Then the keys are given in parts of rows that are not stretches,
    // the parts' keys one part after the other: stretch(p) gives the next
    // of part p's thread, in row order, to the places from up to to.
    // Called on that thread before it gives them.
    void givePart(int p, size_t from, size_t to);
    // Once every part is given: stretch i's keys, that of its row k from
    // place placeOf[k], put in order on the calling thread.
    void orderStretch(int i, const quint32 *placeOf);
    // Once every stretch is in order: the k-th of stretches() ranges of
    // keys merged into the order, on the calling thread.
    void mergePart(int k);
    // The rows in their new order, rows() of them: element i is the row
    // that goes to i + 1. Valid as long as the keys. Once each stretch is
    // ordered, descending is the direction they were ordered in.
    const quint32 *order(bool descending);
    size_t rows() const { return m_rows; }

    // Keys of up to this many bytes are whole in their head: the text they
    // came from is not needed after addText.
    static constexpr size_t kHead = 24;

private:
    quint64 hashOf(const Entry &e) const;
    static Entry entry(quint32 row, const char *key, size_t size);
    // from: how many of the keys' bytes the heads no longer hold.
    int compare(const Entry &a, const Entry &b, size_t from = 0) const;
    bool fewKeysLikely(const Entry *entries, size_t n, size_t most) const;
    // Deals each entry to its place: deal(place, entry). idOf: room for n
    // numbers.
    template <class Deal>
    bool byDistinctKeys(const Entry *entries, size_t n, bool backwards, bool descending, quint32 *idOf, Deal &&deal);
    static int firstDifference(const Entry *entries, size_t n, int depth);
    static constexpr size_t kFewEnough = 256;
    void radixSort(Entry *data, Entry *other, size_t n, int depth, size_t from, bool descending, bool intoOther);
    // Writes the rows of the entries in their order to to.
    void sortEntries(Entry *begin, Entry *end, bool backwards, bool descending, quint32 *to);
    // Puts the entries themselves in their order; other and idOf: room for
    // n of each.
    void sortRun(Entry *begin, size_t n, bool backwards, bool descending, Entry *other, quint32 *idOf);
    // The rows of runs already in order, each a stretch's, merged to to;
    // of equal keys the earlier stretch's come first.
    void mergeRuns(std::pair<const Entry *, size_t> *runs, int count, bool descending, quint32 *to) const;
    // Stretches merged, at most: a longer list is sorted whole.
    static constexpr int kMostMerged = 8;
    // The stretches' keys side by side in the entries, as one stretch
    // would have given them.
    void join();
    const char **longKeys();

    // One entry a row: the numbers from the front, the texts from the back.
    // Fresh pages cost more than the sort here, so they are asked for in as
    // few faults as the system allows and given back with the keys.
    size_t m_rows;
    Entry *m_entries;
    quint32 *m_order, *m_scratch; // in the same room, after the entries
    size_t m_bytes;
    size_t m_numbers = 0, m_texts = 0;
    bool m_joined = false;
    bool m_eachStretch = false, m_eachDescending = false;
    // Several stretches give their keys here, each in its own rows' place
    // (or each part in its places); the sort then deals into it.
    Entry *m_staged = nullptr;
    size_t m_stagedBytes = 0;
    // Given by part: the room the stretches' sorts deal into.
    Entry *m_spare = nullptr;
    size_t m_spareBytes = 0;
    // A number's size while the keys are given by part.
    static constexpr quint32 kNumberMark = ~quint32(0);
    std::vector<Stretch> m_stretches;
    const char **m_long = nullptr; // by row, once a key is long
    size_t m_longBytes = 0;
};

} // namespace GridSort
