#include "FlexGrid.h"
#include "GridSort.h"
#include "PlatformCodes.h"
#include "RuntimeError.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <future>
#include <limits>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#endif
#include <numeric>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {
constexpr int kDefaultColTwips = 960;

[[noreturn]] void badRow()
{
    raiseError(30009, QStringLiteral("Invalid Row value"));
}
[[noreturn]] void badCol()
{
    raiseError(30010, QStringLiteral("Invalid Col value"));
}
[[noreturn]] void subscript()
{
    raiseError(381, QStringLiteral("Subscript out of range"));
}

int vbKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Delete:
        return KeyCode::Delete;
    case Qt::Key_Insert:
        return KeyCode::Insert;
    case Qt::Key_End:
        return KeyCode::End;
    case Qt::Key_Home:
        return KeyCode::Home;
    case Qt::Key_Left:
        return KeyCode::Left;
    case Qt::Key_Up:
        return KeyCode::Up;
    case Qt::Key_Right:
        return KeyCode::Right;
    case Qt::Key_Down:
        return KeyCode::Down;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyCode::Return;
    case Qt::Key_Escape:
        return KeyCode::Escape;
    case Qt::Key_Tab:
        return KeyCode::Tab;
    case Qt::Key_Backspace:
        return KeyCode::Backspace;
    case Qt::Key_PageUp:
        return KeyCode::PageUp;
    case Qt::Key_PageDown:
        return KeyCode::PageDown;
    default:
        if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
            return KeyCode::LetterA + (qtKey - Qt::Key_A);
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return KeyCode::Digit0 + (qtKey - Qt::Key_0);
        if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
            return KeyCode::F1 + (qtKey - Qt::Key_F1);
        return qtKey & 0xFFFF;
    }
}

int vbShift(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

int vbButton(Qt::MouseButton b)
{
    return b == Qt::LeftButton ? 1 : b == Qt::RightButton ? 2 : b == Qt::MiddleButton ? 4 : 0;
}

int pixelsOf(int twips)
{
    return std::max(1, int(std::lround(double(twips) / kTwipsPerPixel)));
}

bool numberOf(const QString &s, double *out)
{
    bool ok = false;
    QString t = s.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    *out = t.toDouble(&ok);
    return ok && !t.isEmpty();
}

// A growing array of plain values in memory of its own. A large one lives
// in pages of its own that grow by remapping, so growing never copies what
// was written: the allocator would keep a block that started small among the
// others on its heap and copy it at every growth, which with the columns of a
// fill growing side by side is most of the bytes moved and pages touched.
template <class T>
class Buffer {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    Buffer() = default;
    Buffer(const Buffer &) = delete;
    Buffer &operator=(const Buffer &) = delete;
    Buffer(Buffer &&o) noexcept
        : m_data(std::exchange(o.m_data, nullptr)), m_size(std::exchange(o.m_size, 0)),
          m_cap(std::exchange(o.m_cap, 0)), m_mapped(std::exchange(o.m_mapped, false))
    {
    }
    Buffer &operator=(Buffer &&o) noexcept
    {
        std::swap(m_data, o.m_data);
        std::swap(m_size, o.m_size);
        std::swap(m_cap, o.m_cap);
        std::swap(m_mapped, o.m_mapped);
        return *this;
    }
    ~Buffer() { release(); }

    size_t size() const { return m_size; }
    T *data() { return m_data; }
    const T *data() const { return m_data; }
    T &operator[](size_t i) { return m_data[i]; }
    const T &operator[](size_t i) const { return m_data[i]; }

    void push_back(T v)
    {
        if (m_size == m_cap)
            reserve(m_size + 1);
        m_data[m_size++] = v;
    }
    // Room for n more values, written through the pointer returned.
    T *extend(size_t n)
    {
        if (m_size + n > m_cap)
            reserve(m_size + n);
        T *at = m_data + m_size;
        m_size += n;
        return at;
    }
    void resize(size_t n, T fill)
    {
        if (n > m_size) {
            T *at = extend(n - m_size);
            std::fill(at, m_data + m_size, fill);
        }
        m_size = n;
    }
    void erase(size_t i)
    {
        std::memmove(m_data + i, m_data + i + 1, (m_size - i - 1) * sizeof(T));
        --m_size;
    }
    void release()
    {
        if (m_mapped)
            unmap(m_data, m_cap * sizeof(T));
        else
            std::free(m_data);
        m_data = nullptr;
        m_size = m_cap = 0;
        m_mapped = false;
    }
    // Gives back the room grown ahead once no more values are coming.
    void shrink()
    {
        if (m_size == m_cap || m_size == 0)
            return;
#if defined(__linux__)
        if (m_mapped) {
            const size_t bytes = pageRound(m_size * sizeof(T));
            if (bytes < m_cap * sizeof(T) && mremap(m_data, m_cap * sizeof(T), bytes, 0) != MAP_FAILED)
                m_cap = bytes / sizeof(T);
            return;
        }
#endif
        if (void *p = std::realloc(m_data, m_size * sizeof(T))) {
            m_data = static_cast<T *>(p);
            m_cap = m_size;
        }
    }

private:
    // From this size on a buffer has pages of its own.
    static constexpr size_t kMapBytes = size_t(1) << 20;

    static size_t pageRound(size_t bytes)
    {
        constexpr size_t page = 4096;
        return (bytes + page - 1) / page * page;
    }
    static void unmap(T *p, size_t bytes)
    {
#if defined(__linux__)
        if (p)
            munmap(p, bytes);
#else
        Q_UNUSED(p);
        Q_UNUSED(bytes);
#endif
    }
    [[noreturn]] static void outOfMemory()
    {
        raiseError(7, QStringLiteral("Out of memory"));
    }

    void reserve(size_t need)
    {
        size_t cap = std::max({need, m_cap + m_cap / 2, size_t(16)});
#if defined(__linux__)
        if (cap * sizeof(T) >= kMapBytes) {
            const size_t bytes = pageRound(cap * sizeof(T));
            void *p = nullptr;
            if (m_mapped) {
                p = mremap(m_data, m_cap * sizeof(T), bytes, MREMAP_MAYMOVE);
            } else {
                p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
                if (p != MAP_FAILED) {
                    if (m_size)
                        std::memcpy(p, m_data, m_size * sizeof(T));
                    std::free(m_data);
                }
            }
            if (p == MAP_FAILED)
                outOfMemory();
            m_data = static_cast<T *>(p);
            m_cap = bytes / sizeof(T);
            m_mapped = true;
            return;
        }
#endif
        void *p = std::realloc(m_data, cap * sizeof(T));
        if (!p)
            outOfMemory();
        m_data = static_cast<T *>(p);
        m_cap = cap;
    }
    T *m_data = nullptr;
    size_t m_size = 0, m_cap = 0;
    bool m_mapped = false;
};

// A few threads kept for passes over a long column, asleep between them:
// starting threads for each sort would cost a fair part of a sort of
// ten thousand rows.
class PassThreads {
public:
    static PassThreads &get()
    {
        // Never destroyed: its threads sleep until the process ends.
        static PassThreads *const pool = new PassThreads;
        return *pool;
    }
    static int workers()
    {
        static const int n = int(std::min(std::max(1u, std::thread::hardware_concurrency()), 4u)) - 1;
        return n;
    }

    // job(i) for i in 0..count - 1, taken in turn by the calling thread and
    // the pool's threads; returns once every one has ended. job must not
    // throw. A second pass while one runs (another thread's, or one a job
    // started) is run by its caller alone.
    void run(int count, const std::function<void(int)> &job)
    {
        std::unique_lock<std::mutex> busy(m_busy, std::try_to_lock);
        if (!busy.owns_lock() || !start()) {
            for (int i = 0; i < count; ++i)
                job(i);
            return;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_job = &job;
            m_count = count;
            m_next.store(0);
            ++m_round;
        }
        m_wake.notify_all();
        work();
        // Every job is taken; those still running are on threads that have
        // not yet left work(), and end within a job's time. Waking a thread
        // that slept takes as long as a job of a short list, so the caller
        // looks on for about that long before it sleeps; a longer wait is
        // slept through, leaving the processor to the threads still at work.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::microseconds(300);
        while (m_working.load(std::memory_order_acquire) != 0 && std::chrono::steady_clock::now() < giveUp)
            relax();
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [&] { return m_active == 0; });
        m_job = nullptr;
    }

    // A moment's pause in a wait on another thread.
    static void relax()
    {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
    // The calling thread's number: 0 for a thread not of the pool, the
    // pool's threads 1 on.
    static int threadIndex() { return tIndex; }

private:
    static inline thread_local int tIndex = 0;
    bool start()
    {
        if (m_started)
            return m_threads > 0;
        m_started = true;
        for (int i = 0; i < workers(); ++i) {
            try {
                std::thread([this, i] {
                    tIndex = i + 1;
                    loop();
                }).detach();
                ++m_threads;
            } catch (const std::system_error &) {
                break; // no thread to spare: the passes take fewer
            }
        }
        return m_threads > 0;
    }
    void loop()
    {
        quint64 seen = 0;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [&] { return m_round != seen; });
                seen = m_round;
            }
            work();
        }
    }
    // Takes jobs until none is left.
    void work()
    {
        const std::function<void(int)> *job = nullptr;
        int count = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_job)
                return;
            job = m_job;
            count = m_count;
            ++m_active;
            m_working.fetch_add(1, std::memory_order_relaxed);
        }
        for (int i = m_next.fetch_add(1); i < count; i = m_next.fetch_add(1))
            (*job)(i);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_working.fetch_sub(1, std::memory_order_release);
        if (--m_active == 0)
            m_done.notify_all();
    }

    std::mutex m_busy;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    const std::function<void(int)> *m_job = nullptr;
    int m_count = 0;
    int m_active = 0;              // threads inside work()
    std::atomic<int> m_working{0}; // the same, for the caller to look at without the lock
    std::atomic<int> m_next{0};
    quint64 m_round = 0;
    bool m_started = false;
    int m_threads = 0;
};

// Where cells were last read, per thread: reading the cells of a row left to
// right (an export, a printout) walks each row once instead of once a cell.
// A store that frees memory moves the generation on, which forgets every
// thread's place.
std::atomic<quint64> gStoreGeneration{1};
struct ReadPlace {
    quint64 generation = 0;
    const uchar *row = nullptr;
    int col = 0;
    const uchar *at = nullptr;
};
thread_local ReadPlace tReadPlace;

