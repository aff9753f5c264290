#include "SqliteFileCheck.h"
#include "SqliteHandle.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <sqlite3.h>
#include <thread>
#include <utility>
#include <vector>

namespace {
using u8 = unsigned char;

uint32_t get2(const u8 *p)
{
    return (uint32_t(p[0]) << 8) | p[1];
}

uint32_t get4(const u8 *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// SQLite's varint: up to nine bytes, the ninth with all eight bits.
int getVarint(const u8 *p, uint64_t &v)
{
    v = 0;
    for (int i = 0; i < 8; ++i) {
        v = (v << 7) | (p[i] & 0x7f);
        if (!(p[i] & 0x80))
            return i + 1;
    }
    v = (v << 8) | p[8];
    return 9;
}

// The payload size as the b-tree layer reads it: seven bits a byte, nine
// bytes at most, kept to 32 bits.
int getPayloadSize(const u8 *p, uint32_t &v)
{
    v = p[0];
    int n = 0;
    if (v >= 0x80) {
        v &= 0x7f;
        do {
            ++n;
            v = (v << 7) | (p[n] & 0x7f);
        } while (p[n] >= 0x80 && n < 8);
    }
    return n + 1;
}

enum PtrmapType : u8 { RootPage = 1, FreePage = 2, Overflow1 = 3, Overflow2 = 4, BtreePage = 5 };

constexpr int kMaxDepth = 20; // deeper trees are refused by SQLite's cursors too
constexpr int kDepthUnknown = -1000;
// Pages read of each b-tree, overflow chains included (the free-page list
// counts as one more tree): a register of any size is opened after the
// same few megabytes are read, and a small one is still read whole.
constexpr uint32_t kPagesPerTree = 256;

struct Cell {
    uint32_t size = 0;    // bytes the cell takes on its page
    uint32_t head = 0;    // bytes before the payload
    uint32_t payload = 0; // whole payload size
    uint32_t local = 0;   // payload bytes on the page
    int64_t key = 0;      // rowid of a table cell
};

// What the quick check verifies of a table's rows, column by column in
// record order: text columns hold no numbers, NOT NULL columns no Null.
struct Column {
    QString name;
    bool text = false;
    bool notNull = false;
    bool rowidAlias = false; // stored as Null: the rowid holds the value
};

struct Root {
    uint32_t page = 0;
    bool isTable = true;         // a table's tree holds rowids, an index's keys
    QString table;               // empty for an index
    std::vector<Column> columns; // rows of a table are checked against these
    std::vector<u8> checks;      // per column: kText | kNotNull, 0 for the rowid alias
};

constexpr u8 kText = 1;
constexpr u8 kNotNull = 2;

// The length of a varint that must end before end; 0 when it does not.
int getVarintBefore(const u8 *p, const u8 *end, uint64_t &v)
{
    v = 0;
    for (int i = 0; i < 9; ++i) {
        if (p + i >= end)
            return 0;
        if (i == 8) {
            v = (v << 8) | p[8];
            return 9;
        }
        v = (v << 7) | (p[i] & 0x7f);
        if (!(p[i] & 0x80))
            return i + 1;
    }
    return 0;
}

uint64_t serialTypeLength(uint64_t t)
{
    static constexpr u8 small[12] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0, 0, 0};
    return t < 12 ? small[t] : (t - 12) / 2;
}

// The pointer-map page that holds the entry of page pgno.
uint32_t ptrmapPageOf(uint32_t pgno, uint32_t usable, uint32_t pageSize)
{
    if (pgno < 2)
        return 0;
    const uint32_t perMap = usable / 5 + 1;
    uint32_t p = (pgno - 2) / perMap * perMap + 2;
    if (p == 0x40000000u / pageSize + 1)
        ++p;
    return p;
}

// One walker: the trees it takes in turn, each page it meets marked in its
// own map of used pages; walkers of the same file run side by side.
class Checker {
public:
    Checker(sqlite3_file *file, const u8 *map, uint32_t pageSize, uint32_t nPage, const u8 *header)
        : m_file(file), m_map(map), m_pageSize(pageSize), m_nPage(nPage), m_used(nPage + 1, 0)
    {
        m_usable = pageSize - header[20];
        m_maxLocal = (m_usable - 12) * 64 / 255 - 23;
        m_minLocal = (m_usable - 12) * 32 / 255 - 23;
        m_maxLeaf = m_usable - 35;
        m_autoVacuum = get4(header + 52) != 0;
    }

