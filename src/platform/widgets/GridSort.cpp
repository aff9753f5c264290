#include "GridSort.h"

#include <QChar>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <numeric>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace GridSort {

namespace {
// One UTF-16 unit as UTF-8 would write a code point of that value (a
// surrogate on its own as three bytes): byte order is then unit order.
void appendUnit(std::string &out, char16_t u)
{
    if (u < 0x80) {
        out += char(u);
    } else if (u < 0x800) {
        out += char(0xC0 | (u >> 6));
        out += char(0x80 | (u & 0x3F));
    } else {
        out += char(0xE0 | (u >> 12));
        out += char(0x80 | ((u >> 6) & 0x3F));
        out += char(0x80 | (u & 0x3F));
    }
}

void appendFoldedPoint(std::string &out, char32_t c)
{
    const char32_t f = QChar::toCaseFolded(c);
    if (QChar::requiresSurrogates(f)) {
        appendUnit(out, QChar::highSurrogate(f));
        appendUnit(out, QChar::lowSurrogate(f));
    } else {
        appendUnit(out, char16_t(f));
    }
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

// Room for the keys of a large sort: in huge pages where the system gives
// them (a few faults instead of one for every 4 KiB), else from the heap.
// mapped: the bytes mapped for it, 0 when it came from the heap.
void *takeRoom(size_t bytes, size_t *mapped)
{
    *mapped = 0;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes >= kHuge) {
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
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = p[i];
        if (u < 0x80) {
            out += char(u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u);
            continue;
        }
        char32_t c = u;
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(p[i + 1]))
            c = QChar::surrogateToUcs4(u, p[++i]);
        appendFoldedPoint(out, c);
    }
}

bool appendFoldedUtf8(std::string &out, QByteArrayView utf8)
{
    const size_t start = out.size();
    const uchar *p = reinterpret_cast<const uchar *>(utf8.data());
    const uchar *end = p + utf8.size();
    while (p < end) {
        const uchar b = *p;
        if (b < 0x80) {
            out += char(b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b);
            ++p;
            continue;
        }
        const char32_t c = nextPoint(p, end);
        if (c == 0) {
            out.resize(start);
            return false;
        }
        appendFoldedPoint(out, c);
    }
    return true;
}

Keys::Keys(size_t rows) : m_rows(rows)
{
    static_assert(sizeof(Entry) % alignof(quint32) == 0);
    char *room = static_cast<char *>(takeRoom(rows * sizeof(Entry) + (2 * rows + 1) * sizeof(quint32), &m_bytes));
    m_entries = reinterpret_cast<Entry *>(room);
    m_order = reinterpret_cast<quint32 *>(room + rows * sizeof(Entry));
    m_scratch = m_order + rows;
}

Keys::~Keys()
{
    giveRoom(m_entries, m_bytes);
    if (m_long)
        giveRoom(m_long, m_longBytes);
}

Keys::Entry Keys::entry(quint32 row, const char *key, size_t size)
{
    uchar head[kHead] = {};
    std::memcpy(head, key, std::min(size, kHead));
    return Entry{{qFromBigEndian<quint64>(head), qFromBigEndian<quint64>(head + 8), qFromBigEndian<quint64>(head + 16)},
                 quint32(size),
                 row};
}

void Keys::addNumber(quint32 row, double value)
{
    m_entries[m_numbers++] = Entry{{numberBits(value), 0, 0}, 0, row};
}

void Keys::addText(quint32 row, QByteArrayView utf8)
{
    // Most cells fold to themselves (no capital, nothing beyond ASCII): they
    // are their own key where the grid holds them.
    bool own = true;
    for (const char ch : utf8) {
        const uchar b = uchar(ch);
        if (b >= 0x80 || (b >= 'A' && b <= 'Z')) {
            own = false;
            break;
        }
    }
    const char *key = utf8.data();
    size_t size = size_t(utf8.size());
    if (!own) {
        m_fold.clear();
        if (!appendFoldedUtf8(m_fold, utf8))
            appendFolded(m_fold, QString::fromUtf8(utf8));
        key = m_fold.data();
        size = m_fold.size();
    }
    if (size > kHead) {
        if (!m_long)
            m_long = static_cast<const char **>(takeRoom((m_rows + 1) * sizeof(char *), &m_longBytes));
        if (own) {
            m_long[row] = key;
        } else {
            m_longFolded.emplace_back(row, m_folded.size()); // m_folded may still move
            m_folded += m_fold;
        }
    }
    m_entries[m_rows - ++m_texts] = entry(row, key, size);
}

Q_ALWAYS_INLINE int Keys::compare(const Entry &a, const Entry &b) const
{
    for (int i = 0; i < 3; ++i) {
        if (a.head[i] != b.head[i])
            return a.head[i] < b.head[i] ? -1 : 1;
    }
    if (a.size > kHead && b.size > kHead) {
        const int c = std::memcmp(m_long[a.row] + kHead, m_long[b.row] + kHead, std::min(a.size, b.size) - kHead);
        if (c != 0)
            return c;
    }
    return a.size == b.size ? 0 : (a.size < b.size ? -1 : 1);
}

bool Keys::byDistinctKeys(const Entry *entries, size_t n, bool backwards, bool descending, quint32 *to)
{
    // A column of names, dates, amounts or types holds few distinct keys:
    // those are sorted, and the rows dealt to them in row order, which keeps
    // equal keys in their order. Given up once the keys are many.
    const size_t most = std::max<size_t>(n / 8, 64);
    size_t tableSize = 64;
    while (tableSize < 2 * most)
        tableSize *= 2;
    std::vector<quint32> table(tableSize, 0);
    std::vector<quint32> firsts; // the entry of each distinct key, by id
    quint32 *idOf = m_scratch;   // by position in row order; free until the rows move
    auto at = [&](size_t i) -> const Entry & { return backwards ? entries[n - 1 - i] : entries[i]; };
    for (size_t i = 0; i < n; ++i) {
        const Entry &e = at(i);
        quint64 h = e.head[0] * 0x9E3779B97F4A7C15ull ^ e.head[1] * 0xC2B2AE3D27D4EB4Full
            ^ e.head[2] * 0x165667B19E3779F9ull ^ e.size;
        h ^= h >> 31;
        h *= 0xD6E8FEB86659FD93ull;
        size_t slot = size_t(h >> 32) & (tableSize - 1);
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
        to[place[idOf[i]]++] = at(i).row;
    return true;
}

void Keys::sortEntries(Entry *begin, Entry *end, bool backwards, bool descending, quint32 *to)
{
    const size_t n = size_t(end - begin);
    if (byDistinctKeys(begin, n, backwards, descending, to))
        return;
    // The row number decides between equal keys, which keeps them in their
    // order without a stable sort's buffer.
    if (descending) {
        std::sort(begin, end, [&](const Entry &a, const Entry &b) {
            const int c = compare(a, b);
            return c != 0 ? c > 0 : a.row < b.row;
        });
    } else {
        std::sort(begin, end, [&](const Entry &a, const Entry &b) {
            const int c = compare(a, b);
            return c != 0 ? c < 0 : a.row < b.row;
        });
    }
    for (const Entry *e = begin; e != end; ++e)
        *to++ = e->row;
}

const quint32 *Keys::order(bool descending)
{
    for (const auto &[row, at] : m_longFolded)
        m_long[row] = m_folded.data() + at;
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
