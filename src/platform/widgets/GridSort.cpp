#include "GridSort.h"

#include <QChar>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <numeric>
#include <utility>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace GridSort {

namespace {
// One UTF-16 unit as UTF-8 would write a code point of that value (a
// surrogate on its own as three bytes): byte order is then unit order.
char *putUnit(char *to, char16_t u)
{
    if (u < 0x80) {
        *to++ = char(u);
    } else if (u < 0x800) {
        *to++ = char(0xC0 | (u >> 6));
        *to++ = char(0x80 | (u & 0x3F));
    } else {
        *to++ = char(0xE0 | (u >> 12));
        *to++ = char(0x80 | ((u >> 6) & 0x3F));
        *to++ = char(0x80 | (u & 0x3F));
    }
    return to;
}

// The folds of the code points UTF-8 writes in two bytes (Latin letters with
// marks, Greek, Cyrillic, Hebrew), looked up rather than asked of Qt for
// every letter of every name.
struct ShortFolds {
    char32_t to[0x800];
    ShortFolds()
    {
        for (char32_t c = 0; c < 0x800; ++c)
            to[c] = QChar::toCaseFolded(c);
    }
};
const ShortFolds &shortFolds()
{
    static const ShortFolds folds;
    return folds;
}

// Writes at most six bytes.
char *putFoldedPoint(char *to, char32_t c)
{
    const char32_t f = c < 0x800 ? shortFolds().to[c] : QChar::toCaseFolded(c);
    if (QChar::requiresSurrogates(f)) {
        to = putUnit(to, QChar::highSurrogate(f));
        return putUnit(to, QChar::lowSurrogate(f));
    }
    return putUnit(to, char16_t(f));
}

bool continuation(uchar b)
{
    return (b & 0xC0) == 0x80;
}

// The next code point of well-formed UTF-8 at p (the lead byte not ASCII),
// or 0 where the bytes are anything else: a sequence cut short, too long,
// a surrogate, a byte order mark or a noncharacter at the end of the plane,
// all of which only QString's own decoding answers for.
char32_t nextPoint(const uchar *&p, const uchar *end)
{
    const uchar b = *p;
    char32_t c = 0;
    int more = 0;
    char32_t least = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        c = b & 0x1F;
        more = 1;
        least = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        c = b & 0x0F;
        more = 2;
        least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        c = b & 0x07;
        more = 3;
        least = 0x10000;
    } else {
        return 0;
    }
    if (end - p <= more)
        return 0;
    for (int i = 1; i <= more; ++i) {
        if (!continuation(p[i]))
            return 0;
        c = (c << 6) | (p[i] & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFEFF || c == 0xFFFE || c == 0xFFFF)
        return 0;
    p += more + 1;
    return c;
}

constexpr size_t kHuge = size_t(2) << 20;

// A sort of a few thousand rows costs less than the system takes to hand
// out fresh pages and take them back: the rooms of such sorts are all of
// one size and a few are kept for the next sort, which finds their pages
// still there: as many as one sort holds at once (its keys, the room it
// deals into, the parts' room, the table of its long keys, and the first
// block of long keys of each of its stretches). They are kept for
// every thread alike: a pass thread takes a block that the sorting thread
// gives back when the keys go.
constexpr size_t kKeptRoom = size_t(512) << 10;
constexpr size_t kSmallRoom = ~size_t(0); // as mapped: a room of kKeptRoom bytes
struct KeptRooms {
    std::mutex mutex;
    void *rooms[10] = {};
};
KeptRooms &keptRooms()
{
    // Never destroyed: a pass thread may still give a room back at exit.
    static KeptRooms *const kept = new KeptRooms;
    return *kept;
}

// Room for the keys of a larger sort: in huge pages where the system gives
// them (a few faults instead of one for every 4 KiB), else from the heap.
// mapped: the bytes mapped for it, 0 when it came from the heap,
// kSmallRoom when it is a small room to keep.
void *takeRoom(size_t bytes, size_t *mapped)
{
    *mapped = 0;
    if (bytes <= kKeptRoom) {
        *mapped = kSmallRoom;
        KeptRooms &k = keptRooms();
        {
            std::lock_guard<std::mutex> lock(k.mutex);
            for (void *&kept : k.rooms) {
                if (kept)
                    return std::exchange(kept, nullptr);
            }
        }
        bytes = kKeptRoom;
    }
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes > kKeptRoom) {
        const size_t size = (bytes + kHuge - 1) / kHuge * kHuge;
        void *p = mmap(nullptr, size + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
            // Only the aligned part stays mapped.
            auto *start = static_cast<char *>(p);
            char *aligned =
                reinterpret_cast<char *>((reinterpret_cast<quintptr>(p) + kHuge - 1) & ~quintptr(kHuge - 1));
            if (aligned > start)
                munmap(start, size_t(aligned - start));
            if (start + size + kHuge > aligned + size)
                munmap(aligned + size, size_t(start + size + kHuge - (aligned + size)));
            madvise(aligned, size, MADV_HUGEPAGE);
            *mapped = size;
            return aligned;
        }
    }
#endif
    void *p = std::malloc(std::max<size_t>(bytes, 1));
    if (!p)
        throw std::bad_alloc();
    return p;
}