    // Walks the trees of roots taken from next, and the free-page list
    // first when freePages is set. False at the first damage.
    bool walk(const std::vector<Root> &roots, std::atomic<size_t> &next, bool freePages, const u8 *header)
    {
        if (freePages && !list(true, get4(header + 32), get4(header + 36)))
            return false;
        for (size_t i; (i = next.fetch_add(1)) < roots.size();) {
            const Root &root = roots[i];
            if (m_autoVacuum && root.page > 1 && !ptrmap(root.page, RootPage, 0))
                return false;
            int64_t minKey = 0;
            int depth = 0;
            m_root = &root;
            m_pagesLeft = kPagesPerTree;
            if (!tree(root.page, 0, int(root.isTable), &minKey, INT64_MAX, &depth))
                return false;
        }
        m_root = nullptr;
        return true;
    }
    const std::vector<u8> &used() const { return m_used; }
    const QString &fault() const { return m_fault; }
    // True when some page was left unread for the budget.
    bool partial() const { return m_partial; }

private:
    QString fail(const QString &what)
    {
        if (m_fault.isEmpty())
            m_fault = what;
        return m_fault;
    }

    // The page's bytes, or null when it cannot be read. Each tree level and
    // each chain has its own buffer, so a page stays readable while the
    // pages below it are checked.
    const u8 *page(uint32_t pgno, std::vector<u8> &buf)
    {
        if (m_map)
            return m_map + uint64_t(pgno - 1) * m_pageSize;
        buf.resize(m_pageSize);
        if (m_file->pMethods->xRead(m_file, buf.data(), int(m_pageSize), sqlite3_int64(pgno - 1) * m_pageSize)
            != SQLITE_OK) {
            fail(QStringLiteral("unable to read page %1").arg(pgno));
            return nullptr;
        }
        return buf.data();
    }

    // Marks a page as used; a page out of range or used twice is damage.
    bool ref(uint32_t pgno)
    {
        if (pgno == 0 || pgno > m_nPage) {
            fail(QStringLiteral("invalid page number %1").arg(pgno));
            return false;
        }
        if (m_used[pgno]) {
            fail(QStringLiteral("2nd reference to page %1").arg(pgno));
            return false;
        }
        m_used[pgno] = 1;
        return true;
    }

    bool ptrmap(uint32_t child, u8 type, uint32_t parent)
    {
        if (child == 0 || child > m_nPage)
            return true; // reported by ref() when the page is visited
        const uint32_t map = ptrmapPageOf(child, m_usable, m_pageSize);
        const int64_t offset = 5 * (int64_t(child) - map - 1);
        if (map == 0 || map > m_nPage || offset < 0 || offset + 5 > m_usable) {
            fail(QStringLiteral("Failed to read ptrmap key=%1").arg(child));
            return false;
        }
        const u8 *p = page(map, m_ptrmapBuf);
        if (!p)
            return false;
        if (p[offset] != type || get4(p + offset + 1) != parent) {
            fail(QStringLiteral("Bad ptr map entry key=%1 expected=(%2,%3) got=(%4,%5)")
                     .arg(child)
                     .arg(type)
                     .arg(parent)
                     .arg(p[offset])
                     .arg(get4(p + offset + 1)));
            return false;
        }
        return true;
    }