constexpr size_t kLargePage = size_t(2) << 20;
#if defined(__linux__)
// size bytes (a multiple of kLargePage) starting on a large page's edge, on
// large pages where the system has them; null when there is no memory. A
// first touch costs one fault a large page instead of one every 4 KiB.
uchar *mapLargePages(size_t size)
{
    void *p = mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    const uintptr_t raw = reinterpret_cast<uintptr_t>(p);
    const uintptr_t start = (raw + kLargePage - 1) & ~uintptr_t(kLargePage - 1);
    if (start > raw)
        munmap(p, start - raw);
    if (const size_t after = raw + size + kLargePage - (start + size))
        munmap(reinterpret_cast<void *>(start + size), after);
#if defined(MADV_HUGEPAGE)
    madvise(reinterpret_cast<void *>(start), size, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<uchar *>(start);
}
#endif

// The memory the rows are written into: blocks that never move once given,
// so a row's place stays its place. The first blocks are small (a grid of a
// few rows costs a few KiB); a large list gets blocks of 2 MiB pages, whose
// first touch is one fault where 4 KiB pages would take 512.
class Blocks {
public:
    Blocks() = default;
    Blocks(const Blocks &) = delete;
    Blocks &operator=(const Blocks &) = delete;
    ~Blocks() { release(); }

    // A block of at least bytes; returns its start and sets its end.
    uchar *take(size_t bytes, uchar **end)
    {
        size_t size = std::max(bytes, m_next);
        m_next = std::min(m_next * 2, kFull);
        Block b{nullptr, 0, false};
#if defined(__linux__)
        if (size >= kLarge) {
            size = (size + kLarge - 1) / kLarge * kLarge;
            uchar *p = nullptr;
            if (m_ahead.valid()) {
                uchar *ready = m_ahead.get();
                if (ready && size == kFull)
                    p = ready;
                else if (ready)
                    munmap(ready, kFull);
            }
            if (!p)
                p = mapLargePages(size);
            if (!p)
                outOfMemory();
            // A list this large takes block after block: the next one is
            // mapped and its pages touched on another thread meanwhile, so
            // the fill does not wait for the system to clear them.
            if (size == kFull) {
                try {
                    m_ahead = std::async(std::launch::async, [] {
                        uchar *next = mapLargePages(kFull);
                        if (next) {
                            for (size_t at = 0; at < kFull; at += 4096)
                                next[at] = 0;
                        }
                        return next;
                    });
                } catch (const std::system_error &) {
                    // No thread to spare: the next block is made when needed.
                }
            }
            b = Block{p, size, true};
        }
#endif
        if (!b.data) {
            b.data = static_cast<uchar *>(std::malloc(size));
            if (!b.data)
                outOfMemory();
            b.size = size;
        }
        m_blocks.push_back(b);
        *end = b.data + b.size;
        return b.data;
    }

    // Gives back what lies past used in the last block (no more is coming);
    // returns the block's new end.
    uchar *trimLast(uchar *used)
    {
#if defined(__linux__)
        if (!m_blocks.empty() && m_blocks.back().mapped) {
            Block &b = m_blocks.back();
            const size_t keep = (size_t(used - b.data) + 4095) / 4096 * 4096;
            if (keep < b.size) {
                munmap(b.data + keep, b.size - keep);
                b.size = keep;
            }
            return b.data + b.size;
        }
#endif
        Q_UNUSED(used);
        return m_blocks.empty() ? nullptr : m_blocks.back().data + m_blocks.back().size;
    }

    // No more blocks are coming for now: the one made ahead goes back.
    void dropAhead()
    {
#if defined(__linux__)
        if (m_ahead.valid()) {
            if (uchar *ready = m_ahead.get())
                munmap(ready, kFull);
        }
#endif
    }

    void release()
    {
        dropAhead();
        for (const Block &b : m_blocks) {
#if defined(__linux__)
            if (b.mapped) {
                munmap(b.data, b.size);
                continue;
            }
#endif
            std::free(b.data);
        }
        m_blocks.clear();
        m_next = kFirst;
        gStoreGeneration.fetch_add(1, std::memory_order_relaxed);
    }

    void swap(Blocks &o) noexcept
    {
        std::swap(m_blocks, o.m_blocks);
        std::swap(m_next, o.m_next);
        std::swap(m_ahead, o.m_ahead);
    }

private:
    struct Block {
        uchar *data;
        size_t size;
        bool mapped;
    };
    static constexpr size_t kFirst = size_t(16) << 10;
    static constexpr size_t kLarge = kLargePage;
    static constexpr size_t kFull = kLarge; // the most blocks grow to
    [[noreturn]] static void outOfMemory()
    {
        raiseError(7, QStringLiteral("Out of memory"));
    }

    std::vector<Block> m_blocks;
    size_t m_next = kFirst;
    std::future<uchar *> m_ahead; // the next full block, being made
};

// The cells, row 0 included, row by row. A row is one record, its number of
// cells (two bytes) and then each cell, a head that says its length and the
// form it is kept in and then its bytes; cells past that number are empty.
// A text is kept as typed, or shorter: packed, written against a dictionary
// of the column, or as a reference to the same text a few cells back. The store holds where each row's record
// starts: a sort or a removal moves only those, and a fill writes each byte
// once, one row after the other. A row with a cell written again is stored
// anew at the end; the bytes nobody points to are dropped once they are the
// most.
class CellStore {
public:
    // A dictionary takes half a MiB: a short list keeps its texts as they are.
    static constexpr size_t kRowsBeforeDict = 1000;

    CellStore() { m_rowAt.push_back(kEmptyRow); }
    CellStore(const CellStore &) = delete;
    CellStore &operator=(const CellStore &) = delete;

    size_t rows() const { return m_rowAt.size(); }
    int cols() const { return m_cols; }

    QByteArrayView at(size_t r, int c) const
    {
        const uchar *row = m_rowAt[r];
        if (c >= countOf(row))
            return QByteArrayView(kNoText, 0);
        ReadPlace &place = tReadPlace;
        const quint64 generation = gStoreGeneration.load(std::memory_order_relaxed);
        const uchar *p = row + kCountBytes;
        int i = 0;
        if (place.row == row && place.col <= c && place.generation == generation) {
            p = place.at;
            i = place.col;
        }
        for (; i < c; ++i)
            p = skip(p);
        place = ReadPlace{generation, row, c, p};
        // A text kept in a shorter form is read out into one of this
        // thread's own rooms, in turn: a caller comparing two cells read
        // one after the other sees both.
        thread_local CellRooms rooms;
        return textAt(p, c, [&](size_t n) { return rooms.take(n); });
    }

    // Column c of rows from..to - 1 in row order, one stretch of a pass
    // made on several threads at once. Each text is valid for its visit
    // only, unless lasting says it lies in the store itself, where it stays
    // until the store changes.
    template <class Visit>
    void eachInStretch(int c, size_t from, size_t to, Visit &&visit) const
    {
        eachOfRows<false>(c, to - from, [from](size_t k) { return from + k; }, std::forward<Visit>(visit));
    }

    // Column c of the rows rowOf(0..count - 1), in that order, visited as by
    // eachInStretch; lead as walkRows takes it.
    template <bool lead, class RowOf, class Visit>
    void eachOfRows(int c, size_t count, RowOf &&rowOf, Visit &&visit) const
    {
        thread_local PassRoom passing;
        // A member's very long text does not keep its room on the thread.
        struct Trim {
            PassRoom &room;
            ~Trim() { room.trim(); }
        } trim{passing};
        walkRows<lead>(c, count, rowOf, [&](size_t r, const uchar *cell) {
            if (!cell) {
                visit(r, QByteArrayView(kNoText, 0), true);
                return;
            }
            bool lasting = true;
            const QByteArrayView text = textAt(cell, c, [&](size_t len) {
                lasting = false;
                return passing.take(len);
            });
            visit(r, text, lasting);
        });
    }

    // Column c of rows 1.. in stretches, read by the calling thread and the
    // pass threads together: a pass over a long list waits on memory row
    // after row, and each thread keeps its own rows coming. visit(i, row,
    // text, lasting) is called as by eachInStretch, on several threads at
    // once. The exception of the earliest stretch that threw is thrown here
    // once all are done.
    template <class Visit>
    void eachInColumnAtOnce(int c, int stretches, const std::function<size_t(int)> &startOf, Visit &&visit) const
    {
        std::vector<std::exception_ptr> failed(static_cast<size_t>(stretches));
        const std::function<void(int)> run = [&](int i) {
            try {
                eachInStretch(c, startOf(i), startOf(i + 1),
                              [&](size_t r, QByteArrayView text, bool lasting) { visit(i, r, text, lasting); });
            } catch (...) {
                failed[size_t(i)] = std::current_exception();
            }
        };
        PassThreads::get().run(stretches, run);
        for (const std::exception_ptr &e : failed) {
            if (e)
                std::rethrow_exception(e);
        }
    }

    static constexpr int kMostParts = 8;

    // Column c of rows 1.. read in parts by where the rows' records lie,
    // then handed on in stretches of rows, all in one pass of the threads.
    // A sort leaves the rows scattered over the store, so a stretch of rows
    // is read from all of it, and from other processors' caches; a part of
    // the store, a few hundred kilobytes of a short list, is read by the
    // thread that read it at the last pass, where it may still lie in that
    // processor's cache. A part is read in a few chunks, and a thread done
    // with its own part reads chunks of the others: one thread or another
    // is woken late, or finds its part cold.
    //  - placed(g, from, to): on the thread of part g, before it reads a
    //    chunk: the chunk's rows are places from up to to of the parts'
    //    rows (one part after the other, each in row order), and its visits
    //    come as part g's;
    //  - visit(g, row, text, lasting): as by eachInColumnAtOnce, a chunk's
    //    rows in row order;
    //  - then(i, placeOf): once every part is read, for each stretch i of
    //    `parts` stretches (GridSort::stretchStart), where placeOf[k] is the
    //    place of the stretch's row k;
    //  - last(k): once every stretch is through then(), for k from 0 to
    //    parts - 1.
    // An exception ends the pass before the next step and is thrown here.
    template <class Placed, class Visit, class Then, class Last>
    void eachInColumnByPlace(int c, int parts, Placed &&placed, Visit &&visit, Then &&then, Last &&last) const
    {
        Q_ASSERT(parts >= 1 && parts <= kMostParts);
        const size_t n = m_rowAt.size() - 1;
        const quintptr *const split = partBounds(parts);
        auto partOf = [&split, parts](const uchar *row) {
            int part = 0;
            for (int p = 0; p + 1 < parts; ++p)
                part += int(quintptr(row) >= split[p]);
            return part;
        };
        auto stretchStart = [n, parts](int i) { return GridSort::stretchStart(n, parts, i); };

        // Where each part's rows start among the parts' rows, and how many
        // of them lie before each stretch: written by the part's thread
        // before its rows are published.
        size_t partFrom[kMostParts] = {};
        size_t before[kMostParts][kMostParts] = {};
        size_t partCount[kMostParts] = {};
        // The parts' rows, one part after the other, for any thread to read.
        thread_local std::vector<quint32> byPlace;
        byPlace.resize(n);
        quint32 *const placedRows = byPlace.data();
        std::atomic<bool> scanned[kMostParts] = {};
        std::atomic<int> nextChunk[kMostParts] = {};
        constexpr int kChunks = 8;
        std::exception_ptr chunkFailed[kMostParts * kChunks];
        std::atomic<int> chunksDone{0};
        std::atomic<int> ordered{0}; // stretches through then()
        std::atomic<bool> anyFailed{false};
        std::atomic<bool> claimed[kMostParts] = {};
        std::vector<std::exception_ptr> failed(size_t(3 * parts));
        // Every job of a step was taken before the next step's, by a thread
        // that is at work on it.
        auto waitFor = [](const std::atomic<int> &done, int all) {
            for (int spins = 0; done.load(std::memory_order_acquire) != all; ++spins) {
                if (spins < 4096)
                    PassThreads::relax();
                else
                    std::this_thread::yield();
            }
        };
        // The next chunk of part q read with part g's keys; false where
        // none was left. A chunk that fails is counted as any other.
        auto readChunk = [&](int g, int q) {
            const int k = nextChunk[q].fetch_add(1, std::memory_order_relaxed);
            if (k >= kChunks)
                return false;
            if (!anyFailed.load(std::memory_order_relaxed)) {
                try {
                    const size_t from = partCount[q] * size_t(k) / kChunks;
                    const size_t to = partCount[q] * size_t(k + 1) / kChunks;
                    placed(g, partFrom[q] + from, partFrom[q] + to);
                    const quint32 *rows = placedRows + partFrom[q] + from;
                    eachOfRows<true>(c, to - from, [rows](size_t at) { return size_t(rows[at]); },
                                     [&](size_t r, QByteArrayView text, bool lasting) { visit(g, r, text, lasting); });
                } catch (...) {
                    chunkFailed[q * kChunks + k] = std::current_exception();
                    anyFailed.store(true);
                }
            }
            chunksDone.fetch_add(1, std::memory_order_release);
            return true;
        };
        const std::function<void(int)> job = [&](int j) {
            try {
                if (j < parts) {
                    // This thread's own part, where another has not taken
                    // it for lack of threads.
                    int p = PassThreads::threadIndex() % parts;
                    while (claimed[p].exchange(true))
                        p = (p + 1) % parts;
                    // Each thread finds its own rows, and how many rows
                    // lie in the parts before its own, in one look at the
                    // rows' places.
                    thread_local std::vector<quint32> own;
                    try {
                        own.resize(n);
                    } catch (...) {
                        // Nobody reads a part that was never found.
                        anyFailed.store(true);
                        nextChunk[p].store(kChunks);
                        chunksDone.fetch_add(kChunks, std::memory_order_release);
                        throw;
                    }
                    quint32 *const mine = own.data();
                    const quintptr low = p == 0 ? 0 : split[p - 1];
                    const quintptr high = p == parts - 1 ? ~quintptr(0) : split[p];
                    size_t k = 0, below = 0;
                    for (int i = 0; i < parts; ++i) {
                        before[p][i] = k;
                        for (size_t r = stretchStart(i), end = stretchStart(i + 1); r < end; ++r) {
                            const quintptr at = quintptr(m_rowAt[r]);
                            below += size_t(at < low);
                            mine[k] = quint32(r);
                            k += size_t(at >= low) & size_t(at < high);
                        }
                    }
                    partFrom[p] = below;
                    partCount[p] = k;
                    std::memcpy(placedRows + below, mine, k * sizeof(quint32));
                    scanned[p].store(true, std::memory_order_release);
                    while (readChunk(p, p)) {
                    }
                    // Then the chunks of the parts still being read.
                    for (bool more = true; more;) {
                        more = false;
                        for (int d = 1; d < parts; ++d) {
                            const int q = (p + d) % parts;
                            if (scanned[q].load(std::memory_order_acquire) && readChunk(p, q))
                                more = true;
                        }
                    }
                } else if (j < 2 * parts) {
                    waitFor(chunksDone, parts * kChunks);
                    if (!anyFailed.load()) {
                        const int i = j - parts;
                        size_t next[kMostParts];
                        for (int q = 0; q < parts; ++q)
                            next[q] = partFrom[q] + before[q][i];
                        const size_t from = stretchStart(i), end = stretchStart(i + 1);
                        thread_local std::vector<quint32> placeOf;
                        placeOf.resize(end - from);
                        for (size_t r = from; r < end; ++r)
                            placeOf[r - from] = quint32(next[partOf(m_rowAt[r])]++);
                        then(i, static_cast<const quint32 *>(placeOf.data()));
                    }
                } else {
                    waitFor(ordered, parts);
                    if (!anyFailed.load())
                        last(j - 2 * parts);
                }
            } catch (...) {
                failed[size_t(j)] = std::current_exception();
                anyFailed.store(true);
            }
            if (j >= parts && j < 2 * parts)
                ordered.fetch_add(1, std::memory_order_release);
        };
        PassThreads::get().run(3 * parts, job);
        for (const std::exception_ptr &e : chunkFailed) {
            if (e)
                std::rethrow_exception(e);
        }
        for (const std::exception_ptr &e : failed) {
            if (e)
                std::rethrow_exception(e);
        }
    }

    // The bounds between the records of `parts` parts of about as many rows
    // each, in the order of their places. They are kept as long as no
    // record is written or dropped: a sort moves none, so the next pass
    // gives each thread the records it read at this one, and parts of equal
    // rows (a part's thread is late as often as not, and the pass waits for
    // the last).
    const quintptr *partBounds(int parts) const
    {
        Split &kept = m_split;
        const size_t n = m_rowAt.size() - 1;
        if (kept.parts == parts && kept.rows == n && kept.layout == m_layout)
            return kept.at;
        constexpr size_t kSample = 1024;
        thread_local std::vector<quintptr> sample;
        sample.clear();
        const size_t taken = std::min(n, kSample);
        for (size_t i = 0; i < taken; ++i)
            sample.push_back(quintptr(m_rowAt[1 + i * n / taken]));
        auto from = sample.begin();
        for (int p = 1; p < parts; ++p) {
            const auto at = sample.begin() + std::ptrdiff_t(sample.size() * size_t(p) / size_t(parts));
            std::nth_element(from, at, sample.end());
            kept.at[p - 1] = *at;
            from = at;
        }
        kept.parts = parts;
        kept.rows = n;
        kept.layout = m_layout;
        return kept.at;
    }

    // Row r's first n cells, in one walk of its record. Those kept in a
    // shorter form are read out into this thread's room for a row, valid
    // until the thread's next row.
    void rowCells(size_t r, QByteArrayView *out, int n) const
    {
        thread_local RowRoom room;
        room.size = 0;
        room.placed.clear();
        const uchar *row = m_rowAt[r];
        const int count = std::min(n, countOf(row));
        const uchar *p = row + kCountBytes;
        for (int i = 0; i < count; ++i) {
            out[i] = textAt(p, i, [&](size_t len) {
                room.placed.emplace_back(i, room.size);
                return room.take(len);
            });
            p = skip(p);
        }
        // The room may have moved while it grew: the views into it are
        // made once it is whole.
        for (const auto &[i, from] : room.placed)
            out[i] = QByteArrayView(room.data.get() + from, out[i].size());
        for (int i = count; i < n; ++i)
            out[i] = QByteArrayView(kNoText, 0);
    }

    // A fill: the cells of one row in order, then endRow.
    void appendCell(QByteArrayView v)
    {
        const size_t len = size_t(v.size());
        if (!m_rowStart)
            startRow();
        if (size_t(m_end - m_tail) < len + kMaxHead)
            moveRow(len + kMaxHead);
        m_tail = putHead(m_tail, len, kPlain);
        ++m_pending;
        if (len) {
            std::memcpy(m_tail, v.data(), len);
            m_tail += len;
            m_kept = m_pending;
            m_keptTail = m_tail;
        }
    }

    void endRow() { m_rowAt.push_back(finishRow()); }

    // A whole row in one step: its size is known before a byte is written,
    // as no cell is written longer than its text.
    void appendRow(const QByteArrayView *cells, int n)
    {
        while (n > 0 && cells[n - 1].isEmpty())
            --n;
        ++m_layout;
        if (n == 0) {
            m_rowAt.push_back(kEmptyRow);
            return;
        }
        size_t size = kCountBytes;
        for (int i = 0; i < n; ++i)
            size += size_t(cells[i].size()) + headBytes(size_t(cells[i].size()));
        if (size_t(m_end - m_tail) < size)
            takeBlock(size);
        if (m_recent.size() < size_t(n) * kRecent)
            m_recent.resize(size_t(n) * kRecent);
        uchar *row = m_tail;
        const quint16 count = quint16(n);
        std::memcpy(row, &count, kCountBytes);
        uchar *to = row + kCountBytes;
        for (int i = 0; i < n; ++i) {
            const size_t len = size_t(cells[i].size());
            const uchar *data = reinterpret_cast<const uchar *>(cells[i].data());
            uchar *const cell = to;
            to = putCell(to, i, data, len);
            // A text the column had a few cells ago, in this block, is
            // written as where it lies: a type, a town, a date shared by
            // many members is kept once a block. The same text is written
            // the same way, so the written forms are compared.
            const size_t written = size_t(to - cell);
            if (written < kMinShared)
                continue;
            Recent *recent = &m_recent[size_t(i) * kRecent];
            int k = 0;
            for (; k < kRecent; ++k) {
                if (recent[k].len == written && inBlock(recent[k].at, cell) && sameBytes(recent[k].at, cell, written))
                    break;
            }
            // The shared cell's head is one byte, and says in how many bytes
            // the distance is written.
            const size_t back = k < kRecent ? size_t(cell + 1 - recent[k].at) : 0;
            if (k < kRecent && back < (size_t(1) << (8 * kRefBytes))) {
                const size_t width = back < 0x100 ? 1 : back < 0x10000 ? 2 : 3;
                uchar *const ref = putHead(cell, width, kShared);
                for (size_t b = 0; b < width; ++b)
                    ref[b] = uchar(back >> (8 * b));
                to = ref + width;
                const Recent hit = recent[k];
                std::memmove(recent + 1, recent, size_t(k) * sizeof(Recent));
                recent[0] = hit;
                continue;
            }
            std::memmove(recent + 1, recent, (kRecent - 1) * sizeof(Recent));
            recent[0] = Recent{cell, written};
        }
        m_used += size_t(to - row);
        m_tail = to;
        m_rowAt.push_back(row);
    }

    void set(size_t r, int c, QByteArrayView v)
    {
        const uchar *old = m_rowAt[r];
        const int count = countOf(old);
        if (c >= count && v.isEmpty())
            return;
        const int n = std::max(count, c + 1);
        std::vector<QByteArrayView> cells(static_cast<size_t>(count));
        rowCells(r, cells.data(), count);
        for (int i = 0; i < n; ++i)
            appendCell(i == c ? v : i < count ? cells[size_t(i)] : QByteArrayView());
        m_rowAt[r] = finishRow();
        m_dead += sizeOf(old);
        compactIfWasteful();
    }

    void resizeRows(size_t n)
    {
        // A list emptied for its next fill keeps its header only: copying
        // what stays beats reckoning every row that goes.
        if (n * 2 < rows()) {
            rebuild(n);
            return;
        }
        ++m_layout;
        for (size_t r = n; r < rows(); ++r)
            m_dead += sizeOf(m_rowAt[r]);
        m_rowAt.resize(n, kEmptyRow);
        compactIfWasteful();
    }

    void setCols(int n)
    {
        if (n > 0xFFFF)
            raiseError(7, QStringLiteral("Out of memory"));
        if (n < m_cols) {
            // Only rows of blocks have more cells than no cell at all.
            for (size_t r = 0; r < rows(); ++r) {
                if (countOf(m_rowAt[r]) > n) {
                    const quint16 count = quint16(n);
                    std::memcpy(const_cast<uchar *>(m_rowAt[r]), &count, kCountBytes);
                }
            }
            gStoreGeneration.fetch_add(1, std::memory_order_relaxed);
        }
        m_cols = n;
    }

    void remove(size_t r)
    {
        ++m_layout;
        m_dead += sizeOf(m_rowAt[r]);
        m_rowAt.erase(r);
        compactIfWasteful();
    }

    // No more rows are coming for now.
    void shrink()
    {
        m_blocks.dropAhead();
        if (!m_rowStart)
            m_end = m_blocks.trimLast(m_tail);
        m_rowAt.shrink();
    }

    // Row 0 stays; new row i + 1 is the old row order[i], for the rows() - 1
    // data rows. Only the rows' pointers move; their bytes stay where they are.
    void reorder(const quint32 *order)
    {
        // Each place takes the row it is given from where that row was: the
        // reads lie apart but none waits on another, so they overlap, and a
        // long list shares them among the pass threads. Following the
        // order's cycles in place would wait on memory at every step of a
        // long list.
        const size_t n = m_rowAt.size() - 1;
        if (n <= kKeptMoves) {
            // A short list's rows are gathered into a table this thread
            // keeps for the next sort, and copied back: a cycle of the order
            // waits at each step on the step before.
            thread_local std::vector<const uchar *> moved;
            moved.resize(std::max(moved.size(), n));
            const uchar **to = moved.data();
            for (size_t i = 0; i < n; ++i)
                to[i] = m_rowAt[order[i]];
            std::memcpy(static_cast<void *>(&m_rowAt[1]), to, n * sizeof(*to));
            return;
        }
        if (n < kGatherRows) {
            // A longer list's row table still sits in the cache: moved in
            // place, one cycle of the order after the other.
            std::vector<bool> placed(n + 1, false);
            for (size_t start = 1; start <= n; ++start) {
                if (placed[start])
                    continue;
                const uchar *first = m_rowAt[start];
                size_t to = start;
                for (;;) {
                    placed[to] = true;
                    const size_t from = order[to - 1];
                    if (from == start) {
                        m_rowAt[to] = first;
                        break;
                    }
                    m_rowAt[to] = m_rowAt[from];
                    to = from;
                }
            }
            return;
        }
        Buffer<const uchar *> moved;
        const uchar **to = moved.extend(n + 1);
        to[0] = m_rowAt[0];
        const int parts = int(std::clamp<size_t>(n / 16384, 1, 16));
        PassThreads::get().run(parts, [&](int part) {
            const size_t end = GridSort::stretchStart(n, parts, part + 1);
            for (size_t i = GridSort::stretchStart(n, parts, part); i < end; ++i)
                to[i] = m_rowAt[order[i - 1]];
        });
        m_rowAt = std::move(moved);
    }

private:
    static constexpr size_t kCountBytes = 2;
    static constexpr size_t kGatherRows = size_t(1) << 18; // rows from which a reorder gathers
    static constexpr size_t kKeptMoves = size_t(1) << 15;  // rows up to which it gathers into a kept table
    static constexpr size_t kMaxHead = 10;
    static constexpr size_t kRefBytes = 3;  // the most bytes that say how far back a shared text lies
    static constexpr size_t kMinShared = 4; // shorter cells are written out
    static constexpr int kRecent = 4;       // the cells a column remembers
    // Texts from this long are written against the column's dictionary.
    static constexpr size_t kMinCoded = 16;
    struct Recent {
        const uchar *at = nullptr; // the cell's head
        size_t len = 0;            // the bytes it takes, head included
    };
    static constexpr uchar kEmptyRecord[kCountBytes] = {0, 0};
    static constexpr char kNoText[1] = {0}; // where every empty cell lies
    static inline const uchar *const kEmptyRow = kEmptyRecord;

    // How a cell is written, in the two low bits of its head.
    enum Kind : unsigned {
        kPlain = 0,  // the text's bytes follow
        kShared = 1, // an earlier cell's text: the length's bytes that follow say how far back its head is
        kPacked = 2, // digits and the signs of dates and numbers, two a byte
        kCoded = 3,  // the text against the column's dictionary
    };

    static int countOf(const uchar *row)
    {
        quint16 count;
        std::memcpy(&count, row, kCountBytes);
        return count;
    }
    // A cell's head is a length times four plus its kind, written 7 bits a
    // byte. The length is the text's for a plain or packed text, the bytes
    // that follow for a coded or a shared one.
    static size_t headBytes(size_t len)
    {
        size_t n = 1;
        for (size_t v = len << 2; v >= 0x80; v >>= 7)
            ++n;
        return n;
    }
    static uchar *putHead(uchar *to, size_t len, Kind kind) { return putCount(to, (len << 2) | kind); }
    // The head at p: the length, the kind, and where the head ends.
    static const uchar *readHead(const uchar *p, size_t *len, Kind *kind)
    {
        const size_t v = readCount(&p);
        *len = v >> 2;
        *kind = Kind(v & 3);
        return p;
    }
    static size_t bytesAfterHead(size_t len, Kind kind)
    {
        switch (kind) {
        case kPlain:
        case kCoded:
        case kShared:
            return len;
        case kPacked:
            break;
        }
        return (len + 1) / 2;
    }
    // The cell a shared cell's head (ending at p) stands for: a cell that
    // is not itself shared.
    static const uchar *sharedCell(const uchar *p, size_t width)
    {
        size_t back = 0;
        for (size_t b = 0; b < width; ++b)
            back |= size_t(p[b]) << (8 * b);
        return p - back;
    }
    // A number written 7 bits a byte, the lowest first.
    static size_t readCount(const uchar **p)
    {
        size_t v = 0;
        int shift = 0;
        while (**p & 0x80) {
            v |= size_t(*(*p)++ & 0x7F) << shift;
            shift += 7;
        }
        v |= size_t(*(*p)++) << shift;
        return v;
    }
    static uchar *putCount(uchar *to, size_t v)
    {
        while (v >= 0x80) {
            *to++ = uchar((v & 0x7F) | 0x80);
            v >>= 7;
        }
        *to++ = uchar(v);
        return to;
    }

    // The head of the cell at p, or of the earlier cell a shared one stands
    // for: the length and form of the bytes that follow it.
    static const uchar *ownHead(const uchar *p, size_t *len, Kind *kind)
    {
        p = readHead(p, len, kind);
        if (*kind == kShared)
            p = readHead(sharedCell(p, *len), len, kind);
        return p;
    }

    // Visits the cells of column c in rows rowOf(0..count - 1), each as where its
    // head lies (null for a row without it). After a sort on another column
    // the rows lie scattered, so each read would wait on memory: the rows a
    // few places ahead are asked for while this one is read, as far into
    // their records as the column lay in this one (asking for more only
    // queues the requests that matter behind those that do not). With
    // lead, for rows that lie in a few hundred kilobytes of the store, the
    // cells are found two groups of rows ahead of their reading: a text
    // shared with an earlier cell lies elsewhere, and is asked for
    // meanwhile. Rows from all over a long list would not have come yet.
    template <bool lead, class RowOf, class Read>
    void walkRows(int c, size_t count, RowOf &rowOf, Read &&read) const
    {
        constexpr size_t kAhead = 16;
        size_t reach = 8 * 64; // a realistic row's record fits in 8 cache lines
        auto ask = [&](size_t k) {
            if (k + kAhead < count) {
                // Every line the bytes touch: a record seldom starts on a
                // line of its own.
                const quintptr next = quintptr(m_rowAt[rowOf(k + kAhead)]);
                for (quintptr line = next & ~quintptr(63); line <= next + reach; line += 64)
                    __builtin_prefetch(reinterpret_cast<const void *>(line));
            }
        };
        // Each step to the next cell waits on the one before; four rows are
        // walked side by side, so four such chains are under way at once.
        constexpr size_t kLead = lead ? 8 : 0;
        const uchar *found[3][4];
        auto find = [&](size_t g) {
            const uchar **cell = found[(g / 4) % 3];
            const uchar *row[4] = {m_rowAt[rowOf(g)], m_rowAt[rowOf(g + 1)], m_rowAt[rowOf(g + 2)],
                                   m_rowAt[rowOf(g + 3)]};
            if (c >= countOf(row[0]) || c >= countOf(row[1]) || c >= countOf(row[2]) || c >= countOf(row[3])) {
                for (size_t j = 0; j < 4; ++j)
                    cell[j] = cellOf(c, row[j]);
            } else {
                const uchar *p[4] = {row[0] + kCountBytes, row[1] + kCountBytes, row[2] + kCountBytes,
                                     row[3] + kCountBytes};
                for (int i = 0; i < c; ++i) {
                    p[0] = skipWithin(p[0]);
                    p[1] = skipWithin(p[1]);
                    p[2] = skipWithin(p[2]);
                    p[3] = skipWithin(p[3]);
                }
                reach = size_t(skip(p[3]) - row[3]);
                for (size_t j = 0; j < 4; ++j)
                    cell[j] = p[j];
            }
            for (size_t j = 0; lead && j < 4; ++j) {
                if (cell[j] && Kind(*cell[j] & 3) == kShared) {
                    size_t width = 0;
                    Kind kind = kShared;
                    const uchar *const at = sharedCell(readHead(cell[j], &width, &kind), width);
                    __builtin_prefetch(at);
                    __builtin_prefetch(at + 32);
                }
            }
        };
        size_t k = 0;
        for (size_t g = 0; g < kLead && g + 4 <= count; g += 4)
            find(g);
        for (; k + 4 <= count; k += 4) {
            for (size_t j = 0; j < 4; ++j)
                ask(k + j);
            if (k + kLead + 4 <= count)
                find(k + kLead);
            const uchar *const *cell = found[(k / 4) % 3];
            for (size_t j = 0; j < 4; ++j)
                read(rowOf(k + j), cell[j]);
        }
        for (; k < count; ++k) {
            ask(k);
            readOne(c, rowOf(k), read, &reach);
        }
    }
    // Where column c's cell lies in the record, or null where the record
    // ends before it.
    static const uchar *cellOf(int c, const uchar *row)
    {
        if (c >= countOf(row))
            return nullptr;
        const uchar *p = row + kCountBytes;
        for (int i = 0; i < c; ++i)
            p = skipWithin(p);
        return p;
    }
    template <class Read>
    void readOne(int c, size_t r, Read &read, size_t *reach) const
    {
        const uchar *const row = m_rowAt[r];
        const uchar *const cell = cellOf(c, row);
        if (cell)
            *reach = size_t(skip(cell) - row);
        read(r, cell);
    }

    // The text of the cell at p in column c: where it lies, or read out into
    // room(n), which gives n bytes to write it to.
    template <class Room>
    QByteArrayView textAt(const uchar *p, int c, Room &&room) const
    {
        size_t len;
        Kind kind;
        p = ownHead(p, &len, &kind);
        if (kind == kPlain)
            return QByteArrayView(reinterpret_cast<const char *>(p), qsizetype(len));
        if (kind == kPacked) {
            char *to = room(len);
            unpack(p, len, to);
            return QByteArrayView(to, qsizetype(len));
        }
        const uchar *end = p + len;
        const size_t n = readCount(&p);
        char *to = room(n);
        decode(p, end, m_dicts[size_t(c)]->bytes, to);
        return QByteArrayView(to, qsizetype(n));
    }
    // The cell after the one at p, where another cell is known to follow
    // in the record (so the byte after a one-byte head can be read): heads
    // of one or two bytes (every text under 4 KiB) without a branch, as a
    // row's cells alternate between the two at random.
    static Q_ALWAYS_INLINE const uchar *skipWithin(const uchar *p)
    {
        const size_t b0 = p[0], b1 = p[1];
        if (Q_UNLIKELY(b0 & b1 & 0x80))
            return skip(p);
        const size_t two = b0 >> 7;
        const size_t v = (b0 & 0x7F) | ((b1 << 7) & (size_t(0) - two));
        const size_t len = v >> 2;
        const size_t after = (v & 3) == kPacked ? (len + 1) / 2 : len;
        return p + 1 + two + after;
    }
    static const uchar *skip(const uchar *p)
    {
        if (!(*p & 0x80))
            return p + 1 + bytesAfterHead(size_t(*p >> 2), Kind(*p & 3));
        size_t len;
        Kind kind;
        p = readHead(p, &len, &kind);
        return p + bytesAfterHead(len, kind);
    }

    // Packed texts: a symbol a half byte, the first in the high half.
    static constexpr char kPackSymbols[17] = "0123456789 -:+/.";
    struct PackTables {
        uchar code[256];    // a byte's symbol, or 0xFF
        char pairs[256][2]; // a packed byte's two bytes of text
        PackTables()
        {
            std::memset(code, 0xFF, sizeof code);
            for (int i = 0; i < 16; ++i)
                code[uchar(kPackSymbols[i])] = uchar(i);
            for (int b = 0; b < 256; ++b) {
                pairs[b][0] = kPackSymbols[b >> 4];
                pairs[b][1] = kPackSymbols[b & 15];
            }
        }
    };
    static const PackTables &packTables()
    {
        static const PackTables tables;
        return tables;
    }
    static bool packable(const uchar *s, size_t len)
    {
        const uchar *code = packTables().code;
        uchar any = 0;
        for (size_t i = 0; i < len; ++i)
            any |= code[s[i]];
        return !(any & 0xF0);
    }
    static uchar *pack(uchar *to, const uchar *s, size_t len)
    {
        const uchar *code = packTables().code;
        size_t i = 0;
        for (; i + 1 < len; i += 2)
            *to++ = uchar(code[s[i]] << 4 | code[s[i + 1]]);
        if (i < len)
            *to++ = uchar(code[s[i]] << 4);
        return to;
    }
    static void unpack(const uchar *p, size_t len, char *to)
    {
        const auto &pairs = packTables().pairs;
        size_t i = 0;
        for (; i + 1 < len; i += 2)
            std::memcpy(to + i, pairs[*p++], 2);
        if (i < len)
            to[i] = pairs[*p][0];
    }

    // A column's dictionary: texts from its first long cells, which later
    // texts are written against. Each coded cell is its pieces in order:
    // a byte below kMatch, a run of that many plus one bytes that follow;
    // from kMatch, kMinMatch + (byte - kMatch) % kLengths bytes of the
    // dictionary at a place whose two high bits are (byte - kMatch) /
    // kLengths, its low 16 bits in the two bytes that follow. A cell reads out on its own, in
    // any order, on any thread. The dictionary only grows, and only while
    // rows are appended.
    static constexpr size_t kDictBytes = size_t(1) << 18;
    // Texts are read out 16 bytes at a time: the room they go to, and the
    // dictionary, have this many bytes to spare after them.
    static constexpr size_t kSlack = 16;
    static void copy16s(char *to, const uchar *from, size_t n)
    {
        for (size_t k = 0; k < n; k += 16)
            std::memcpy(to + k, from + k, 16);
    }
    static constexpr int kHashBits = 16;
    static constexpr uchar kMatch = 0x40;
    static constexpr size_t kMinMatch = 4;
    static constexpr size_t kLengths = (0x100 - kMatch) / 4;
    static constexpr size_t kMaxMatch = kMinMatch + kLengths - 1;
    static constexpr int kSampleCells = 4096; // the cells a dictionary looks at
    struct Dict {
        uchar bytes[kDictBytes + kSlack];
        quint32 last[size_t(1) << kHashBits]; // where a 4-byte string is
        size_t size = 0;
        int sampled = 0;
    };
    static quint32 load32(const uchar *p)
    {
        quint32 v;
        std::memcpy(&v, p, 4);
        return v;
    }
    static size_t hashOf(quint32 v) { return (v * 2654435761U) >> (32 - kHashBits); }

    static void decode(const uchar *p, const uchar *end, const uchar *dict, char *to)
    {
        while (p < end) {
            const uchar t = *p++;
            if (t < kMatch) {
                const size_t n = size_t(t) + 1;
                // A run at the end of a cell may end its block.
                if (size_t(end - p) >= n + kSlack)
                    copy16s(to, p, n);
                else
                    std::memcpy(to, p, n);
                p += n;
                to += n;
            } else {
                const size_t n = kMinMatch + (t - kMatch) % kLengths;
                const size_t from = size_t(p[0]) | size_t(p[1]) << 8 | size_t((t - kMatch) / kLengths) << 16;
                p += 2;
                copy16s(to, dict + from, n);
                to += n;
            }
        }
    }
    // The text written against dict into to (room for len + len / 64 + 12
    // bytes): its length, then its pieces. Returns the end.
    static uchar *code(const Dict &dict, const uchar *s, size_t len, uchar *to)
    {
        to = putCount(to, len);
        size_t run = 0; // where the bytes not yet written start
        auto putRun = [&](size_t end) {
            while (run < end) {
                const size_t n = std::min<size_t>(end - run, kMatch);
                *to++ = uchar(n - 1);
                std::memcpy(to, s + run, n);
                to += n;
                run += n;
            }
        };
        size_t i = 0;
        while (i + kMinMatch <= len) {
            const quint32 v = load32(s + i);
            const size_t at = dict.last[hashOf(v)];
            if (at + kMinMatch > dict.size || load32(dict.bytes + at) != v) {
                ++i;
                continue;
            }
            size_t n = kMinMatch;
            const size_t most = std::min({kMaxMatch, len - i, dict.size - at});
            while (n < most && dict.bytes[at + n] == s[i + n])
                ++n;
            putRun(i);
            *to++ = uchar(kMatch + (at >> 16) * kLengths + (n - kMinMatch));
            *to++ = uchar(at);
            *to++ = uchar(at >> 8);
            i += n;
            run = i;
        }
        putRun(len);
        return to;
    }
    // The cell's text written at to in its shortest form, its head first;
    // returns the end (never further than a plain text's).
    uchar *putCell(uchar *to, int c, const uchar *s, size_t len)
    {
        if (len >= 2 && packable(s, len))
            return pack(putHead(to, len, kPacked), s, len);
        if (len >= kMinCoded && m_rowAt.size() >= kRowsBeforeDict) {
            if (m_dicts.size() <= size_t(c))
                m_dicts.resize(size_t(c) + 1);
            std::unique_ptr<Dict> &dict = m_dicts[size_t(c)];
            if (!dict) {
                // Only the table needs a start: no byte past the
                // dictionary's size is read for what it holds, and a page
                // first touched costs a fault, the dearest part of a new
                // dictionary.
                dict.reset(new Dict);
                std::memset(dict->last, 0, sizeof dict->last);
            }
            if (m_scratch.size() < len + len / 64 + 12)
                m_scratch.resize(len + len / 64 + 12);
            const size_t coded = size_t(code(*dict, s, len, m_scratch.data()) - m_scratch.data());
            // The first texts of a column that are not yet much like its
            // dictionary go into it.
            if (dict->sampled < kSampleCells && dict->size < kDictBytes && coded * 2 > len) {
                ++dict->sampled;
                const size_t add = std::min(len, kDictBytes - dict->size);
                std::memcpy(dict->bytes + dict->size, s, add);
                const size_t from = dict->size >= 3 ? dict->size - 3 : 0;
                dict->size += add;
                // A string the dictionary has is found where it was first:
                // a run of one byte then matches whole.
                for (size_t at = from; at + kMinMatch <= dict->size; ++at) {
                    const quint32 v = load32(dict->bytes + at);
                    quint32 &last = dict->last[hashOf(v)];
                    if (last >= at || load32(dict->bytes + last) != v)
                        last = quint32(at);
                }
            }
            if (coded < len) {
                to = putHead(to, coded, kCoded);
                std::memcpy(to, m_scratch.data(), coded);
                return to + coded;
            }
        }
        to = putHead(to, len, kPlain);
        if (len)
            std::memcpy(to, s, len);
        return to + len;
    }

    // Room for one text read out at a time, grown to the longest.
    struct PassRoom {
        std::unique_ptr<char[]> data;
        size_t cap = 0;
        char *take(size_t n)
        {
            if (n + kSlack > cap) {
                cap = std::max(n + kSlack, 2 * cap + 256);
                data.reset(new char[cap]);
            }
            return data.get();
        }
        void trim()
        {
            if (cap > kKeptPassRoom) {
                data.reset();
                cap = 0;
            }
        }
        static constexpr size_t kKeptPassRoom = size_t(64) << 10;
    };
    // Room for the texts read out by cell, a few in turn on each thread.
    struct CellRooms {
        std::string rooms[4];
        int next = 0;
        char *take(size_t n)
        {
            std::string &room = rooms[next];
            next = (next + 1) % 4;
            room.resize(n + kSlack);
            return room.data();
        }
    };
    // Room for the texts read out from one row, and which cells they are.
    struct RowRoom {
        std::unique_ptr<char[]> data;
        size_t size = 0, cap = 0;
        std::vector<std::pair<int, size_t>> placed;
        char *take(size_t n)
        {
            if (size + n + kSlack > cap) {
                const size_t grown = std::max(size + n + kSlack, 2 * cap + 256);
                std::unique_ptr<char[]> more(new char[grown]);
                if (size)
                    std::memcpy(more.get(), data.get(), size);
                data = std::move(more);
                cap = grown;
            }
            char *at = data.get() + size;
            size += n;
            return at;
        }
    };
    // Bytes a row's record takes, its count included.
    static size_t sizeOf(const uchar *row)
    {
        if (row == kEmptyRow)
            return 0;
        const uchar *p = row + kCountBytes;
        for (int i = countOf(row); i > 0; --i)
            p = skip(p);
        return size_t(p - row);
    }

    void startRow()
    {
        if (size_t(m_end - m_tail) < kCountBytes + kMaxHead)
            takeBlock(kCountBytes + kMaxHead);
        m_rowStart = m_tail;
        m_tail += kCountBytes;
        m_keptTail = m_tail;
        m_pending = m_kept = 0;
    }
    // The row being written no longer fits its block: it goes on in a new
    // one, with need bytes free after it.
    void moveRow(size_t need)
    {
        const size_t written = size_t(m_tail - m_rowStart);
        uchar *to = takeBlock(written + need);
        std::memcpy(to, m_rowStart, written);
        m_keptTail = to + (m_keptTail - m_rowStart);
        m_rowStart = to;
        m_tail = to + written;
    }
    const uchar *finishRow()
    {
        ++m_layout;
        if (!m_rowStart)
            return kEmptyRow;
        // Empty cells at the end of a row are not kept: a record's end
        // says the same.
        const uchar *row = m_rowStart;
        m_rowStart = nullptr;
        m_tail = m_keptTail;
        if (m_kept == 0) {
            m_tail -= kCountBytes;
            return kEmptyRow;
        }
        const quint16 count = quint16(m_kept);
        std::memcpy(const_cast<uchar *>(row), &count, kCountBytes);
        m_used += size_t(m_tail - row);
        return row;
    }

    void compactIfWasteful()
    {
        if (m_dead < (size_t(1) << 16) || m_dead * 2 < m_used)
            return;
        rebuild(rows());
    }
    // Keeps rows 0..n-1 alone, in memory of their own.
    void rebuild(size_t n)
    {
        // Each row is written anew from its texts: a shared text points
        // into the block it was written in.
        CellStore fresh;
        fresh.m_cols = m_cols;
        fresh.m_rowAt.resize(0, kEmptyRow);
        std::vector<QByteArrayView> cells;
        for (size_t r = 0; r < n; ++r) {
            cells.resize(size_t(countOf(m_rowAt[r])));
            rowCells(r, cells.data(), int(cells.size()));
            fresh.appendRow(cells.data(), int(cells.size()));
        }
        m_blocks.swap(fresh.m_blocks);
        m_rowAt = std::move(fresh.m_rowAt);
        m_recent = std::move(fresh.m_recent);
        m_dicts.swap(fresh.m_dicts);
        m_blockStart = fresh.m_blockStart;
        m_tail = fresh.m_tail;
        m_end = fresh.m_end;
        m_used = fresh.m_used;
        m_dead = 0;
        ++m_layout;
        // fresh frees the old blocks as it goes.
    }

    // Whether the len bytes at a and b are the same, len >= 4: whole words
    // compared in line, the last one overlapping.
    static bool sameBytes(const uchar *a, const uchar *b, size_t len)
    {
        if (len < 8) {
            quint32 x, y, u, v;
            std::memcpy(&x, a, 4);
            std::memcpy(&y, b, 4);
            std::memcpy(&u, a + len - 4, 4);
            std::memcpy(&v, b + len - 4, 4);
            return ((x ^ y) | (u ^ v)) == 0;
        }
        quint64 x, y;
        for (size_t i = 0; i + 8 < len; i += 8) {
            std::memcpy(&x, a + i, 8);
            std::memcpy(&y, b + i, 8);
            if (x != y)
                return false;
        }
        std::memcpy(&x, a + len - 8, 8);
        std::memcpy(&y, b + len - 8, 8);
        return x == y;
    }
    // Whether at lies in the block being written, before to.
    bool inBlock(const uchar *at, const uchar *to) const
    {
        const auto a = reinterpret_cast<uintptr_t>(at);
        return a >= reinterpret_cast<uintptr_t>(m_blockStart) && a < reinterpret_cast<uintptr_t>(to);
    }
    uchar *takeBlock(size_t bytes)
    {
        m_tail = m_blockStart = m_blocks.take(bytes, &m_end);
        return m_tail;
    }

    Blocks m_blocks;
    Buffer<const uchar *> m_rowAt;
    std::vector<std::unique_ptr<Dict>> m_dicts; // by column, once it has a long text
    std::vector<uchar> m_scratch;               // a text being coded
    uchar *m_blockStart = nullptr;              // the block being written
    std::vector<Recent> m_recent;               // kRecent a column, the last first
    uchar *m_rowStart = nullptr;                // the row being written, if any
    uchar *m_tail = nullptr;                    // where the next byte goes
    uchar *m_end = nullptr;                     // the end of the block being written
    int m_pending = 0;                          // cells of the row being written
    int m_kept = 0;                             // of those, up to the last one not empty
    uchar *m_keptTail = nullptr;                // where that one ends
    int m_cols = 0;
    size_t m_used = 0, m_dead = 0;
    // Moves on whenever a record is written or dropped.
    quint64 m_layout = 0;
    // partBounds, and the rows and layout they were found for.
    struct Split {
        int parts = 0;
        size_t rows = 0;
        quint64 layout = ~quint64(0);
        quintptr at[kMostParts - 1] = {};
    };
    mutable Split m_split;
};
// The rows of a fill on their way to the store: the filling thread copies
// each row as it comes (the back-end's texts last only until its next row)
// and a writer thread stores them, so reading the rows and storing them
// overlap. The copies go round a ring of one large page: room for a few
// thousand rows, so a writer slow for a moment (a new block, a new
// dictionary) holds nobody up, and one fault to touch it. Neither side
// takes a lock while the other keeps up; one that waits looks on for a
// while, then sleeps.
class RowQueue {
public:
    explicit RowQueue(CellStore &store) : m_store(store)
    {
#if defined(__linux__)
        m_ring = mapLargePages(kRingBytes);
        m_mapped = m_ring != nullptr;
#endif
        if (!m_ring)
            m_ring = new uchar[kRingBytes];
        try {
            m_writer = std::thread([this] { write(); });
        } catch (...) {
            freeRing();
            throw;
        }
    }
    RowQueue(const RowQueue &) = delete;
    RowQueue &operator=(const RowQueue &) = delete;
    ~RowQueue()
    {
        try {
            finish();
        } catch (...) {
        }
        freeRing();
    }

    void push(const QByteArrayView *cells, int n)
    {
        size_t size = sizeof(quint32) * (size_t(n) + 1);
        for (int i = 0; i < n; ++i)
            size += size_t(cells[i].size());
        if (size > kLargestCopy) {
            storeHere(cells, n);
            return;
        }
        // A row never runs over the ring's end: the bytes left there are
        // passed over, marked as such where they have room for the mark.
        size_t at = size_t(m_head % kRingBytes);
        const size_t toEnd = kRingBytes - at;
        waitForRoom(size + (size > toEnd ? toEnd : 0));
        if (size > toEnd) {
            if (toEnd >= sizeof(quint32))
                std::memcpy(m_ring + at, &kPassOver, sizeof kPassOver);
            m_head += toEnd;
            at = 0;
        }
        uchar *to = m_ring + at;
        const quint32 count = quint32(n);
        std::memcpy(to, &count, sizeof count);
        to += sizeof count;
        for (int i = 0; i < n; ++i) {
            const quint32 len = quint32(cells[i].size());
            std::memcpy(to, &len, sizeof len);
            to += sizeof len;
            if (len)
                std::memcpy(to, cells[i].data(), len);
            to += len;
        }
        m_head += size;
        if (m_head - m_shown >= kShowBytes)
            show();
    }

    // Every row pushed is in the store once this returns; a failure of the
    // writer (no memory) is raised here.
    void finish()
    {
        if (!m_writer.joinable())
            return;
        show();
        m_done.store(true, std::memory_order_seq_cst);
        wakeIfAsleep(m_writerAsleep);
        m_writer.join();
        if (m_failure)
            std::rethrow_exception(std::exchange(m_failure, nullptr));
    }

private:
    static constexpr size_t kRingBytes = kLargePage;
    static constexpr size_t kShowBytes = size_t(16) << 10; // rows handed on at a time
    static constexpr size_t kLargestCopy = kRingBytes / 4;
    static constexpr quint32 kPassOver = ~quint32(0);
    static constexpr int kLookOn = 1 << 14; // pauses before a wait sleeps

    void freeRing()
    {
#if defined(__linux__)
        if (m_mapped) {
            munmap(m_ring, kRingBytes);
            m_ring = nullptr;
            return;
        }
#endif
        delete[] m_ring;
        m_ring = nullptr;
    }
    // The rows copied so far, handed to the writer.
    void show()
    {
        m_shown = m_head;
        m_published.store(m_head, std::memory_order_seq_cst);
        wakeIfAsleep(m_writerAsleep);
    }
    // A side that sleeps says so before it looks a last time; the other
    // says what it did before it looks whether to wake it: one of the two
    // sees the other.
    void wakeIfAsleep(const std::atomic<bool> &asleep)
    {
        if (asleep.load(std::memory_order_seq_cst)) {
            { std::lock_guard<std::mutex> lock(m_mutex); }
            m_wake.notify_all();
        }
    }
    template <typename Ready>
    void waitUntil(std::atomic<bool> &asleep, Ready ready)
    {
        for (int i = 0; i < kLookOn; ++i) {
            if (ready())
                return;
            PassThreads::relax();
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        asleep.store(true, std::memory_order_seq_cst);
        m_wake.wait(lock, ready);
        asleep.store(false, std::memory_order_relaxed);
    }
    void waitForRoom(size_t bytes)
    {
        if (m_head + bytes - m_freed <= kRingBytes)
            return;
        show(); // the writer may be waiting for what was copied
        waitUntil(m_copierAsleep, [&] {
            m_freed = m_consumed.load(std::memory_order_seq_cst);
            return m_head + bytes - m_freed <= kRingBytes;
        });
    }
    // A row too long for the ring is stored by this thread, once the writer
    // has stored every row before it: the writer touches the store only for
    // rows handed to it, and none is handed until this one is in.
    void storeHere(const QByteArrayView *cells, int n)
    {
        show();
        waitUntil(m_copierAsleep, [&] { return m_consumed.load(std::memory_order_seq_cst) == m_head; });
        m_freed = m_head;
        if (!m_failure)
            m_store.appendRow(cells, n);
    }
    void write()
    {
        std::vector<QByteArrayView> cells;
        quint64 tail = 0;
        for (;;) {
            quint64 head = 0;
            // done is read first: once it is seen, so is the last row shown
            // before it.
            waitUntil(m_writerAsleep, [&] {
                const bool done = m_done.load(std::memory_order_seq_cst);
                head = m_published.load(std::memory_order_seq_cst);
                return head != tail || done;
            });
            if (head == tail)
                return; // done, and every row stored
            while (tail != head) {
                const size_t at = size_t(tail % kRingBytes);
                const uchar *p = m_ring + at;
                quint32 count = kPassOver;
                if (kRingBytes - at >= sizeof count)
                    std::memcpy(&count, p, sizeof count);
                if (count == kPassOver) {
                    tail += kRingBytes - at;
                    continue;
                }
                p += sizeof count;
                cells.resize(count);
                for (QByteArrayView &cell : cells) {
                    quint32 len;
                    std::memcpy(&len, p, sizeof len);
                    p += sizeof len;
                    cell = QByteArrayView(reinterpret_cast<const char *>(p), qsizetype(len));
                    p += len;
                }
                if (!m_failure) {
                    try {
                        m_store.appendRow(cells.data(), int(count));
                    } catch (...) {
                        m_failure = std::current_exception();
                    }
                }
                tail += quint64(p - (m_ring + at));
                if (tail - m_consumed.load(std::memory_order_relaxed) >= kShowBytes)
                    giveBack(tail);
            }
            giveBack(tail);
        }
    }
    // The ring's bytes before tail are free again.
    void giveBack(quint64 tail)
    {
        m_consumed.store(tail, std::memory_order_seq_cst);
        wakeIfAsleep(m_copierAsleep);
    }

    CellStore &m_store;
    uchar *m_ring = nullptr;
    bool m_mapped = false; // m_ring is a large page of its own
    // The copying thread's own, on lines of their own.
    alignas(64) quint64 m_head = 0; // bytes copied in all
    quint64 m_shown = 0;            // of those, handed to the writer
    quint64 m_freed = 0;            // bytes the writer was last seen done with
    // Written by one side, read by the other.
    alignas(64) std::atomic<quint64> m_published{0};
    alignas(64) std::atomic<quint64> m_consumed{0};
    alignas(64) std::atomic<bool> m_done{false};
    std::atomic<bool> m_writerAsleep{false};
    std::atomic<bool> m_copierAsleep{false};
    std::exception_ptr m_failure; // the writer's, seen by the copier once it is done
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_writer;
};

// One column's cells, read row by row.
class CellColumn {
public:
    CellColumn(const CellStore &cells, int col) : m_cells(cells), m_col(col) {}
    QByteArrayView at(size_t r) const { return m_cells.at(r, m_col); }

private:
    const CellStore &m_cells;
    int m_col;
};
} // namespace

// The cells, row 0 included; the view shows rows 1.. with row 0 as header.
class FlexGridModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::beginInsertColumns;
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginRemoveColumns;
    using QAbstractTableModel::beginRemoveRows;
    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::endInsertColumns;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endRemoveColumns;
    using QAbstractTableModel::endRemoveRows;
    using QAbstractTableModel::endResetModel;

    FlexGridModel() { resizeCols(2); }

    int rows = 1;     // the header row included
    int nextCell = 0; // the column of the next cell of a row being appended
    bool filling = false;

    // The cells, every row appended so far in them.
    CellStore &cells()
    {
        settle();
        return m_cells;
    }
    const CellStore &cells() const
    {
        settle();
        return m_cells;
    }
    // Appends a whole row: during a fill another thread stores it.
    void appendRow(const QByteArrayView *cells, int n)
    {
        if (!filling) {
            this->cells().appendRow(cells, n);
            return;
        }
        // A short list is stored as it comes: a writer is worth its start
        // only for many rows. It starts before the store makes its
        // dictionaries, so that a long list's are made on the writer.
        if (!m_queue && m_cells.rows() < kRowsBeforeWriter) {
            m_cells.appendRow(cells, n);
            return;
        }
        if (!m_queue)
            m_queue = std::make_unique<RowQueue>(m_cells);
        m_queue->push(cells, n);
    }
    // The rows on their way are stored (a failure to store them raised).
    void settle() const
    {
        if (m_queue) {
            const std::unique_ptr<RowQueue> queue = std::move(m_queue);
            queue->finish();
        }
    }

    int cols() const { return m_cols; }
    CellColumn column(int c) const { return CellColumn(cells(), c); }
    QString text(int r, int c) const { return QString::fromUtf8(cells().at(size_t(r), c)); }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : rows - 1; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : cols(); }
    QVariant data(const QModelIndex &idx, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        const QString t = text(idx.row() + 1, idx.column());
        if (role == Qt::ToolTipRole && t.size() < 60)
            return {};
        return t;
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (o == Qt::Horizontal)
            return section < cols() ? text(0, section) : QString();
        return {};
    }
    void resetAll(const std::function<void()> &f)
    {
        beginResetModel();
        f();
        endResetModel();
    }
    void cellChanged(int r, int c)
    {
        if (filling)
            return;
        if (r == 0)
            emit headerDataChanged(Qt::Horizontal, c, c);
        else
            emit dataChanged(index(r - 1, c), index(r - 1, c));
    }
    void resizeRows(int n)
    {
        cells().resizeRows(size_t(n));
        rows = n;
    }
    void resizeCols(int n)
    {
        cells().setCols(n);
        m_cols = n;
    }
    void reorder(const quint32 *order)
    {
        resetAll([&] { cells().reorder(order); });
    }