void giveRoom(void *p, size_t mapped)
{
    if (mapped == kSmallRoom) {
        KeptRooms &k = keptRooms();
        {
            std::lock_guard<std::mutex> lock(k.mutex);
            for (void *&kept : k.rooms) {
                if (!kept) {
                    kept = p;
                    return;
                }
            }
        }
        std::free(p);
        return;
    }
#if defined(__linux__)
    if (mapped) {
        munmap(p, mapped);
        return;
    }
#endif
    std::free(p);
}

quint64 numberBits(double v)
{
    if (std::isnan(v))
        return ~quint64(0); // after every number, +inf included
    if (v == 0)
        v = 0; // -0 sorts as the 0 it equals
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    return (bits >> 63) ? ~bits : bits | (quint64(1) << 63);
}
} // namespace

void appendFolded(std::string &out, const QString &text)
{
    const char16_t *p = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    // A unit writes at most three bytes, a pair of them at most six.
    const size_t start = out.size();
    out.resize(start + 3 * size_t(n));
    char *to = out.data() + start;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = p[i];
        if (u < 0x80) {
            *to++ = char(u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u);
            continue;
        }
        char32_t c = u;
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(p[i + 1]))
            c = QChar::surrogateToUcs4(u, p[++i]);
        to = putFoldedPoint(to, c);
    }
    out.resize(size_t(to - out.data()));
}

namespace {
// The fold of well-formed UTF-8 written to out, which has room for twice
// its bytes (one byte becomes at most two); its size, or npos for bytes
// appendFoldedUtf8 turns down.
constexpr size_t kNotFolded = ~size_t(0);
size_t foldUtf8(char *out, QByteArrayView utf8)
{
    char *to = out;
    const uchar *p = reinterpret_cast<const uchar *>(utf8.data());
    const uchar *end = p + utf8.size();
    while (p < end) {
        const uchar b = *p;
        if (b < 0x80) {
            *to++ = char(b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b);
            ++p;
            continue;
        }
        const char32_t c = nextPoint(p, end);
        if (c == 0)
            return kNotFolded;
        to = putFoldedPoint(to, c);
    }
    return size_t(to - out);
}
} // namespace

bool appendFoldedUtf8(std::string &out, QByteArrayView utf8)
{
    const size_t start = out.size();
    out.resize(start + 2 * size_t(utf8.size()));
    const size_t n = foldUtf8(out.data() + start, utf8);
    out.resize(n == kNotFolded ? start : start + n);
    return n != kNotFolded;
}

Keys::Keys(size_t rows, int stretches) : m_rows(rows)
{
    static_assert(sizeof(Entry) % alignof(quint32) == 0);
    char *room = static_cast<char *>(takeRoom(rows * sizeof(Entry) + (2 * rows + 1) * sizeof(quint32), &m_bytes));
    m_entries = reinterpret_cast<Entry *>(room);
    m_order = reinterpret_cast<quint32 *>(room + rows * sizeof(Entry));
    m_scratch = m_order + rows;
    stretches = int(std::clamp<size_t>(size_t(std::max(stretches, 1)), 1, std::max<size_t>(rows, 1)));
    m_stretches.resize(size_t(stretches));
    Entry *base = m_entries;
    if (stretches > 1) {
        // Each stretch has its rows' place here; the long keys' table is
        // made before any thread could want it.
        m_staged = static_cast<Entry *>(takeRoom(rows * sizeof(Entry), &m_stagedBytes));
        base = m_staged;
        longKeys();
    }
    for (int i = 0; i < stretches; ++i) {
        Stretch &s = m_stretches[size_t(i)];
        s.m_keys = this;
        s.m_begin = base + (stretchStart(i) - 1);
        s.m_end = base + (stretchStart(i + 1) - 1);
    }
}