    // Counts one more page read for the tree being walked; false, and the
    // check marked partial, once the tree's budget is spent.
    bool spend()
    {
        if (m_pagesLeft == 0) {
            m_partial = true;
            return false;
        }
        --m_pagesLeft;
        return true;
    }

    // A chain of overflow pages (expected pages long) or the free-page list.
    bool list(bool isFreeList, uint32_t pgno, uint32_t expected)
    {
        uint32_t n = expected;
        while (pgno != 0) {
            if (!spend())
                return true;
            if (!ref(pgno))
                return false;
            --n;
            const u8 *p = page(pgno, m_ovflBuf);
            if (!p)
                return false;
            if (isFreeList) {
                if (m_autoVacuum && !ptrmap(pgno, FreePage, 0))
                    return false;
                const uint32_t leaves = get4(p + 4);
                if (leaves > m_usable / 4 - 2) {
                    fail(QStringLiteral("freelist leaf count too big on page %1").arg(pgno));
                    return false;
                }
                for (uint32_t i = 0; i < leaves; ++i) {
                    const uint32_t leaf = get4(p + 8 + 4 * i);
                    if (m_autoVacuum && !ptrmap(leaf, FreePage, 0))
                        return false;
                    if (!ref(leaf))
                        return false;
                }
                n -= leaves;
            } else if (m_autoVacuum && n > 0 && !ptrmap(get4(p), Overflow2, pgno)) {
                return false;
            }
            pgno = get4(p);
        }
        if (n != 0) {
            fail(QStringLiteral("%1 is %2 but should be %3")
                     .arg(isFreeList ? QStringLiteral("size") : QStringLiteral("overflow list length"))
                     .arg(expected - n)
                     .arg(expected));
            return false;
        }
        return true;
    }

    // Parses the cell at offset pc of a page of the given kind. The bytes are
    // copied first, so a cell pointer near the end of the page never reads
    // past the page.
    Cell parseCell(const u8 *data, uint32_t pc, bool leaf, bool intKey) const
    {
        // The longest cell head: a child pointer and two nine-byte varints.
        constexpr uint32_t kHead = 22;
        std::array<u8, kHead> copy;
        const u8 *b = data + pc;
        if (pc + kHead > m_pageSize) {
            copy.fill(0);
            std::memcpy(copy.data(), b, m_pageSize - pc);
            b = copy.data();
        }
        Cell c;
        if (intKey && !leaf) {
            uint64_t key;
            c.size = 4 + getVarint(b + 4, key);
            c.key = int64_t(key);
            return c;
        }
        const uint32_t childPtr = leaf ? 0 : 4;
        uint32_t n = childPtr + getPayloadSize(b + childPtr, c.payload);
        if (intKey) {
            uint64_t key;
            n += getVarint(b + n, key);
            c.key = int64_t(key);
        }
        c.head = n;
        const uint32_t maxLocal = intKey ? m_maxLeaf : m_maxLocal;
        if (c.payload <= maxLocal) {
            c.local = c.payload;
            c.size = std::max<uint32_t>(4, n + c.payload);
        } else {
            const uint32_t surplus = m_minLocal + (c.payload - m_minLocal) % (m_usable - 4);
            c.local = surplus <= maxLocal ? surplus : m_minLocal;
            c.size = n + c.local + 4;
        }
        return c;
    }

    // The first n bytes of a payload whose head lies on the page and whose
    // rest follows in the overflow chain (already checked by list()).
    const u8 *payloadHead(const u8 *local, const Cell &c, uint32_t overflow, uint32_t n)
    {
        if (n <= c.local)
            return local;
        m_record.assign(local, local + c.local);
        uint32_t pgno = overflow;
        while (m_record.size() < n && pgno != 0) {
            const u8 *p = page(pgno, m_recordOvflBuf);
            if (!p)
                return nullptr;
            const uint32_t take = std::min<uint32_t>(m_usable - 4, n - uint32_t(m_record.size()));
            m_record.insert(m_record.end(), p + 4, p + 4 + take);
            pgno = get4(p);
        }
        return m_record.size() >= n ? m_record.data() : nullptr;
    }

