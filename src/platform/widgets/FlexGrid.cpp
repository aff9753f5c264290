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
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
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
    [[noreturn]] static void outOfMemory() { raiseError(7, QStringLiteral("Out of memory")); }

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

// The cells of one column, row 0 included: each cell is its length and its
// UTF-8 bytes in one buffer, and a row holds where its cell starts. Every
// empty cell is the one at offset 0. A cell written again is stored anew at
// the end; the bytes nobody points to are dropped once they are the most.
class CellColumn {
public:
    CellColumn() { m_bytes.push_back(0); }

    size_t rows() const { return m_at.size(); }

    QByteArrayView at(size_t r) const
    {
        const auto *p = reinterpret_cast<const uchar *>(m_bytes.data()) + m_at[r];
        size_t len = 0;
        int shift = 0;
        while (*p & 0x80) {
            len |= size_t(*p++ & 0x7F) << shift;
            shift += 7;
        }
        len |= size_t(*p++) << shift;
        return QByteArrayView(reinterpret_cast<const char *>(p), qsizetype(len));
    }

    void append(QByteArrayView v) { m_at.push_back(store(v)); }

    void set(size_t r, QByteArrayView v)
    {
        m_dead += stored(r);
        m_at[r] = store(v);
        compactIfWasteful();
    }

    void resize(size_t n)
    {
        // A list emptied for its next fill keeps its header only: copying
        // what stays beats reckoning every row that goes.
        if (n * 2 < rows()) {
            CellColumn fresh;
            fresh.m_at.resize(n, 0);
            for (size_t r = 0; r < n; ++r)
                fresh.m_at[r] = fresh.store(at(r));
            *this = std::move(fresh);
            return;
        }
        for (size_t r = n; r < rows(); ++r)
            m_dead += stored(r);
        m_at.resize(n, 0);
        compactIfWasteful();
    }

    void remove(size_t r)
    {
        m_dead += stored(r);
        m_at.erase(r);
        compactIfWasteful();
    }

    void shrink()
    {
        m_bytes.shrink();
        m_at.shrink();
    }

    // Row 0 stays; new row i + 1 is the old row order[i], for the rows() - 1
    // data rows. In place, through room for rows() values every column
    // shares: fresh pages for each column cost more than the moves.
    void reorder(const quint32 *order, quint32 *was)
    {
        std::memcpy(was, m_at.data(), m_at.size() * sizeof(quint32));
        for (size_t i = 1; i < m_at.size(); ++i)
            m_at[i] = was[order[i - 1]];
    }

private:
    quint32 store(QByteArrayView v)
    {
        if (v.isEmpty())
            return 0;
        const size_t offset = m_bytes.size();
        if (offset + size_t(v.size()) + 10 > std::numeric_limits<quint32>::max())
            raiseError(7, QStringLiteral("Out of memory"));
        uchar head[10];
        int n = 0;
        for (size_t len = size_t(v.size());; len >>= 7) {
            head[n++] = uchar((len & 0x7F) | (len >= 0x80 ? 0x80 : 0));
            if (len < 0x80)
                break;
        }
        char *to = m_bytes.extend(size_t(n) + size_t(v.size()));
        std::memcpy(to, head, size_t(n));
        std::memcpy(to + n, v.data(), size_t(v.size()));
        return quint32(offset);
    }

    // Bytes a row's cell takes in the buffer, its length included.
    size_t stored(size_t r) const
    {
        if (m_at[r] == 0)
            return 0;
        const QByteArrayView v = at(r);
        return size_t(v.data() - m_bytes.data()) - m_at[r] + size_t(v.size());
    }

    void compactIfWasteful()
    {
        if (m_dead < (size_t(1) << 16) || m_dead * 2 < m_bytes.size())
            return;
        CellColumn fresh;
        fresh.m_at.resize(rows(), 0);
        for (size_t r = 0; r < rows(); ++r)
            fresh.m_at[r] = fresh.store(at(r));
        *this = std::move(fresh);
    }

    Buffer<char> m_bytes;
    Buffer<quint32> m_at;
    size_t m_dead = 0;
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