Keys::~Keys()
{
    giveRoom(m_entries, m_bytes);
    if (m_staged)
        giveRoom(m_staged, m_stagedBytes);
    if (m_spare)
        giveRoom(m_spare, m_spareBytes);
    if (m_long)
        giveRoom(m_long, m_longBytes);
    for (const Stretch &s : m_stretches) {
        for (const auto &[start, mapped] : s.m_foldedBlocks)
            giveRoom(start, mapped);
    }
}

quint32 Keys::stretchStart(int i) const
{
    return quint32(GridSort::stretchStart(m_rows, int(m_stretches.size()), i));
}

const char **Keys::longKeys()
{
    if (!m_long)
        m_long = static_cast<const char **>(takeRoom((m_rows + 1) * sizeof(char *), &m_longBytes));
    return m_long;
}

const char *Keys::Stretch::keepFolded()
{
    const size_t size = m_fold.size();
    if (size_t(m_foldedEnd - m_foldedAt) < size) {
        size_t mapped = 0;
        const size_t bytes = std::max(size, m_foldedBlocks.empty() ? kKeptRoom : kHuge);
        m_foldedAt = static_cast<char *>(takeRoom(bytes, &mapped));
        m_foldedEnd = m_foldedAt + bytes;
        m_foldedBlocks.emplace_back(m_foldedAt, mapped);
    }
    std::memcpy(m_foldedAt, m_fold.data(), size);
    const char *kept = m_foldedAt;
    m_foldedAt += size;
    return kept;
}

Keys::Entry Keys::entry(quint32 row, const char *key, size_t size)
{
    uchar head[kHead] = {};
    std::memcpy(head, key, std::min(size, kHead));
    return Entry{{qFromBigEndian<quint64>(head), qFromBigEndian<quint64>(head + 8), qFromBigEndian<quint64>(head + 16)},
                 quint32(size),
                 row};
}

void Keys::Stretch::addNumber(quint32 row, double value)
{
    m_begin[m_numbers++] = Entry{{numberBits(value), 0, 0}, m_byPart ? kNumberMark : 0, row};
}

void Keys::Stretch::addText(quint32 row, QByteArrayView utf8, bool lasting)
{
    // A short ASCII text (a name, a date, a code) is folded straight into
    // its head, in one look at each byte.
    if (size_t(utf8.size()) <= kHead) {
        uchar head[kHead] = {};
        const qsizetype n = utf8.size();
        qsizetype i = 0;
        for (; i < n; ++i) {
            const uchar b = uchar(utf8[i]);
            if (b >= 0x80)
                break;
            head[i] = b >= 'A' && b <= 'Z' ? uchar(b + ('a' - 'A')) : b;
        }
        if (i == n) {
            putText(Entry{{qFromBigEndian<quint64>(head), qFromBigEndian<quint64>(head + 8),
                           qFromBigEndian<quint64>(head + 16)},
                          quint32(n),
                          row});
            return;
        }
        // A short name in other letters, folded in passing.
        char folded[2 * kHead];
        const size_t size = foldUtf8(folded, utf8);
        if (size <= kHead) {
            putText(entry(row, folded, size));
            return;
        }
        if (size != kNotFolded) {
            // Its fold outgrew the head (letters whose folds take more
            // bytes): kept as any longer key is, without folding it again.
            m_fold.assign(folded, size);
            m_keys->longKeys()[row] = keepFolded();
            putText(entry(row, folded, size));
            return;
        }
    }
    // Most cells fold to themselves (no capital, nothing beyond ASCII): they
    // are their own key where the grid holds them.
    // ASCII with capitals folds byte for byte.
    bool own = true, ascii = true;
    for (const char ch : utf8) {
        const uchar b = uchar(ch);
        if (b >= 0x80) {
            own = ascii = false;
            break;
        }
        if (b >= 'A' && b <= 'Z')
            own = false;
    }
    const char *key = utf8.data();
    size_t size = size_t(utf8.size());
    if (!own) {
        if (ascii) {
            m_fold.resize(size);
            char *to = m_fold.data();
            for (const char ch : utf8)
                *to++ = ch >= 'A' && ch <= 'Z' ? char(ch + ('a' - 'A')) : ch;
        } else {
            m_fold.clear();
            if (!appendFoldedUtf8(m_fold, utf8))
                appendFolded(m_fold, QString::fromUtf8(utf8));
        }
        key = m_fold.data();
        size = m_fold.size();
    }
    if (size > kHead) {
        if (own && !lasting)
            m_fold.assign(key, size);
        m_keys->longKeys()[row] = own && lasting ? key : keepFolded();
    }
    putText(entry(row, key, size));
}