    // A row of a table: its record header adds up to its payload, and each
    // column holds a value its declaration allows.
    bool record(const u8 *local, const Cell &c, uint32_t overflow, uint32_t pgno)
    {
        const auto where = [&] {
            return QStringLiteral("rowid %1 of %2 (page %3)").arg(c.key).arg(m_root->table).arg(pgno);
        };
        const u8 *h = payloadHead(local, c, overflow, std::min<uint32_t>(9, c.payload));
        uint64_t hdrSize = 0;
        const int first = h ? getVarintBefore(h, h + std::min<uint32_t>(9, c.payload), hdrSize) : 0;
        if (first == 0 || hdrSize > 98307 || hdrSize > c.payload || hdrSize < uint64_t(first)) {
            fail(QStringLiteral("malformed record header: ") + where());
            return false;
        }
        h = payloadHead(local, c, overflow, uint32_t(hdrSize));
        if (!h) {
            fail(QStringLiteral("malformed record header: ") + where());
            return false;
        }
        const u8 *p = h + first;
        const u8 *end = h + hdrSize;
        const u8 *checks = m_root->checks.data();
        const size_t nChecks = m_root->checks.size();
        uint64_t offset = hdrSize;
        for (size_t col = 0; p < end; ++col) {
            uint64_t type = *p;
            if (type < 0x80) {
                ++p;
            } else {
                const int n = getVarintBefore(p, end, type);
                if (n == 0) {
                    fail(QStringLiteral("malformed record header: ") + where());
                    return false;
                }
                p += n;
            }
            offset += serialTypeLength(type);
            if (col < nChecks && checks[col]) {
                if ((checks[col] & kNotNull) && type == 0) {
                    fail(QStringLiteral("NULL value in %1.%2").arg(m_root->table, m_root->columns[col].name));
                    return false;
                }
                if ((checks[col] & kText) && type >= 1 && type <= 9) {
                    fail(QStringLiteral("NUMERIC value in %1.%2").arg(m_root->table, m_root->columns[col].name));
                    return false;
                }
            }
        }
        if (offset != c.payload) {
            fail(QStringLiteral("record header does not add up to its payload: ") + where());
            return false;
        }
        return true;
    }