private:
    static constexpr size_t kRowsBeforeWriter = CellStore::kRowsBeforeDict;
    // During a fill the writer thread writes the store's fields at every
    // row while this thread appends rows: what this thread reads or writes
    // per row (the counts above, the queue, the columns) lies on other cache
    // lines than the store, or each row would wait for the line to come
    // back from the writer's processor.
    alignas(64) CellStore m_cells;
    alignas(64) mutable std::unique_ptr<RowQueue> m_queue; // a fill's rows on their way
    int m_cols = 0; // the store's, kept here for that reason
};

namespace {
// A list's columns are a few large buffers that live as long as one fill.
// The allocator's own rule keeps freed large blocks for later once one was
// given back, so a closed or refilled list would stay with the process;
// with a fixed threshold every large block goes to the system when freed.
void largeBlocksGoBack()
{
#if defined(__GLIBC__)
    static const bool done = mallopt(M_MMAP_THRESHOLD, 256 * 1024) != 0;
    Q_UNUSED(done);
#endif
}
} // namespace

FlexGrid::FlexGrid(QWidget *parent, const QString &name) : QTableView(parent), m_model(new FlexGridModel)
{
    largeBlocksGoBack();
    setObjectName(name);
    m_model->setParent(this);
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    // Tab leaves the grid for the next control; it does not walk the cells
    // (and so never chooses a row on its own).
    setTabKeyNavigation(false);
    setAlternatingRowColors(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultSectionSize(kDefaultColTwips / kTwipsPerPixel);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setStyleSheet(QStringLiteral("QHeaderView::section { background-color: #dfe6ee; padding: 2px 4px; border: 0px; "
                                 "border-right: 1px solid #b8c4d2; border-bottom: 1px solid #b8c4d2; }"));
    viewport()->installEventFilter(this);

    // A press on the header selects that column from row 1 and reaches the
    // window as a mouse press in the header row.
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this, [this](int section) {
        if (Rows() > 1)
            m_row = 1;
        m_col = section;
        const QPoint p = horizontalHeader()->mapFromGlobal(QCursor::pos());
        emit gridMouseDown(1, vbShift(QGuiApplication::keyboardModifiers()), double(p.x()) * kTwipsPerPixel,
                           std::clamp(p.y(), 0, horizontalHeader()->height() - 1) * double(kTwipsPerPixel));
        emit gridMouseUp(1, vbShift(QGuiApplication::keyboardModifiers()), double(p.x()) * kTwipsPerPixel,
                         std::clamp(p.y(), 0, horizontalHeader()->height() - 1) * double(kTwipsPerPixel));
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &cur) {
        if (!cur.isValid())
            return;
        m_row = m_rowSel = cur.row() + 1;
        m_col = cur.column();
        emit gridSelChange();
    });
}