void Keys::join()
{
    // The stretches' numbers go to the front in row order, their texts to
    // the back as one stretch gives them (the last row first).
    if (std::exchange(m_joined, true))
        return;
    for (const Stretch &s : m_stretches) {
        if (m_staged) {
            std::memcpy(static_cast<void *>(m_entries + m_numbers), s.m_begin, s.m_numbers * sizeof(Entry));
            m_texts += s.m_texts;
            std::memcpy(static_cast<void *>(m_entries + (m_rows - m_texts)), s.m_end - s.m_texts,
                        s.m_texts * sizeof(Entry));
        } else {
            m_texts += s.m_texts;
        }
        m_numbers += s.m_numbers;
    }
}

Q_ALWAYS_INLINE int Keys::compare(const Entry &a, const Entry &b, size_t from) const
{
    for (int i = 0; i < 3; ++i) {
        if (a.head[i] != b.head[i])
            return a.head[i] < b.head[i] ? -1 : 1;
    }
    if (a.size > kHead && b.size > kHead) {
        const int c = std::memcmp(m_long[a.row] + from + kHead, m_long[b.row] + from + kHead,
                                  std::min(a.size, b.size) - kHead);
        if (c != 0)
            return c;
    }
    return a.size == b.size ? 0 : (a.size < b.size ? -1 : 1);
}

quint64 Keys::hashOf(const Entry &e) const
{
    // Each word mixed in whole before the next, the bytes past the head
    // too: long keys that share their head (a name of 12 Greek letters and
    // its number) must still land apart, or their probes run along one
    // cluster.
    quint64 h = e.size;
    auto mix = [&h](quint64 w) {
        h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    };
    for (const quint64 w : e.head)
        mix(w);
    if (e.size > kHead) {
        const char *p = m_long[e.row] + kHead;
        const char *end = m_long[e.row] + e.size;
        for (; end - p >= 8; p += 8) {
            quint64 w;
            std::memcpy(&w, p, 8);
            mix(w);
        }
        quint64 w = 0;
        std::memcpy(&w, p, size_t(end - p));
        mix(w);
    }
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 29);
}

bool Keys::fewKeysLikely(const Entry *entries, size_t n, size_t most) const
{
    // Keys spread over the range, looked at before the rows are: a sample
    // of a column with at most `most` distinct keys repeats some, about
    // sample * sample / (2 * most) times; a column of names and numbers
    // ("Rossi 123") repeats none, and trying every row on it would cost as
    // much as a fifth of its sort. Whichever way this guesses, the order
    // is the same.
    constexpr size_t kSample = 2048;
    if (n < 8 * kSample)
        return true;
    std::vector<quint32> table(2 * kSample, 0);
    size_t repeats = 0;
    for (size_t k = 0; k < kSample; ++k) {
        const size_t i = k * (n / kSample);
        size_t slot = size_t(hashOf(entries[i])) & (table.size() - 1);
        for (;;) {
            if (table[slot] == 0) {
                table[slot] = quint32(i + 1);
                break;
            }
            if (compare(entries[table[slot] - 1], entries[i]) == 0) {
                ++repeats;
                break;
            }
            slot = (slot + 1) & (table.size() - 1);
        }
    }
    return repeats * 4 * most >= kSample * kSample;
}