    // One b-tree page and everything below it, right to left as SQLite
    // checks it: each rowid must be below the one to its right, the first
    // one of a page may equal its parent's key. kind is 1 for a table tree,
    // 0 for an index. depth receives the height of the tree.
    bool tree(uint32_t pgno, int level, int kind, int64_t *minKey, int64_t maxKey, int *depthOut)
    {
        if (level > kMaxDepth) {
            fail(QStringLiteral("b-tree deeper than %1 levels at page %2").arg(kMaxDepth).arg(pgno));
            return false;
        }
        if (!ref(pgno))
            return false;
        const u8 *data = page(pgno, m_levelBuf[size_t(level)]);
        if (!data)
            return false;
        const uint32_t hdr = pgno == 1 ? 100 : 0;
        bool leaf = false;
        bool intKey = false;
        switch (data[hdr]) {
        case 0x0d:
            leaf = true;
            intKey = true;
            break;
        case 0x05:
            intKey = true;
            break;
        case 0x0a:
            leaf = true;
            break;
        case 0x02:
            break;
        default:
            fail(QStringLiteral("page %1: b-tree page type %2 is not valid").arg(pgno).arg(data[hdr]));
            return false;
        }
        if (kind != int(intKey)) {
            fail(QStringLiteral("page %1: a table page and an index page in one b-tree").arg(pgno));
            return false;
        }
        const uint32_t nCell = get2(data + hdr + 3);
        const uint32_t cellStart = hdr + (leaf ? 8 : 12);
        const uint32_t cellFirst = cellStart + 2 * nCell;
        uint32_t contentOffset = get2(data + hdr + 5);
        if (contentOffset == 0)
            contentOffset = 65536;
        if (nCell > (m_pageSize - 8) / 6) {
            fail(QStringLiteral("page %1: %2 cells do not fit").arg(pgno).arg(nCell));
            return false;
        }
        // SQLite's cursors refuse an empty page below the root.
        if (level > 0 && nCell == 0) {
            fail(QStringLiteral("page %1: an empty page below the root").arg(pgno));
            return false;
        }

        // Free blocks: in the content area, in ascending order, inside the page.
        // First and last byte of each cell and free block; one list per level.
        std::vector<std::pair<uint32_t, uint32_t>> &extents = m_extents[size_t(level)];
        extents.clear();
        uint32_t nFree = data[hdr + 7] + contentOffset;
        uint32_t pc = get2(data + hdr + 1);
        if (pc > 0) {
            if (pc < contentOffset) {
                fail(QStringLiteral("free space corruption on page %1").arg(pgno));
                return false;
            }
            uint32_t next = 0;
            uint32_t size = 0;
            while (true) {
                if (pc > m_usable - 4) {
                    fail(QStringLiteral("free space corruption on page %1").arg(pgno));
                    return false;
                }
                next = get2(data + pc);
                size = get2(data + pc + 2);
                nFree += size;
                extents.emplace_back(pc, pc + size - 1);
                if (next <= pc + size + 3)
                    break;
                pc = next;
            }
            if (next > 0 || pc + size > m_usable) {
                fail(QStringLiteral("free space corruption on page %1").arg(pgno));
                return false;
            }
        }
        if (nFree > m_usable || nFree < cellFirst) {
            fail(QStringLiteral("free space corruption on page %1").arg(pgno));
            return false;
        }

        // A child left unread for the budget has no depth; the children
        // read are compared among themselves, and the keys of the cells
        // still with the bound their parent gives.
        int depth = kDepthUnknown;
        bool keyCanBeEqual = true;
        if (!leaf) {
            const uint32_t right = get4(data + hdr + 8);
            if (m_autoVacuum && !ptrmap(right, BtreePage, pgno))
                return false;
            if (spend()) {
                if (!tree(right, level + 1, int(intKey), &maxKey, maxKey, &depth))
                    return false;
            }
            keyCanBeEqual = false;
        }
        for (int i = int(nCell) - 1; i >= 0; --i) {
            pc = get2(data + cellStart + 2 * uint32_t(i));
            if (pc < contentOffset || pc > m_usable - 4) {
                fail(QStringLiteral("page %1 cell %2: offset %3 out of range %4..%5")
                         .arg(pgno)
                         .arg(i)
                         .arg(pc)
                         .arg(contentOffset)
                         .arg(m_usable - 4));
                return false;
            }
            const Cell c = parseCell(data, pc, leaf, intKey);
            if (pc + c.size > m_usable) {
                fail(QStringLiteral("page %1 cell %2: extends off end of page").arg(pgno).arg(i));
                return false;
            }
            if (intKey) {
                if (keyCanBeEqual ? c.key > maxKey : c.key >= maxKey) {
                    fail(QStringLiteral("page %1: rowid %2 out of order").arg(pgno).arg(c.key));
                    return false;
                }
                maxKey = c.key;
                keyCanBeEqual = false;
            }
            const uint32_t overflow = c.payload > c.local ? get4(data + pc + c.size - 4) : 0;
            // A row is read only with its whole overflow chain checked.
            const uint32_t pages = c.payload > c.local ? (c.payload - c.local + m_usable - 5) / (m_usable - 4) : 0;
            const bool chainRead = pages == 0 || m_pagesLeft >= pages;
            if (!chainRead)
                m_partial = true;
            if (pages > 0 && chainRead) {
                if (m_autoVacuum && !ptrmap(overflow, Overflow1, pgno))
                    return false;
                if (!list(false, overflow, pages))
                    return false;
            }
            if (leaf && intKey && m_root && !m_root->columns.empty() && chainRead
                && !record(data + pc + c.head, c, overflow, pgno))
                return false;
            if (!leaf) {
                const uint32_t child = get4(data + pc);
                if (m_autoVacuum && !ptrmap(child, BtreePage, pgno))
                    return false;
                int d2 = kDepthUnknown;
                if (spend() && !tree(child, level + 1, int(intKey), &maxKey, maxKey, &d2))
                    return false;
                keyCanBeEqual = false;
                if (depth == kDepthUnknown)
                    depth = d2;
                else if (d2 != kDepthUnknown && d2 != depth) {
                    fail(QStringLiteral("page %1: child page depth differs").arg(pgno));
                    return false;
                }
            }
            extents.emplace_back(pc, pc + c.size - 1);
        }
        *minKey = maxKey;

        // Cells, free blocks and fragments cover the content area exactly once.
        // Cells usually lie in the order they are visited: insertion sort.
        for (size_t i = 1; i < extents.size(); ++i) {
            const auto e = extents[i];
            size_t j = i;
            for (; j > 0 && e < extents[j - 1]; --j)
                extents[j] = extents[j - 1];
            extents[j] = e;
        }
        uint32_t prev = contentOffset - 1;
        uint32_t nFrag = 0;
        for (const auto &[first, last] : extents) {
            if (prev >= first) {
                fail(QStringLiteral("Multiple uses for byte %1 of page %2").arg(first).arg(pgno));
                return false;
            }
            nFrag += first - prev - 1;
            prev = last;
        }
        nFrag += m_usable - prev - 1;
        if (nFrag != data[hdr + 7]) {
            fail(QStringLiteral("Fragmentation of %1 bytes reported as %2 on page %3")
                     .arg(nFrag)
                     .arg(data[hdr + 7])
                     .arg(pgno));
            return false;
        }
        *depthOut = leaf ? 0 : depth == kDepthUnknown ? kDepthUnknown : depth + 1;
        return true;
    }

