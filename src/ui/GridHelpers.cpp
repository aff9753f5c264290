#include "GridHelpers.h"
#include "FlexGrid.h"
#include "Messages.h"
#include "People.h"
#include "Procedure.h"
#include "Regional.h"
#include "Settings.h"
#include "SqliteComponent.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>
#if defined(__linux__)
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
const QString kGeneral = QStringLiteral("basGeneral");
const QString kGeneralCustom = QStringLiteral("basGeneralCustom");

// The characters "A" to "Z" and "[", "\", "]", "^", "_", "`": a blank goes
// before the first of a run of them.
bool isCapitalLike(QChar c)
{
    return c.unicode() >= 65 && c.unicode() <= 96;
}

// Blanks only, as the file names people type are trimmed.
QString trimBlanks(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

// Unicode of the bytes 0x80..0x9F; 0 where the code page has no character.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The Windows-1252 byte of a character, or -1 where the code page has none.
int windows1252Byte(char32_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return int(u);
    if (u > 0xFF && u <= 0xFFFF) {
        for (int i = 0; i < 32; ++i) {
            if (kHighControls[i] == u)
                return 0x80 + i;
        }
    }
    return -1;
}

// The next character of UTF-8 text at p, p moved past it; -1 for a byte
// that starts no valid character (p moved past that byte).
int32_t nextChar(const uchar *&p, const uchar *end)
{
    const uchar b = *p++;
    if (b < 0x80)
        return b;
    int more = 0;
    int32_t c = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        more = 1;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        more = 2;
        c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        more = 3;
        c = b & 0x07;
    } else {
        return -1;
    }
    if (end - p < more)
        return -1;
    for (int i = 0; i < more; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return -1;
        c = (c << 6) | (p[i] & 0x3F);
    }
    if ((more == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (more == 3 && (c < 0x10000 || c > 0x10FFFF)))
        return -1;
    p += more;
    return c;
}

bool ascii(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    for (; end - p >= 8; p += 8) {
        quint64 w;
        std::memcpy(&w, p, 8);
        if (w & 0x8080808080808080ULL)
            return false;
    }
    for (; p < end; ++p) {
        if (uchar(*p) >= 0x80)
            return false;
    }
    return true;
}

// Whether text is valid UTF-8; runs of ASCII are passed over eight bytes at
// a time, as most of a cell is.
bool validUtf8(QByteArrayView text)
{
    const uchar *p = reinterpret_cast<const uchar *>(text.data());
    const uchar *end = p + text.size();
    while (p < end) {
        if (end - p >= 8) {
            quint64 w;
            std::memcpy(&w, p, 8);
            if (!(w & 0x8080808080808080ULL)) {
                p += 8;
                continue;
            }
        }
        if (nextChar(p, end) < 0)
            return false;
    }
    return true;
}

// Appends UTF-8 text in Windows-1252; false, with out as it was, where a
// character does not fit.
bool appendWindows1252(QByteArray &out, QByteArrayView utf8)
{
    const qsizetype start = out.size();
    const uchar *p = reinterpret_cast<const uchar *>(utf8.data());
    const uchar *end = p + utf8.size();
    while (p < end) {
        const int32_t c = nextChar(p, end);
        const int b = c < 0 ? -1 : windows1252Byte(char32_t(c));
        if (b < 0) {
            out.truncate(start);
            return false;
        }
        out += char(b);
    }
    return true;
}

// The file is in Windows-1252, which spreadsheets and scripts read today,
// when every character fits; otherwise in UTF-8 with a byte order mark, so
// nothing is lost and a spreadsheet still reads it right.
enum class CsvCode { Windows1252, Utf8 };

// What the cells of a list ask of the file: the probe reads every cell once
// ahead, on a few threads for a long list.
struct CsvProbe {
    bool utf8 = false;    // a character Windows-1252 lacks
    bool invalid = false; // text that is not UTF-8 (from the register)
    qint64 bytes = 0;     // the cells' bytes in the rows read
    qint64 rows = 0;      // the rows read
};

void probeRows(const FlexGrid &grid, const QList<int> &kept, int from, int to, CsvProbe &result,
               std::atomic<bool> &anyUtf8, std::atomic<bool> &anyInvalid)
{
    // Counted here and handed over at the end: the threads' results lie
    // side by side.
    CsvProbe probe;
    QByteArray scratch;
    std::vector<QByteArrayView> row(size_t(grid.Cols()));
    for (int r = from; r < to; ++r) {
        // Once some cell wants UTF-8 and some cell is invalid, nothing
        // further can change the choice.
        if ((r & 255) == 0 && anyUtf8.load(std::memory_order_relaxed) && anyInvalid.load(std::memory_order_relaxed))
            break;
        grid.rowUtf8(r, row.data());
        ++probe.rows;
        for (int c : kept) {
            const QByteArrayView cell = row[size_t(c)];
            probe.bytes += cell.size();
            if (probe.invalid || ascii(cell))
                continue;
            if (!probe.utf8 && !anyUtf8.load(std::memory_order_relaxed)) {
                scratch.resize(0);
                if (appendWindows1252(scratch, cell))
                    continue;
            }
            if (!probe.utf8) {
                probe.utf8 = true;
                anyUtf8.store(true, std::memory_order_relaxed);
            }
            probe.invalid = !validUtf8(cell);
            if (probe.invalid)
                anyInvalid.store(true, std::memory_order_relaxed);
        }
    }
    result = probe;
}

// Copies bytes to p with every double quote doubled; returns the end.
char *putDoubled(char *p, const char *from, qsizetype size)
{
    const char *end = from + size;
    while (from < end) {
        const void *quote = std::memchr(from, '"', size_t(end - from));
        const char *stop = quote ? static_cast<const char *>(quote) + 1 : end;
        std::memcpy(p, from, size_t(stop - from));
        p += stop - from;
        if (quote)
            *p++ = '"';
        from = stop;
    }
    return p;
}

// Puts UTF-8 text at p in Windows-1252, double quotes doubled; nullptr
// where a character does not fit.
char *putWindows1252(char *p, QByteArrayView utf8)
{
    const uchar *u = reinterpret_cast<const uchar *>(utf8.data());
    const uchar *end = u + utf8.size();
    while (u < end) {
        const int32_t c = nextChar(u, end);
        const int b = c < 0 ? -1 : windows1252Byte(char32_t(c));
        if (b < 0)
            return nullptr;
        if (b == '"')
            *p++ = '"';
        *p++ = char(b);
    }
    return p;
}

// The rows from..to-1 as CSV lines appended to out: each field the cell in
// double quotes, its own double quotes doubled, ";" between fields, CR LF
// after the line. Most cells are plain ASCII and go out as the grid holds
// them.
void appendRows(const FlexGrid &grid, const QList<int> &kept, int from, int to, CsvCode code, bool valid,
                QByteArray &out, std::vector<QByteArrayView> &row)
{
    QByteArray fixed;
    for (int r = from; r < to; ++r) {
        grid.rowUtf8(r, row.data());
        // Room for the worst line: a field's text at most three times its
        // bytes (an invalid byte made a three-byte character), two quotes
        // and a separator a field, the line end.
        qsizetype room = 2;
        for (int c : kept)
            room += 3 * row[size_t(c)].size() + 3;
        const qsizetype at = out.size();
        if (out.capacity() - at < room)
            out.reserve(std::max(out.capacity() * 2, at + room));
        out.resize(at + room);
        char *const base = out.data();
        char *p = base + at;
        for (qsizetype k = 0; k < kept.size(); ++k) {
            if (k > 0)
                *p++ = ';';
            *p++ = '"';
            QByteArrayView cell = row[size_t(kept.at(k))];
            // Valid UTF-8 goes out as it is, whatever it holds.
            if ((code == CsvCode::Windows1252 || !valid) && !ascii(cell)) {
                if (code == CsvCode::Windows1252) {
                    if (char *end = putWindows1252(p, cell)) {
                        p = end;
                        *p++ = '"';
                        continue;
                    }
                } else if (!valid) {
                    fixed = QString::fromUtf8(cell).toUtf8();
                    cell = fixed;
                }
            }
            p = putDoubled(p, cell.data(), cell.size());
            *p++ = '"';
        }
        *p++ = '\r';
        *p++ = '\n';
        out.resize(p - base);
    }
}

// The CSV of a grid, handed on in pieces as it is encoded, so a list of a
// million rows never stands in memory twice; false from the sink stops it.
// A long list is encoded on a few threads, each a run of rows at a time into
// one of a few buffers that the caller hands on in order.
constexpr qsizetype kCsvPiece = 256 * 1024;
constexpr int kRowsForThreads = 50000;

int csvThreads(int rows)
{
    if (rows < kRowsForThreads)
        return 1;
    return int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

bool writeCsv(const FlexGrid &grid, const std::function<bool(QByteArrayView)> &sink)
{
    QList<int> kept;
    for (int c = 0; c < grid.Cols(); ++c) {
        if (grid.cellUtf8(0, c) != QByteArrayView("IDFIELD"))
            kept << c;
    }
    const int rows = grid.Rows();
    const int threads = csvThreads(rows);
    if (threads > 1) {
        // The rows of a fill still on their way are stored here, before
        // threads read them.
        std::vector<QByteArrayView> first(size_t(grid.Cols()));
        grid.rowUtf8(0, first.data());
    }

    // Every cell is read once ahead to choose the code; the text a cell
    // cannot be written in (invalid UTF-8 from the register) is made valid.
    std::atomic<bool> anyUtf8{false}, anyInvalid{false};
    std::vector<CsvProbe> probes(static_cast<size_t>(threads));
    if (threads == 1) {
        probeRows(grid, kept, 0, rows, probes[0], anyUtf8, anyInvalid);
    } else {
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            const int from = int(qint64(rows) * t / threads), to = int(qint64(rows) * (t + 1) / threads);
            workers.emplace_back(
                [&, t, from, to] { probeRows(grid, kept, from, to, probes[size_t(t)], anyUtf8, anyInvalid); });
        }
        for (std::thread &w : workers)
            w.join();
    }
    const CsvCode code = anyUtf8 ? CsvCode::Utf8 : CsvCode::Windows1252;
    const bool valid = !anyInvalid;
    qint64 bytes = 0, seen = 0;
    for (const CsvProbe &p : probes) {
        bytes += p.bytes;
        seen += p.rows;
    }

    // Runs of rows of about a piece each.
    const qint64 lineBytes = seen ? bytes / seen + 3 * kept.size() + 2 : 1;
    const int runRows = int(std::clamp<qint64>(kCsvPiece / std::max<qint64>(lineBytes, 1), 1, 65536));
    const int runs = (rows + runRows - 1) / runRows;
    auto encodeRun = [&](int run, QByteArray &out, std::vector<QByteArrayView> &row) {
        out.resize(0);
        if (run == 0 && code == CsvCode::Utf8)
            out += "\xEF\xBB\xBF";
        appendRows(grid, kept, run * runRows, std::min(rows, (run + 1) * runRows), code, valid, out, row);
    };

    if (threads == 1) {
        QByteArray piece;
        piece.reserve(kCsvPiece + 4096);
        std::vector<QByteArrayView> row(size_t(grid.Cols()));
        for (int run = 0; run < runs; ++run) {
            encodeRun(run, piece, row);
            if (!sink(piece))
                return false;
        }
        return true;
    }

    // Run n goes into buffer n % buffers once the caller has handed on run
    // n - buffers from it; the caller hands the runs on in order.
    struct Buffer {
        QByteArray bytes;
        int run = 0; // the run the buffer holds or waits for
        bool ready = false;
    };
    const int buffers = 2 * threads;
    std::vector<Buffer> ring(static_cast<size_t>(buffers));
    for (int b = 0; b < buffers; ++b) {
        ring[size_t(b)].run = b;
        ring[size_t(b)].bytes.reserve(kCsvPiece + 4096);
    }
    std::mutex lock;
    std::condition_variable encoded, handedOn;
    bool stopped = false;
    std::exception_ptr failure;
    std::atomic<int> nextRun{0};
    auto encoder = [&] {
        std::vector<QByteArrayView> row(size_t(grid.Cols()));
        for (int run = nextRun++; run < runs; run = nextRun++) {
            Buffer &buffer = ring[size_t(run % buffers)];
            {
                std::unique_lock<std::mutex> hold(lock);
                handedOn.wait(hold, [&] { return stopped || buffer.run == run; });
                if (stopped)
                    return;
            }
            try {
                encodeRun(run, buffer.bytes, row);
            } catch (...) {
                const std::lock_guard<std::mutex> hold(lock);
                if (!failure)
                    failure = std::current_exception();
                stopped = true;
                encoded.notify_all();
                handedOn.notify_all();
                return;
            }
            const std::lock_guard<std::mutex> hold(lock);
            buffer.ready = true;
            encoded.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back(encoder);
    bool ok = true;
    for (int run = 0; run < runs && ok; ++run) {
        Buffer &buffer = ring[size_t(run % buffers)];
        {
            std::unique_lock<std::mutex> hold(lock);
            encoded.wait(hold, [&] { return stopped || buffer.ready; });
            if (stopped)
                break;
        }
        ok = sink(buffer.bytes);
        const std::lock_guard<std::mutex> hold(lock);
        buffer.ready = false;
        buffer.run = run + buffers;
        handedOn.notify_all();
    }
    {
        const std::lock_guard<std::mutex> hold(lock);
        stopped = true;
        handedOn.notify_all();
    }
    for (std::thread &w : workers)
        w.join();
    if (failure)
        std::rethrow_exception(failure);
    return ok;
}

// A file being written reaches the disk stretch by stretch, synced on a
// thread of its own while the rest is still being encoded, so the sync before
// the rename waits for the last stretch only. A stretch that could not be
// written fails the file: the disk reports such an error once, to whichever
// sync of the open file comes first.
class WriteBack {
public:
    explicit WriteBack(int fd) : m_fd(fd) {}
    WriteBack(const WriteBack &) = delete;
    WriteBack &operator=(const WriteBack &) = delete;
    ~WriteBack() { stop(); }

    // After bytes more were written to file; false when it could not be
    // flushed.
    bool written(QFileDevice &file, qint64 bytes)
    {
        m_out += bytes;
#if defined(__linux__)
        if (m_fd < 0 || m_out - m_started < m_stretch)
            return true;
        if (!file.flush())
            return false;
        // The disk starts on the stretch now; the sync thread waits for it.
        sync_file_range(m_fd, m_started, m_out - m_started, SYNC_FILE_RANGE_WRITE);
        m_started = m_out;
        m_stretch = std::min(2 * m_stretch, kLongestStretch);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            m_due = true;
        }
        m_wake.notify_one();
#else
        Q_UNUSED(file);
#endif
        return true;
    }
    // Syncs what is left; false when some of the file did not reach the disk.
    bool finish()
    {
        stop();
#if defined(__linux__)
        if (m_fd >= 0 && !synced(m_fd))
            m_failed = true;
#endif
        return !m_failed;
    }

private:
    // Short stretches first, so even a small file is mostly on the disk
    // when its last byte is written; then longer ones, each sync costing a
    // little on its own.
    static constexpr qint64 kLongestStretch = 16 * 1024 * 1024;

#if defined(__linux__)
    // A file system that cannot sync is not a failure of the file.
    static bool synced(int fd)
    {
        if (fdatasync(fd) == 0)
            return true;
        return errno == EINVAL || errno == ENOSYS || errno == EROFS;
    }
#endif

    void run()
    {
#if defined(__linux__)
        std::unique_lock<std::mutex> hold(m_lock);
        for (;;) {
            m_wake.wait(hold, [&] { return m_due || m_done; });
            if (m_done)
                return;
            m_due = false;
            hold.unlock();
            const bool ok = synced(m_fd);
            hold.lock();
            if (!ok)
                m_failed = true;
        }
#endif
    }
    void stop()
    {
        if (!m_thread.joinable())
            return;
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            m_done = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

    const int m_fd;
    qint64 m_out = 0, m_started = 0, m_stretch = 1024 * 1024;
    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_due = false, m_done = false, m_failed = false;
};

Proc plainProc(const QString &name)
{
    return Proc{kGeneral, name, Proc::Modulo, Proc::Plain};
}
} // namespace

QString PutSpacesInLabels(const QString &name)
{
    QString out;
    moduleProc(kGeneral, QStringLiteral("PutSpacesInLabels"), [&] {
        out.reserve(name.size() + 4);
        for (qsizetype i = 0; i < name.size(); ++i) {
            const QChar c = name.at(i);
            if (i > 0 && isCapitalLike(c) && !isCapitalLike(name.at(i - 1)))
                out += QLatin1Char(' ');
            out += c;
        }
        // A filler that showed the hourglass sees it end with its first header.
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
            while (QGuiApplication::overrideCursor())
                QGuiApplication::restoreOverrideCursor();
        }
    });
    return out;
}

bool isBooleanFieldName(const QString &name)
{
    return name == QLatin1String("SuPiazza") || name == QLatin1String("GirataPiena")
        || name == QLatin1String("Trasferibile") || name == QLatin1String("Sbarrato");
}

bool isBooleanField(const Recordset &rs, int field)
{
    bool result = false;
    moduleProc(kGeneral, QStringLiteral("isBooleanField"), [&] { result = isBooleanFieldName(rs.fieldName(field)); });
    return result;
}

namespace {
bool digitsAt(QByteArrayView b, std::initializer_list<int> at, int *out)
{
    int v = 0;
    for (const int i : at) {
        if (b[i] < '0' || b[i] > '9')
            return false;
        v = v * 10 + (b[i] - '0');
    }
    *out = v;
    return true;
}

// The date of a text in a form the lists show, read as Regional::parseDate
// reads it: "dd/mm/yyyy" (or with "." or "-"), "yyyy-mm-dd" and
// "yyyy-mm-dd hh:mm:ss". Invalid for any other text, and for a date or time
// that does not exist, which parseDate then judges.
QDate shownDateOf(QByteArrayView b)
{
    int y = 0, m = 0, d = 0;
    if (b.size() == 10 && b[2] == b[5] && (b[2] == '/' || b[2] == '.' || b[2] == '-')) {
        if (!digitsAt(b, {0, 1}, &d) || !digitsAt(b, {3, 4}, &m) || !digitsAt(b, {6, 7, 8, 9}, &y))
            return {};
        return QDate(y, m, d);
    }
    if ((b.size() != 10 && b.size() != 19) || b[4] != '-' || b[7] != '-')
        return {};
    if (!digitsAt(b, {0, 1, 2, 3}, &y) || !digitsAt(b, {5, 6}, &m) || !digitsAt(b, {8, 9}, &d))
        return {};
    if (b.size() == 19) {
        int h = 0, min = 0, s = 0;
        if ((b[10] != ' ' && b[10] != 'T') || (b[13] != ':' && b[13] != '.') || (b[16] != ':' && b[16] != '.')
            || !digitsAt(b, {11, 12}, &h) || !digitsAt(b, {14, 15}, &min) || !digitsAt(b, {17, 18}, &s)
            || !QTime(h, min, s).isValid())
            return {};
    }
    return QDate(y, m, d);
}
} // namespace

void sortGridByDate(FlexGrid &grid, int column, int mode)
{
    moduleProc(kGeneralCustom, QStringLiteral("sortGridByDate"), [&] {
        // The day numbers are the keys, each read once (on several threads
        // for a long list); a cell that is not a date stops the sort before
        // any row has moved.
        grid.sortByColumnKeys(
            column,
            [](QByteArrayView bytes) {
                // The dates as the lists hold them read off their bytes; any
                // other text as a person may have typed it.
                if (bytes.isEmpty())
                    return 0.0;
                if (const QDate shown = shownDateOf(bytes); shown.isValid())
                    return double(Regional::dayNumber(shown));
                const QString cell = QString::fromUtf8(bytes).trimmed();
                if (cell.isEmpty())
                    return 0.0;
                const auto date = Regional::parseDate(cell);
                if (!date)
                    raiseError(ErrNo::TypeMismatch, QStringLiteral("Type mismatch"));
                return double(Regional::dayNumber(*date));
            },
            mode == FlexGrid::NumericDescending);
        // Where the sort on a hidden key column after the last one leaves
        // the current column once that column is gone.
        grid.setCol(grid.Cols() - 1);
    });
}

std::optional<QByteArray> toWindows1252(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    if (!appendWindows1252(out, text.toUtf8()))
        return std::nullopt;
    return out;
}

QByteArray csvBytes(const FlexGrid &grid)
{
    QByteArray out;
    writeCsv(grid, [&](QByteArrayView piece) {
        out += piece;
        return true;
    });
    return out;
}

bool xMSFlexGrid_Save(FlexGrid &grid, const QString &fileName)
{
    return runProc(plainProc(QStringLiteral("xMSFlexGrid_Save")), [&] {
        // Written beside the target and renamed over it at the end, so a
        // failure leaves neither a half-written file nor a lost old one.
        QSaveFile file(fileName);
        if (!file.open(QIODevice::WriteOnly)) {
            if (!QFileInfo(fileName).absoluteDir().exists())
                raiseError(ErrNo::PathNotFound, QStringLiteral("Path not found"));
            raiseError(ErrNo::PermissionDenied, QStringLiteral("Permission denied"));
        }
        WriteBack toDisk(file.handle());
        const bool written = writeCsv(grid, [&](QByteArrayView piece) {
            if (file.write(piece.data(), piece.size()) != piece.size())
                return false;
            return toDisk.written(file, piece.size());
        });
        if (!written || !toDisk.finish()) {
            file.cancelWriting();
            raiseError(57, QStringLiteral("Device I/O error"));
        }
        if (!file.commit())
            raiseError(75, QStringLiteral("Path/File access error"));
    });
}

void esportaCSV(FlexGrid &grid)
{
    runProc(plainProc(QStringLiteral("esportaCSV")), [&] {
        const QString chosen = people().saveFileDialog(QStringLiteral("File CSV|*.csv"));
        if (chosen.isEmpty())
            return;
        QString name = trimBlanks(chosen);
        if (name.right(4).toUpper() != QLatin1String(".CSV"))
            name += QLatin1String(".csv");
        if (FileExists(name)) {
            const int answer = MyMsgBox(QStringLiteral("Il file ") + name
                                            + QStringLiteral(" già esiste. Sei sicuro di volerlo sovrascrivere?"),
                                        4, QStringLiteral("Merivolo"));
            // Only a plain Yes overwrites someone's file.
            if (answer != MsgResult::Yes)
                return;
        }
        if (!xMSFlexGrid_Save(grid, name))
            return;
        MyMsgBox(QStringLiteral("I dati sono stati esportati con successo sul file ") + name, MsgStyle::Exclamation,
                 QStringLiteral("Merivolo"));
    });
}