template <class Deal>
bool Keys::byDistinctKeys(const Entry *entries, size_t n, bool backwards, bool descending, quint32 *idOf, Deal &&deal)
{
    // A column of names, dates, amounts or types holds few distinct keys:
    // those are sorted, and the rows dealt to them in row order, which keeps
    // equal keys in their order. Given up once the keys are many.
    const size_t most = std::max<size_t>(n / 8, 64);
    if (!fewKeysLikely(entries, n, most))
        return false;
    size_t tableSize = 64;
    while (tableSize < 2 * most)
        tableSize *= 2;
    std::vector<quint32> table(tableSize, 0);
    std::vector<quint32> firsts; // the entry of each distinct key, by id
    auto at = [&](size_t i) -> const Entry & { return backwards ? entries[n - 1 - i] : entries[i]; };
    for (size_t i = 0; i < n; ++i) {
        const Entry &e = at(i);
        size_t slot = size_t(hashOf(e)) & (tableSize - 1);
        for (;;) {
            const quint32 id = table[slot];
            if (id == 0) {
                if (firsts.size() == most)
                    return false;
                firsts.push_back(quint32(i));
                table[slot] = quint32(firsts.size());
                idOf[i] = quint32(firsts.size() - 1);
                break;
            }
            if (compare(at(firsts[id - 1]), e) == 0) {
                idOf[i] = id - 1;
                break;
            }
            slot = (slot + 1) & (tableSize - 1);
        }
    }
    std::vector<quint32> ids(firsts.size());
    std::iota(ids.begin(), ids.end(), 0u);
    std::sort(ids.begin(), ids.end(), [&](quint32 a, quint32 b) {
        const int c = compare(at(firsts[a]), at(firsts[b]));
        return descending ? c > 0 : c < 0;
    });
    // Where each key's rows start, then the rows dealt in their order.
    std::vector<quint32> start(firsts.size() + 1, 0);
    for (size_t i = 0; i < n; ++i)
        ++start[idOf[i] + 1];
    std::vector<quint32> place(firsts.size());
    quint32 next = 0;
    for (const quint32 id : ids) {
        place[id] = next;
        next += start[id + 1];
    }
    for (size_t i = 0; i < n; ++i)
        deal(place[idOf[i]]++, at(i));
    return true;
}

int Keys::firstDifference(const Entry *entries, size_t n, int depth)
{
    // Where the heads of a range first differ at or after depth: found with
    // one look at each, so a run of shared bytes ("rossi ", a date's
    // century) costs one pass, not a pass a byte.
    quint64 diff[3] = {0, 0, 0};
    const Entry &first = entries[0];
    for (size_t i = 1; i < n; ++i) {
        for (int w = 0; w < 3; ++w)
            diff[w] |= entries[i].head[w] ^ first.head[w];
    }
    for (int w = depth / 8; w < 3; ++w) {
        quint64 d = diff[w];
        if (w == depth / 8 && depth % 8)
            d &= ~quint64(0) >> (8 * (depth % 8));
        if (d)
            return 8 * w + qCountLeadingZeroBits(d) / 8;
    }
    return int(kHead);
}

void Keys::radixSort(Entry *data, Entry *other, size_t n, int depth, size_t from, bool descending, bool intoOther)
{
    // Byte by byte from the most significant, each pass dealing the range
    // to its buckets in their order, which keeps equal heads in the order
    // they came in. The result lands in data or, intoOther, in other. The
    // heads hold the keys' bytes from byte from on. Only buckets of at most
    // half the range are sorted by a call of their own, the largest by this
    // one, so no text a member typed runs the stack deep.
    for (;;) {
        if (n >= kFewEnough)
            depth = firstDifference(data, n, depth);
        // (Not where stretches are merged, which compare the heads they
        // came with.)
        if (n >= kFewEnough && depth == int(kHead) && !m_eachStretch
            && std::all_of(data, data + n, [](const Entry &e) { return e.size > kHead; })) {
            // Many long keys, their heads all alike (addresses of one site):
            // their next bytes become their heads.
            for (Entry *e = data; e != data + n; ++e) {
                const Entry next = entry(e->row, m_long[e->row] + from + kHead, e->size - kHead);
                *e = next;
            }
            depth = 0;
            from += kHead;
            continue;
        }
        if (n < kFewEnough || depth == int(kHead)) {
            // Few, or heads all equal: compared whole. The entries came in
            // row order, so the row decides between equal keys as the order
            // would.
            if (descending) {
                std::sort(data, data + n, [&](const Entry &a, const Entry &b) {
                    const int c = compare(a, b, from);
                    return c != 0 ? c > 0 : a.row < b.row;
                });
            } else {
                std::sort(data, data + n, [&](const Entry &a, const Entry &b) {
                    const int c = compare(a, b, from);
                    return c != 0 ? c < 0 : a.row < b.row;
                });
            }
            if (intoOther)
                std::memcpy(static_cast<void *>(other), data, n * sizeof(Entry));
            return;
        }
        const int word = depth / 8;
        const int shift = 56 - 8 * (depth % 8);
        size_t count[256] = {};
        for (size_t i = 0; i < n; ++i)
            ++count[(data[i].head[word] >> shift) & 0xFF];
        size_t at[256];
        size_t next = 0;
        int largest = 0;
        for (int k = 0; k < 256; ++k) {
            const int b = descending ? 255 - k : k;
            at[b] = next;
            next += count[b];
            if (count[b] > count[largest])
                largest = b;
        }
        for (size_t i = 0; i < n; ++i)
            other[at[(data[i].head[word] >> shift) & 0xFF]++] = data[i];
        // The range now lies in other, each bucket to go on from the next
        // byte, where the range came from the room to deal into.
        for (int b = 0; b < 256; ++b) {
            const size_t size = count[b];
            if (size != 0 && b != largest)
                radixSort(other + (at[b] - size), data + (at[b] - size), size, depth + 1, from, descending, !intoOther);
        }
        const size_t start = at[largest] - count[largest];
        Entry *const was = data;
        data = other + start;
        other = was + start;
        n = count[largest];
        ++depth;
        intoOther = !intoOther;
    }
}