    sqlite3_file *m_file;
    const u8 *m_map;
    uint32_t m_pageSize;
    uint32_t m_usable = 0;
    uint32_t m_nPage;
    uint32_t m_maxLocal = 0, m_minLocal = 0, m_maxLeaf = 0;
    bool m_autoVacuum = false;
    std::vector<u8> m_used;
    std::array<std::vector<u8>, kMaxDepth + 1> m_levelBuf;
    std::array<std::vector<std::pair<uint32_t, uint32_t>>, kMaxDepth + 1> m_extents;
    std::vector<u8> m_ovflBuf;
    std::vector<u8> m_ptrmapBuf;
    std::vector<u8> m_recordOvflBuf;
    std::vector<u8> m_record;
    const Root *m_root = nullptr;
    QString m_fault;
    uint32_t m_pagesLeft = kPagesPerTree;
    bool m_partial = false;
};

// Walks every tree of the file within its budget, on several threads when
// the file is mapped (page reads through the VFS are not shared between
// threads), and, when every page was read, checks that each is used once.
QString checkFile(sqlite3_file *file, uint32_t pageSize, uint32_t nPage, const u8 *header,
                  const std::vector<Root> &roots)
{
    const uint32_t usable = pageSize - header[20];
    if (usable < 480)
        return QStringLiteral("usable page size %1 is too small").arg(usable);
    const u8 *map = nullptr;
    void *p = nullptr;
    const uint64_t bytes = uint64_t(nPage) * pageSize;
    if (file->pMethods->iVersion >= 3 && bytes <= 0x7fff0000u
        && file->pMethods->xFetch(file, 0, int(bytes), &p) == SQLITE_OK)
        map = static_cast<const u8 *>(p);

    const size_t workers = map ? std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4) : 1;
    std::vector<std::unique_ptr<Checker>> checkers;
    for (size_t i = 0; i < workers; ++i)
        checkers.push_back(std::make_unique<Checker>(file, map, pageSize, nPage, header));
    std::atomic<size_t> next{0};
    std::vector<std::thread> threads;
    for (size_t i = 1; i < workers; ++i)
        threads.emplace_back([&, i] { checkers[i]->walk(roots, next, false, header); });
    checkers[0]->walk(roots, next, true, header);
    for (std::thread &t : threads)
        t.join();
    if (map)
        file->pMethods->xUnfetch(file, 0, p);
    for (const auto &c : checkers)
        if (!c->fault().isEmpty())
            return c->fault();
    // Pages used twice or never can be told only of a file read whole.
    for (const auto &c : checkers)
        if (c->partial())
            return QString();