FlexGrid::~FlexGrid() = default;

bool FlexGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease: {
            auto *me = static_cast<QMouseEvent *>(event);
            const double x = me->position().x() * kTwipsPerPixel;
            const double y = (me->position().y() + horizontalHeader()->height()) * kTwipsPerPixel;
            if (event->type() == QEvent::MouseButtonPress) {
                const QModelIndex idx = indexAt(me->position().toPoint());
                if (idx.isValid()) {
                    m_row = m_rowSel = idx.row() + 1;
                    m_col = idx.column();
                }
                emit gridMouseDown(vbButton(me->button()), vbShift(me->modifiers()), x, y);
            } else {
                emit gridMouseUp(vbButton(me->button()), vbShift(me->modifiers()), x, y);
            }
            break;
        }
        case QEvent::MouseButtonDblClick:
            emit gridDblClick();
            return true;
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void FlexGrid::focusInEvent(QFocusEvent *e)
{
    // A view that gains focus with no current cell makes its first cell
    // current; here no row is chosen until the person clicks one, so Delete
    // cannot act on a row nobody picked.
    if (m_row != 0) {
        QTableView::focusInEvent(e);
        return;
    }
    {
        QSignalBlocker block(selectionModel());
        QTableView::focusInEvent(e);
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    viewport()->update();
}

void FlexGrid::keyPressEvent(QKeyEvent *e)
{
    emit gridKeyDown(vbKeyCode(e->key()), vbShift(e->modifiers()));
    QTableView::keyPressEvent(e);
}

void FlexGrid::wheelEvent(QWheelEvent *e)
{
    // The window scrolls its grids a page per notch; the grid itself does not.
    e->ignore();
}

// The view scrolls a whole row or column at a time, but at the end of its
// range it puts the last row at the foot and the last column at the right
// edge, which leaves the first one cut under the header. Here the first
// visible row and column always show whole, as TopRow and LeftCol say, and a
// position past the last column (left from a wider fill) is brought back.
void FlexGrid::alignToScrollValues()
{
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    if (h->value() > h->maximum())
        h->setValue(h->maximum());
    if (v->value() > v->maximum())
        v->setValue(v->maximum());
    bool moved = false;
    if (verticalScrollMode() == ScrollPerItem && v->value() < verticalHeader()->count()) {
        const int before = verticalHeader()->offset();
        verticalHeader()->setOffsetToSectionPosition(v->value());
        moved = moved || before != verticalHeader()->offset();
    }
    if (horizontalScrollMode() == ScrollPerItem && h->value() < horizontalHeader()->count()) {
        const int before = horizontalHeader()->offset();
        horizontalHeader()->setOffsetToSectionPosition(h->value());
        moved = moved || before != horizontalHeader()->offset();
    }
    if (moved)
        viewport()->update();
}

void FlexGrid::updateGeometries()
{
    QTableView::updateGeometries();
    alignToScrollValues();
}

void FlexGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    alignToScrollValues();
}