void Keys::sortEntries(Entry *begin, Entry *end, bool backwards, bool descending, quint32 *to)
{
    const size_t n = size_t(end - begin);
    // The ids by position go to the scratch room, free until the rows move.
    if (byDistinctKeys(begin, n, backwards, descending, m_scratch, [to](size_t at, const Entry &e) { to[at] = e.row; }))
        return;
    if (backwards)
        std::reverse(begin, end);
    // Room as large as the entries, for the passes to deal into: the
    // stretches' room once their keys are joined.
    size_t mapped = 0;
    auto *other = m_staged ? m_staged : static_cast<Entry *>(takeRoom(std::max<size_t>(n, 1) * sizeof(Entry), &mapped));
    radixSort(begin, other, n, 0, 0, descending, false);
    if (!m_staged)
        giveRoom(other, mapped);
    for (const Entry *e = begin; e != end; ++e)
        *to++ = e->row;
}

void Keys::sortRun(Entry *begin, size_t n, bool backwards, bool descending, Entry *other, quint32 *idOf)
{
    if (n == 0)
        return;
    if (byDistinctKeys(begin, n, backwards, descending, idOf, [other](size_t at, const Entry &e) { other[at] = e; })) {
        std::memcpy(static_cast<void *>(begin), other, n * sizeof(Entry));
        return;
    }
    if (backwards)
        std::reverse(begin, begin + n);
    radixSort(begin, other, n, 0, 0, descending, false);
}

bool Keys::orderEachStretch(bool descending)
{
    // The merge looks at every stretch's next key for every row: worth it
    // only for a few stretches, where the sort would otherwise wait alone
    // after a pass that took all the threads.
    if (m_stretches.size() < 2 || m_stretches.size() > size_t(kMostMerged))
        return false;
    m_eachStretch = true;
    m_eachDescending = descending;
    // The room the stretches' sorts deal into, should their keys be given
    // by part.
    m_spare = static_cast<Entry *>(takeRoom(m_rows * sizeof(Entry), &m_spareBytes));
    return true;
}

void Keys::givePart(int p, size_t from, size_t to)
{
    Q_ASSERT(m_eachStretch && m_staged && to <= m_rows);
    Stretch &s = m_stretches[size_t(p)];
    s.m_byPart = true;
    s.m_begin = m_staged + from;
    s.m_end = m_staged + to;
    s.m_numbers = 0;
}

void Keys::orderStretch(int i, const quint32 *placeOf)
{
    // The stretch's keys, numbers from the front and texts from the back
    // in row order, as its thread would have given them; the stretch's own
    // part of the ids' room and of the spare room is free until the merge.
    Stretch &s = m_stretches[size_t(i)];
    const size_t from = stretchStart(i) - 1;
    const size_t to = stretchStart(i + 1) - 1;
    Entry *const begin = m_entries + from;
    Entry *const end = m_entries + to;
    size_t numbers = 0, texts = 0;
    for (size_t k = 0; k < to - from; ++k) {
        Entry e = m_staged[placeOf[k]];
        if (e.size == kNumberMark) {
            e.size = 0;
            begin[numbers++] = e;
        } else {
            *(end - ++texts) = e;
        }
    }
    s.m_byPart = false;
    s.m_begin = begin;
    s.m_end = end;
    s.m_numbers = numbers;
    s.m_texts = texts;
    sortRun(begin, numbers, false, m_eachDescending, m_spare + from, m_scratch + from);
    sortRun(end - texts, texts, true, m_eachDescending, m_spare + from, m_scratch + from);
}