    FlexGridModel() : columns(2)
    {
        for (CellColumn &c : columns)
            c.resize(1);
    }

    std::vector<CellColumn> columns;
    int rows = 1;     // the header row included
    int nextCell = 0; // the column of the next cell of a row being appended
    bool filling = false;

    int cols() const { return int(columns.size()); }
    QString text(int r, int c) const { return QString::fromUtf8(columns[size_t(c)].at(size_t(r))); }

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
        for (CellColumn &c : columns)
            c.resize(size_t(n));
        rows = n;
    }
    void resizeCols(int n)
    {
        columns.resize(size_t(n));
        for (CellColumn &c : columns) {
            if (c.rows() != size_t(rows))
                c.resize(size_t(rows));
        }
    }
    void reorder(const quint32 *order, quint32 *was)
    {
        resetAll([&] {
            for (CellColumn &c : columns)
                c.reorder(order, was);
        });
    }
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
    return m_model->columns[size_t(c)].at(size_t(r));
}

void FlexGrid::setTextMatrix(int r, int c, const QString &t)
{
    if (r < 0 || r >= Rows() || c < 0 || c >= Cols())
        subscript();
    m_model->columns[size_t(c)].set(size_t(r), t.toUtf8());
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

void FlexGrid::setSort(int mode)
{
    if (Rows() <= 2 || mode < GenericAscending || mode > NumericDescending)
        return;
    const bool generic = mode <= GenericDescending;
    // Each cell is read once, as a number or else as its folded text, not
    // at every comparison.
    const quint32 n = quint32(Rows() - 1);
    GridSort::Keys keys(n);
    for (quint32 r = 1; r <= n; ++r) {
        const QByteArrayView cell = cellUtf8(int(r), m_col);
        std::optional<double> number;
        if (m_numberReader) {
            number = m_numberReader(cell);
        } else if (double x = 0; numberOf(QString::fromUtf8(cell), &x)) {
            number = x;
        }
        if (number)
            keys.addNumber(r, *number);
        else if (generic)
            keys.addText(r, cell);
        else
            keys.addNumber(r, 0); // a numeric sort counts a text as zero
    }
    putRowsInOrder(keys, mode == GenericDescending || mode == NumericDescending);
}

void FlexGrid::sortByKeys(const std::vector<double> &keys, bool descending)
{
    if (Rows() <= 2 || keys.size() + 1 < size_t(Rows()))
        return;
    const quint32 n = quint32(Rows() - 1);
    GridSort::Keys sortKeys(n);
    for (quint32 r = 1; r <= n; ++r)
        sortKeys.addNumber(r, keys[r - 1]);
    putRowsInOrder(sortKeys, descending);
}

void FlexGrid::putRowsInOrder(GridSort::Keys &keys, bool descending)
{
    m_model->reorder(keys.order(descending), keys.scratch());
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
        for (CellColumn &c : m_model->columns)
            c.remove(size_t(r));
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
    for (const QString &cell : cells)
        appendCellText(cell);
    endRow();
}

void FlexGrid::appendCell(QByteArrayView utf8)
{
    const int c = m_model->nextCell++;
    if (c < Cols())
        m_model->columns[size_t(c)].append(utf8);
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
    for (int c = m_model->nextCell; c < Cols(); ++c)
        m_model->columns[size_t(c)].append(QByteArrayView());
    m_model->nextCell = 0;
    if (m_model->filling) {
        ++m_model->rows;
        return;
    }
    const int n = Rows();
    m_model->beginInsertRows({}, n - 1, n - 1);
    ++m_model->rows;
    m_model->endInsertRows();
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
    for (CellColumn &c : m_model->columns)
        c.shrink();
    m_model->endResetModel();
    const QHash<int, int> widths = std::exchange(m_fillWidths, {});
    for (auto it = widths.cbegin(); it != widths.cend(); ++it) {
        if (it.key() < Cols())
            setColWidth(it.key(), it.value());
    }
    if (m_row >= 1)
        setRow(m_row);
}