    const bool autoVacuum = get4(header + 52) != 0;
    uint32_t maxRoot = 0;
    for (const Root &r : roots)
        maxRoot = std::max(maxRoot, r.page);
    if (autoVacuum && maxRoot != get4(header + 52))
        return QStringLiteral("max rootpage (%1) disagrees with header (%2)").arg(maxRoot).arg(get4(header + 52));
    if (!autoVacuum && get4(header + 64) != 0)
        return QStringLiteral("incremental_vacuum enabled with a max rootpage of zero");
    const uint64_t pendingPage = 0x40000000ull / pageSize + 1;
    for (uint32_t pg = 1; pg <= nPage; ++pg) {
        int uses = pg == pendingPage ? 1 : 0;
        for (const auto &c : checkers)
            uses += c->used()[pg];
        const bool isPtrmap = autoVacuum && ptrmapPageOf(pg, usable, pageSize) == pg;
        if (uses > 1)
            return QStringLiteral("2nd reference to page %1").arg(pg);
        if (uses == 0 && !isPtrmap)
            return QStringLiteral("Page %1 is never used").arg(pg);
        if (uses == 1 && isPtrmap)
            return QStringLiteral("Pointer map page %1 is referenced").arg(pg);
    }
    return QString();
}

// Runs a query and hands each row to row(); false with the engine's message
// when it fails.
template <class F>
bool eachRow(sqlite3 *db, const char *sql, const QString &arg, QString &fault, F row)
{
    SqliteStatement st;
    int rc = sqlite3_prepare_v2(db, sql, -1, st.out(), nullptr);
    if (rc == SQLITE_OK && !arg.isNull()) {
        const QByteArray a = arg.toUtf8();
        rc = sqlite3_bind_text(st, 1, a.constData(), int(a.size()), SQLITE_TRANSIENT);
    }
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            row(st);
    }
    if (rc != SQLITE_DONE)
        fault = QString::fromUtf8(sqlite3_errmsg(db));
    return rc == SQLITE_DONE;
}

QString columnText(sqlite3_stmt *st, int i)
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, i));
    return QString::fromUtf8(t ? t : "");
}

// SQLite's rule for a declared type: TEXT affinity unless it names INT.
bool textAffinity(const QString &declared)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT")))
        return false;
    return t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT"));
}

QString quickCheck(sqlite3 *db)
{
    SqliteStatement st;
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, st.out(), nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    QString fault;
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW)
        fault = QString::fromUtf8(sqlite3_errmsg(db));
    else if (const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, 0));
             !t || std::strcmp(t, "ok") != 0)
        fault = QString::fromUtf8(t ? t : "quick check failed");
    return fault;
}
} // namespace

