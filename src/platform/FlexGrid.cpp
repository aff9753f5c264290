#include "FlexGrid.h"
#include "RuntimeError.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {
constexpr int kTwips = 15;
constexpr int kDefaultColTwips = 960;

[[noreturn]] void badRow() { raiseError(30009, QStringLiteral("Invalid Row value")); }
[[noreturn]] void badCol() { raiseError(30010, QStringLiteral("Invalid Col value")); }
[[noreturn]] void subscript() { raiseError(381, QStringLiteral("Subscript out of range")); }

int vbKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Delete: return 46;
    case Qt::Key_Insert: return 45;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    default:
        if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
            return 65 + (qtKey - Qt::Key_A);
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return 48 + (qtKey - Qt::Key_0);
        if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
            return 112 + (qtKey - Qt::Key_F1);
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
    return std::max(1, int(std::lround(double(twips) / kTwips)));
}

bool numberOf(const QString &s, double *out)
{
    bool ok = false;
    QString t = s.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    *out = t.toDouble(&ok);
    return ok && !t.isEmpty();
}
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
    QVector<QVector<QString>> cells{QVector<QString>(2)};
    int cols = 2;
    bool filling = false;

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(cells.size()) - 1; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : cols; }
    QVariant data(const QModelIndex &idx, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        const auto &row = cells.at(idx.row() + 1);
        if (role == Qt::ToolTipRole && row.at(idx.column()).size() < 60)
            return {};
        return row.at(idx.column());
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (o == Qt::Horizontal)
            return section < cols ? cells.at(0).at(section) : QString();
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
};