void Keys::mergeRuns(std::pair<const Entry *, size_t> *runs, int count, bool descending, quint32 *to) const
{
    int left = 0;
    for (int i = 0; i < count; ++i) {
        if (runs[i].second != 0)
            runs[left++] = runs[i];
    }
    while (left > 1) {
        // The first of the runs whose next key comes first: a tie keeps
        // the earlier stretch's row first.
        int best = 0;
        for (int j = 1; j < left; ++j) {
            const int c = compare(*runs[j].first, *runs[best].first);
            if (descending ? c > 0 : c < 0)
                best = j;
        }
        // The rest of its rows of that key follow, ahead of any other
        // stretch's (names, types and dates come in long runs of one key).
        auto &[at, size] = runs[best];
        const Entry &key = *at;
        do {
            *to++ = at->row;
            ++at;
            --size;
        } while (size != 0 && compare(*at, key) == 0);
        if (size == 0) {
            std::move(runs + best + 1, runs + left, runs + best);
            --left;
        }
    }
    if (left == 1) {
        for (size_t i = 0; i < runs[0].second; ++i)
            *to++ = runs[0].first[i].row;
    }
}

void Keys::mergePart(int k)
{
    const int count = int(m_stretches.size());
    const bool descending = m_eachDescending;
    size_t allNumbers = 0;
    for (const Stretch &s : m_stretches)
        allNumbers += s.m_numbers;
    std::pair<const Entry *, size_t> runs[kMostMerged];
    // The numbers are few where there are any (a column of names or dates):
    // merged whole by the first range's thread.
    if (k == 0) {
        size_t allTexts = 0;
        for (int i = 0; i < count; ++i) {
            runs[i] = {m_stretches[size_t(i)].m_begin, m_stretches[size_t(i)].m_numbers};
            allTexts += m_stretches[size_t(i)].m_texts;
        }
        mergeRuns(runs, count, descending, m_order + (descending ? allTexts : 0));
    }
    // Range k of the texts lies between the keys at the k-th and the
    // (k + 1)-th of `count` equal steps through the first stretch's texts:
    // in each stretch from the first key not before the one, up to the
    // first not before the other. Equal keys fall in one range, where the
    // merge keeps them in stretch order.
    const Stretch &first = m_stretches.front();
    const Entry *firstTexts = first.m_end - first.m_texts;
    auto before = [&](const Entry &a, const Entry &b) {
        const int c = compare(a, b);
        return descending ? c > 0 : c < 0;
    };
    auto boundary = [&](const Stretch &s, int range) -> size_t {
        if (range <= 0)
            return 0;
        if (range >= count || first.m_texts == 0)
            return s.m_texts;
        const Entry &at = firstTexts[first.m_texts * size_t(range) / size_t(count)];
        const Entry *end = s.m_end;
        const Entry *texts = end - s.m_texts;
        return size_t(std::partition_point(texts, end, [&](const Entry &e) { return before(e, at); }) - texts);
    };
    size_t out = descending ? 0 : allNumbers;
    for (int i = 0; i < count; ++i) {
        const Stretch &s = m_stretches[size_t(i)];
        const size_t from = boundary(s, k);
        runs[i] = {s.m_end - s.m_texts + from, boundary(s, k + 1) - from};
        out += from;
    }
    mergeRuns(runs, count, descending, m_order + out);
}

const quint32 *Keys::order(bool descending)
{
    // A short list's order is already merged, a range at a time.
    if (m_eachStretch) {
        Q_ASSERT(descending == m_eachDescending);
        return m_order;
    }
    join();
    // The texts were given from the back: their rows run backwards there.
    Entry *numbers = m_entries;
    Entry *texts = m_entries + (m_rows - m_texts);
    const size_t textsAt = descending ? 0 : m_numbers;
    const size_t numbersAt = descending ? m_texts : 0;
    sortEntries(numbers, numbers + m_numbers, false, descending, m_order + numbersAt);
    sortEntries(texts, m_entries + m_rows, true, descending, m_order + textsAt);
    return m_order;
}

} // namespace GridSort