int FlexGrid::Rows() const
{
    return m_model->rows;
}

void FlexGrid::setRows(int n)
{
    if (n < 1)
        raiseError(30009, QStringLiteral("Invalid Row value"));
    const int old = Rows();
    if (n == old)
        return;
    if (m_model->filling) {
        m_model->resizeRows(n);
    } else if (n > old) {
        m_model->beginInsertRows({}, old - 1, n - 2);
        m_model->resizeRows(n);
        m_model->endInsertRows();
    } else {
        m_model->beginRemoveRows({}, n - 1, old - 2);
        m_model->resizeRows(n);
        m_model->endRemoveRows();
    }
    if (m_row >= n)
        m_row = n - 1;
    if (m_rowSel >= n)
        m_rowSel = n - 1;
}

int FlexGrid::Cols() const
{
    return m_model->cols();
}

void FlexGrid::setCols(int n)
{
    if (n < 1)
        badCol();
    if (n == m_model->cols())
        return;
    const int old = m_model->cols();
    auto apply = [&] { m_model->resizeCols(n); };
    if (m_model->filling) {
        apply();
    } else if (n > old) {
        m_model->beginInsertColumns({}, old, n - 1);
        apply();
        m_model->endInsertColumns();
    } else {
        m_model->beginRemoveColumns({}, n, old - 1);
        apply();
        m_model->endRemoveColumns();
    }
    for (int c = old; c < n; ++c)
        setColumnWidth(c, kDefaultColTwips / kTwipsPerPixel);
    for (QHash<int, int> *widths : {&m_fillWidths, &m_setWidths}) {
        for (auto it = widths->begin(); it != widths->end();) {
            if (it.key() >= n)
                it = widths->erase(it);
            else
                ++it;
        }
    }
    if (m_col >= n)
        m_col = n - 1;
    if (m_colSel >= n)
        m_colSel = n - 1;
}