FlexGrid::FlexGrid(QWidget *parent, const QString &name) : QTableView(parent), m_model(new FlexGridModel)
{
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
    horizontalHeader()->setDefaultSectionSize(kDefaultColTwips / kTwips);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setStyleSheet(QStringLiteral("QHeaderView::section { background-color: #dfe6ee; padding: 2px 4px; border: 0px; "
                                 "border-right: 1px solid #b8c4d2; border-bottom: 1px solid #b8c4d2; }"));
    viewport()->installEventFilter(this);

    // A press on the header selects that column from row 1, as the original
    // grid did, and reaches the window as a mouse press in the header row.
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this, [this](int section) {
        if (Rows() > 1)
            m_row = 1;
        m_col = section;
        const QPoint p = horizontalHeader()->mapFromGlobal(QCursor::pos());
        emit gridMouseDown(1, vbShift(QGuiApplication::keyboardModifiers()), double(p.x()) * kTwips,
                           std::clamp(p.y(), 0, horizontalHeader()->height() - 1) * double(kTwips));
        emit gridMouseUp(1, vbShift(QGuiApplication::keyboardModifiers()), double(p.x()) * kTwips,
                         std::clamp(p.y(), 0, horizontalHeader()->height() - 1) * double(kTwips));
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
            const double x = me->position().x() * kTwips;
            const double y = (me->position().y() + horizontalHeader()->height()) * kTwips;
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

int FlexGrid::Rows() const { return int(m_model->cells.size()); }

void FlexGrid::setRows(int n)
{
    if (n < 1)
        raiseError(30009, QStringLiteral("Invalid Row value"));
    const int old = Rows();
    if (n == old)
        return;
    if (m_model->filling) {
        m_model->cells.resize(n, QVector<QString>(m_model->cols));
    } else if (n > old) {
        m_model->beginInsertRows({}, old - 1, n - 2);
        m_model->cells.resize(n, QVector<QString>(m_model->cols));
        m_model->endInsertRows();
    } else {
        m_model->beginRemoveRows({}, n - 1, old - 2);
        m_model->cells.resize(n);
        m_model->endRemoveRows();
    }
    if (m_row >= n)
        m_row = n - 1;
    if (m_rowSel >= n)
        m_rowSel = n - 1;
}

int FlexGrid::Cols() const { return m_model->cols; }

void FlexGrid::setCols(int n)
{
    if (n < 1)
        badCol();
    if (n == m_model->cols)
        return;
    const int old = m_model->cols;
    auto apply = [&] {
        for (auto &row : m_model->cells)
            row.resize(n);
        m_model->cols = n;
    };
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
        setColumnWidth(c, kDefaultColTwips / kTwips);
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

int FlexGrid::Row() const { return m_row; }

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

int FlexGrid::Col() const { return m_col; }

void FlexGrid::setCol(int c)
{
    if (c < 0 || c >= Cols())
        badCol();
    m_col = c;
    m_colSel = c;
}

int FlexGrid::RowSel() const { return m_rowSel; }

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

int FlexGrid::ColSel() const { return m_colSel; }

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

int FlexGrid::LeftCol() const { return horizontalScrollBar()->value(); }

void FlexGrid::setLeftCol(int c)
{
    if (c < 0 || c >= Cols())
        badCol();
    horizontalScrollBar()->setValue(c);
}

QString FlexGrid::Text() const { return TextMatrix(m_row, m_col); }

void FlexGrid::setText(const QString &t) { setTextMatrix(m_row, m_col, t); }

QString FlexGrid::TextMatrix(int r, int c) const
{
    if (r < 0 || r >= Rows() || c < 0 || c >= Cols())
        subscript();
    return m_model->cells.at(r).at(c);
}

void FlexGrid::setTextMatrix(int r, int c, const QString &t)
{
    if (r < 0 || r >= Rows() || c < 0 || c >= Cols())
        subscript();
    m_model->cells[r][c] = t;
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
    return px * kTwips;
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
        return std::max(horizontalHeader()->height(), horizontalHeader()->sizeHint().height()) * kTwips;
    return verticalHeader()->defaultSectionSize() * kTwips;
}

int FlexGrid::HeightTwips() const { return height() * kTwips; }

void FlexGrid::setSort(int mode)
{
    if (Rows() <= 2 || mode < 1 || mode > 4)
        return;
    const int c = m_col;
    auto &cells = m_model->cells;
    // Each cell is read as a number once, not at every comparison: a list
    // of 100,000 rows sorts in a blink.
    struct Key {
        double number;
        bool isNumber;
        int row;
    };
    std::vector<Key> keys;
    keys.reserve(cells.size() - 1);
    for (int r = 1; r < int(cells.size()); ++r) {
        double x = 0;
        bool isNumber = false;
        if (m_numberReader) {
            if (const auto v = m_numberReader(cells.at(r).at(c))) {
                x = *v;
                isNumber = true;
            }
        } else {
            isNumber = numberOf(cells.at(r).at(c), &x);
        }
        keys.push_back(Key{isNumber ? x : 0.0, isNumber, r});
    }
    auto generic = [&](const Key &a, const Key &b) {
        if (a.isNumber && b.isNumber)
            return a.number < b.number;
        if (a.isNumber != b.isNumber)
            return a.isNumber; // numbers before texts
        return QString::compare(cells.at(a.row).at(c), cells.at(b.row).at(c), Qt::CaseInsensitive) < 0;
    };
    auto numeric = [](const Key &a, const Key &b) { return a.number < b.number; };
    switch (mode) {
    case 1: std::stable_sort(keys.begin(), keys.end(), generic); break;
    case 2: std::stable_sort(keys.begin(), keys.end(), [&](const Key &a, const Key &b) { return generic(b, a); }); break;
    case 3: std::stable_sort(keys.begin(), keys.end(), numeric); break;
    default: std::stable_sort(keys.begin(), keys.end(), [&](const Key &a, const Key &b) { return numeric(b, a); }); break;
    }
    m_model->resetAll([&] {
        QVector<QVector<QString>> sorted;
        sorted.reserve(cells.size());
        sorted.push_back(std::move(cells[0]));
        for (const Key &k : keys)
            sorted.push_back(std::move(cells[k.row]));
        cells = std::move(sorted);
    });
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
    m_model->beginRemoveRows({}, r - 1, r - 1);
    m_model->cells.remove(r);
    m_model->endRemoveRows();
    if (m_row >= Rows())
        m_row = Rows() - 1;
    if (m_rowSel >= Rows())
        m_rowSel = Rows() - 1;
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
    QVector<QString> row = cells;
    row.resize(m_model->cols);
    if (m_model->filling) {
        m_model->cells.push_back(std::move(row));
        return;
    }
    const int n = Rows();
    m_model->beginInsertRows({}, n - 1, n - 1);
    m_model->cells.push_back(std::move(row));
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
    m_model->endResetModel();
    const QHash<int, int> widths = std::exchange(m_fillWidths, {});
    for (auto it = widths.cbegin(); it != widths.cend(); ++it) {
        if (it.key() < Cols())
            setColWidth(it.key(), it.value());
    }
    if (m_row >= 1)
        setRow(m_row);
}