QString sqliteStructureFault(sqlite3 *db)
{
    QString fault;
    int64_t pageSize = 0;
    int64_t pageCount = 0;
    if (!eachRow(db, "PRAGMA page_size", QString(), fault,
                 [&](sqlite3_stmt *st) { pageSize = sqlite3_column_int64(st, 0); })
        || !eachRow(db, "PRAGMA page_count", QString(), fault,
                    [&](sqlite3_stmt *st) { pageCount = sqlite3_column_int64(st, 0); }))
        return fault;

    // The schema's own rows, then every table and index of the file.
    std::vector<Root> roots;
    roots.push_back(Root{1,
                         true,
                         QStringLiteral("sqlite_master"),
                         {{QStringLiteral("type"), true},
                          {QStringLiteral("name"), true},
                          {QStringLiteral("tbl_name"), true},
                          {QStringLiteral("rootpage"), false},
                          {QStringLiteral("sql"), true}},
                         {}});
    if (!eachRow(db, "SELECT rootpage, type, name FROM sqlite_master WHERE rootpage > 0", QString(), fault,
                 [&](sqlite3_stmt *st) {
                     const int64_t page = sqlite3_column_int64(st, 0);
                     Root r;
                     r.page = page > 0 && page <= INT32_MAX ? uint32_t(page) : 0;
                     r.isTable = columnText(st, 1) == QLatin1String("table");
                     if (r.isTable)
                         r.table = columnText(st, 2);
                     roots.push_back(r);
                 }))
        return fault;

    // Tables whose rows the walk cannot read as plain records (no rowid,
    // strict types, columns that are not stored) go to the quick check.
    bool plainTables = true;
    if (!eachRow(db, "SELECT name FROM pragma_table_list WHERE schema = 'main' AND (wr OR strict)", QString(), fault,
                 [&](sqlite3_stmt *) { plainTables = false; }))
        plainTables = false;
    for (Root &r : roots) {
        if (r.page == 1 || r.table.isEmpty() || !plainTables)
            continue;
        int pkColumns = 0;
        int alias = -1;
        QString xinfoFault;
        if (!eachRow(db, "SELECT name, type, \"notnull\", pk, hidden FROM pragma_table_xinfo(?1)", r.table, xinfoFault,
                     [&](sqlite3_stmt *st) {
                         if (sqlite3_column_int(st, 4) != 0)
                             plainTables = false;
                         Column c{columnText(st, 0), textAffinity(columnText(st, 1)), sqlite3_column_int(st, 2) != 0};
                         if (sqlite3_column_int(st, 3) > 0) {
                             ++pkColumns;
                             if (columnText(st, 1).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                                 alias = int(r.columns.size());
                         }
                         r.columns.push_back(c);
                     }))
            plainTables = false;
        if (pkColumns == 1 && alias >= 0)
            r.columns[size_t(alias)].rowidAlias = true;
    }
    for (Root &r : roots)
        for (const Column &c : r.columns)
            r.checks.push_back(c.rowidAlias ? 0 : u8((c.text ? kText : 0) | (c.notNull ? kNotNull : 0)));

    sqlite3_file *file = nullptr;
    if (!plainTables || sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file
        || !file->pMethods)
        return quickCheck(db);
    std::array<u8, 100> header{};
    if (file->pMethods->xRead(file, header.data(), int(header.size()), 0) != SQLITE_OK)
        return QStringLiteral("unable to read the database header");
    if (header[18] == 2 || header[19] == 2)
        return quickCheck(db); // WAL: the newest pages are in the log, not the file
    if (pageSize < 512 || pageSize > 65536 || pageCount < 1 || pageCount > INT32_MAX)
        return QStringLiteral("page size or count is not valid");

    // Let the file be mapped for the walk, and put the limit back after.
    sqlite3_int64 mmapLimit = sqlite3_int64(pageCount) * pageSize;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_MMAP_SIZE, &mmapLimit);
    fault = checkFile(file, uint32_t(pageSize), uint32_t(pageCount), header.data(), roots);
    sqlite3_file_control(db, "main", SQLITE_FCNTL_MMAP_SIZE, &mmapLimit);
    // The walk is the fast path for a sound register. What it calls damage
    // is confirmed by SQLite's own quick check before a register is refused,
    // so a register the engine reads as sound is never turned away.
    if (!fault.isEmpty() && quickCheck(db).isEmpty())
        return QString();
    return fault;
}