int FlexGrid::Row() const
{
    return m_row;
}

void FlexGrid::setRow(int r)
{
    if (r < 0 || r >= Rows())
        badRow();
    m_row = r;
    m_rowSel = r;
    if (m_model->filling)
        return;
    QSignalBlocker block(selectionModel());
    if (r == 0) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        const QModelIndex idx = m_model->index(r - 1, std::clamp(m_col, 0, Cols() - 1));
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    viewport()->update();
}

int FlexGrid::Col() const
{
    return m_col;
}

void FlexGrid::setCol(int c)
{
    if (c < 0 || c >= Cols())
        badCol();
    m_col = c;
    m_colSel = c;
}

int FlexGrid::RowSel() const
{
    return m_rowSel;
}

void FlexGrid::setRowSel(int r)
{
    if (r < 0 || r >= Rows())
        badRow();
    m_rowSel = r;
    if (r >= 1 && !m_model->filling) {
        QSignalBlocker block(selectionModel());
        selectionModel()->select(m_model->index(r - 1, 0),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

int FlexGrid::ColSel() const
{
    return m_colSel;
}

void FlexGrid::setColSel(int c)
{
    if (c < 0 || c >= Cols())
        badCol();
    m_colSel = c;
}

int FlexGrid::TopRow() const
{
    if (Rows() <= 1)
        return 1;
    return verticalScrollBar()->value() + 1;
}

void FlexGrid::setTopRow(int r)
{
    if (r < 1 || r >= std::max(2, Rows()))
        badRow();
    // Rows added since the last layout are not in the scroll range yet.
    if (r - 1 > verticalScrollBar()->maximum()) {
        executeDelayedItemsLayout();
        updateGeometries();
    }
    verticalScrollBar()->setValue(r - 1);
}

int FlexGrid::LeftCol() const
{
    return horizontalScrollBar()->value();
}

void FlexGrid::setLeftCol(int c)
{
    if (c < 0 || c >= Cols())
        badCol();
    horizontalScrollBar()->setValue(c);
}

QString FlexGrid::Text() const
{
    return TextMatrix(m_row, m_col);
}

void FlexGrid::setText(const QString &t)
{
    setTextMatrix(m_row, m_col, t);
}

QString FlexGrid::TextMatrix(int r, int c) const
{
    if (r < 0 || r >= Rows() || c < 0 || c >= Cols())
        subscript();
    return m_model->text(r, c);
}

QByteArrayView FlexGrid::cellUtf8(int r, int c) const
{
    if (r < 0 || r >= Rows() || c < 0 || c >= Cols())
        subscript();
    return m_model->cells().at(size_t(r), c);
}

void FlexGrid::rowUtf8(int r, QByteArrayView *cells) const
{
    if (r < 0 || r >= Rows())
        subscript();
    m_model->cells().rowCells(size_t(r), cells, Cols());
}

namespace {
// How many stretches a pass over a column of this many rows is read in,
// each by whichever of the pass threads is free.
int columnStretches(size_t rows)
{
    constexpr size_t kRowsEach = 2048;
    if (PassThreads::workers() == 0)
        return 1;
    return int(std::clamp<size_t>(rows / kRowsEach, 1, 16));
}
} // namespace

void FlexGrid::eachCellOfColumn(int c, const std::function<void(int r, QByteArrayView utf8)> &visit) const
{
    if (c < 0 || c >= Cols())
        subscript();
    const size_t n = size_t(Rows() - 1);
    const int threads = columnStretches(n);
    m_model->cells().eachInColumnAtOnce(
        c, threads, [&](int i) { return GridSort::stretchStart(n, threads, i); },
        [&](int, size_t r, QByteArrayView cell, bool) { visit(int(r), cell); });
}

void FlexGrid::setTextMatrix(int r, int c, const QString &t)
{
    if (r < 0 || r >= Rows() || c < 0 || c >= Cols())
        subscript();
    m_model->cells().set(size_t(r), c, t.toUtf8());
    m_model->cellChanged(r, c);
}

int FlexGrid::ColWidth(int c) const
{
    if (c < 0 || c >= Cols())
        subscript();
    if (m_model->filling && m_fillWidths.contains(c))
        return m_fillWidths.value(c);
    if (c >= horizontalHeader()->count())
        return kDefaultColTwips;
    if (isColumnHidden(c))
        return 0;
    const int px = columnWidth(c);
    const auto set = m_setWidths.constFind(c);
    if (set != m_setWidths.cend() && pixelsOf(*set) == px)
        return *set;
    return px * kTwipsPerPixel;
}

void FlexGrid::setColWidth(int c, int twips)
{
    if (c < 0 || c >= Cols())
        subscript();
    if (m_model->filling) {
        m_fillWidths.insert(c, std::max(0, twips));
        return;
    }
    if (twips <= 0) {
        m_setWidths.remove(c);
        setColumnHidden(c, true);
        return;
    }
    setColumnHidden(c, false);
    setColumnWidth(c, pixelsOf(twips));
    m_setWidths.insert(c, twips);
}

int FlexGrid::RowHeight(int r) const
{
    if (r < 0 || r >= std::max(Rows(), 2))
        subscript();
    if (r == 0)
        return std::max(horizontalHeader()->height(), horizontalHeader()->sizeHint().height()) * kTwipsPerPixel;
    return verticalHeader()->defaultSectionSize() * kTwipsPerPixel;
}

int FlexGrid::HeightTwips() const
{
    return height() * kTwipsPerPixel;
}

template <class Give>
void FlexGrid::sortColumn(int c, bool descending, Give &&give)
{
    const quint32 n = quint32(Rows() - 1);
    const int threads = columnStretches(n);
    GridSort::Keys keys(n, threads);
    const CellStore &cells = m_model->cells();
    auto visit = [&](int i, size_t at, QByteArrayView cell, bool lasting) {
        give(keys, i, quint32(at), cell, lasting);
    };
    if (keys.orderEachStretch(descending)) {
        // A short list: read by where its rows lie, then each stretch of
        // rows put in order and each range of keys merged, a thread each.
        cells.eachInColumnByPlace(
            c, threads, [&](int p, size_t from, size_t to) { keys.givePart(p, from, to); }, visit,
            [&](int i, const quint32 *placeOf) { keys.orderStretch(i, placeOf); },
            [&](int k) { keys.mergePart(k); });
    } else {
        cells.eachInColumnAtOnce(c, threads, [&](int i) { return size_t(keys.stretchStart(i)); }, visit);
    }
    putRowsInOrder(keys, descending);
}

void FlexGrid::setSort(int mode)
{
    if (Rows() <= 2 || mode < GenericAscending || mode > NumericDescending)
        return;
    const bool generic = mode <= GenericDescending;
    // Each cell is read once, as a number or else as its folded text, not
    // at every comparison.
    sortColumn(m_col, mode == GenericDescending || mode == NumericDescending,
               [&](GridSort::Keys &keys, int i, quint32 r, QByteArrayView cell, bool lasting) {
                   GridSort::Keys::Stretch &to = keys.stretch(i);
                   std::optional<double> number;
                   if (m_numberReader) {
                       number = m_numberReader(cell);
                   } else if (double x = 0; numberOf(QString::fromUtf8(cell), &x)) {
                       number = x;
                   }
                   if (number)
                       to.addNumber(r, *number);
                   else if (generic)
                       to.addText(r, cell, lasting);
                   else
                       to.addNumber(r, 0); // a numeric sort counts a text as zero
               });
}

void FlexGrid::sortByColumnKeys(int c, const std::function<double(QByteArrayView utf8)> &key, bool descending)
{
    if (c < 0 || c >= Cols())
        subscript();
    if (Rows() <= 1)
        return;
    sortColumn(c, descending, [&](GridSort::Keys &keys, int i, quint32 r, QByteArrayView cell, bool) {
        keys.stretch(i).addNumber(r, key(cell));
    });
}

void FlexGrid::putRowsInOrder(GridSort::Keys &keys, bool descending)
{
    m_model->reorder(keys.order(descending));
    // The reset dropped the selection; the current row number stays.
    if (m_row >= 1 && m_row < Rows())
        setRow(m_row);
}

void FlexGrid::RemoveItem(int r)
{
    if (r < 1 || r >= Rows())
        raiseError(30015, QStringLiteral("Cannot remove last non-fixed row"));
    if (Rows() <= 2)
        raiseError(30015, QStringLiteral("Cannot remove last non-fixed row"));
    // The current row keeps its number, so the row that moved up into it is
    // current; the view would move its current cell to the row after it.
    const int row = std::min(m_row, Rows() - 2);
    const int rowSel = std::min(m_rowSel, Rows() - 2);
    {
        QSignalBlocker block(selectionModel());
        m_model->beginRemoveRows({}, r - 1, r - 1);
        m_model->cells().remove(size_t(r));
        --m_model->rows;
        m_model->endRemoveRows();
    }
    if (row >= 1) {
        setRow(row);
    } else {
        QSignalBlocker block(selectionModel());
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        m_row = 0;
    }
    m_rowSel = rowSel;
    viewport()->update();
}

bool FlexGrid::RowIsVisible(int r) const
{
    if (r == 0)
        return true;
    if (r < 0 || r >= Rows())
        return false;
    const int top = verticalScrollBar()->value();
    if (r - 1 < top)
        return false;
    const int rowPx = verticalHeader()->defaultSectionSize();
    const int visible = rowPx > 0 ? viewport()->height() / rowPx : 0;
    return r - 1 < top + std::max(visible, 1);
}

void FlexGrid::addRow(const QVector<QString> &cells)
{
    std::vector<QByteArray> utf8;
    utf8.reserve(size_t(cells.size()));
    for (const QString &cell : cells)
        utf8.push_back(cell.toUtf8());
    const std::vector<QByteArrayView> views(utf8.begin(), utf8.end());
    appendRow(views.data(), int(views.size()));
}

void FlexGrid::appendCell(QByteArrayView utf8)
{
    if (m_model->nextCell++ < Cols())
        m_model->cells().appendCell(utf8);
}

void FlexGrid::appendCellText(const QString &text)
{
    if (m_model->nextCell < Cols())
        appendCell(QByteArrayView(text.toUtf8()));
    else
        ++m_model->nextCell;
}

void FlexGrid::endRow()
{
    // The cells not given are empty: the row's record simply ends before them.
    m_model->cells().endRow();
    m_model->nextCell = 0;
    rowAppended();
}

void FlexGrid::rowAppended()
{
    // A fill tells the view of its rows once, when it ends.
    if (m_model->filling) {
        ++m_model->rows;
        return;
    }
    const int n = Rows();
    m_model->beginInsertRows({}, n - 1, n - 1);
    ++m_model->rows;
    m_model->endInsertRows();
}

void FlexGrid::appendRow(const QByteArrayView *cells, int n)
{
    if (m_model->nextCell != 0)
        endRow(); // a row begun cell by cell ends first
    m_model->appendRow(cells, std::min(n, Cols()));
    rowAppended();
}

void FlexGrid::beginFill()
{
    if (m_model->filling)
        return;
    m_model->beginResetModel();
    m_model->filling = true;
}

void FlexGrid::endFill()
{
    if (!m_model->filling)
        return;
    m_model->filling = false;
    // Rows that could not be stored (no memory) are not shown; the failure
    // is raised once the grid is whole again.
    std::exception_ptr failure;
    try {
        m_model->settle();
    } catch (...) {
        failure = std::current_exception();
        m_model->rows = int(m_model->cells().rows());
    }
    m_model->cells().shrink();
    m_model->endResetModel();
    const QHash<int, int> widths = std::exchange(m_fillWidths, {});
    for (auto it = widths.cbegin(); it != widths.cend(); ++it) {
        if (it.key() < Cols())
            setColWidth(it.key(), it.value());
    }
    if (m_row >= 1)
        setRow(m_row);
    if (failure)
        std::rethrow_exception(failure);
}
