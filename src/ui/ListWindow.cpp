#include "ListWindow.h"
#include "Controls.h"
#include "Database.h"
#include "FlexGrid.h"
#include "FormPrep.h"
#include "Globals.h"
#include "GridHelpers.h"
#include "Messages.h"
#include "PrintPreview.h"
#include "Procedure.h"
#include "Regional.h"
#include "Translation.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <cmath>
#include <vector>

namespace {
const QString kTitle = QStringLiteral("Merivolo");
constexpr int kMarginPx = 8;
constexpr int kTopPx = 48;
constexpr int kFooterFromBottomTwips = 500;
constexpr int kFooterGapPx = 4;

// Closes the shared result set, ignoring that it may be closed already.
void closeQuietly()
{
    try {
        if (gRs && gRs->isOpen())
            gRs->close();
    } catch (const RuntimeError &) {
    }
    gRs.reset();
}

bool likeData(const QString &header)
{
    return header.startsWith(QLatin1String("Data"));
}
} // namespace

ListWindow::ListWindow(const QString &name, const QString &caption, bool withExport, RunState<QString> *filter)
    : Form(name), m_filter(filter)
{
    OsenXPForm1 = new SkinForm(this);
    OsenXPForm1->setCaption(caption);
    cmdAdd = makeButton(this, QStringLiteral("cmdAdd"), QStringLiteral("Aggiungi"));
    cmdDelete = makeButton(this, QStringLiteral("cmdDelete"), QStringLiteral("Elimina"));
    cmdSelect = makeButton(this, QStringLiteral("cmdSelect"), QStringLiteral("Cerca"));
    cmdPrintGrid = makeButton(this, QStringLiteral("cmdPrintGrid"), QStringLiteral("Stampa"));
    if (withExport)
        cmdEsportaDati = makeButton(this, QStringLiteral("cmdEsportaDati"), QStringLiteral("Esporta CSV"));
    cmdClose = makeButton(this, QStringLiteral("cmdClose"), QStringLiteral("Esci"));
    MSFlexGrid1 = new FlexGrid(this);
    // Amounts show as "1.234,50": the sort reads them as the grid shows them.
    MSFlexGrid1->setNumberReader(&Regional::parseShownNumberUtf8);
    web = new WebBrowser(this);

    // The header row is as high as a data row, so a press above the height
    // of row 1 is a press on the header.
    MSFlexGrid1->horizontalHeader()->setFixedHeight(MSFlexGrid1->verticalHeader()->defaultSectionSize());

    int x = kMarginPx;
    for (QPushButton *b : {cmdAdd, cmdDelete, cmdSelect, cmdPrintGrid, cmdEsportaDati, cmdClose}) {
        if (!b)
            continue;
        b->setGeometry(x, kMarginPx, 104, 30);
        x += 110;
    }
    MSFlexGrid1->move(kMarginPx, kTopPx);
    resize(std::max(x + kMarginPx, 900), 560);

    connect(cmdAdd, &QPushButton::clicked, this, &ListWindow::cmdAdd_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &ListWindow::cmdDelete_Click);
    connect(cmdSelect, &QPushButton::clicked, this, &ListWindow::cmdSelect_Click);
    connect(cmdPrintGrid, &QPushButton::clicked, this, &ListWindow::cmdPrintGrid_Click);
    connect(cmdClose, &QPushButton::clicked, this, &ListWindow::cmdClose_Click);
    if (cmdEsportaDati)
        connect(cmdEsportaDati, &QPushButton::clicked, this, &ListWindow::cmdEsportaDati_Click);
    connect(MSFlexGrid1, &FlexGrid::gridDblClick, this, &ListWindow::MSFlexGrid1_DblClick);
    connect(MSFlexGrid1, &FlexGrid::gridKeyDown, this, &ListWindow::MSFlexGrid1_KeyDown);
    connect(MSFlexGrid1, &FlexGrid::gridMouseDown, this, &ListWindow::MSFlexGrid1_MouseDown);
    connect(MSFlexGrid1, &FlexGrid::gridMouseUp, this, &ListWindow::MSFlexGrid1_MouseUp);
    connect(MSFlexGrid1, &FlexGrid::gridSelChange, this, &ListWindow::MSFlexGrid1_SelChange);
}

int ListWindow::columnWidthFor(double widestTwips)
{
    double w = widestTwips;
    if (w > 8000)
        w = 8000;
    if (w < 6000)
        w = std::nearbyint((1 - w / 6000) * 500 + w);
    if (w < 600)
        w = 600;
    return int(w);
}

QString ListWindow::withFilter(const QString &query, const QString &f)
{
    if (f.isEmpty())
        return query;
    if (query.contains(QLatin1String(" WHERE "), Qt::CaseInsensitive))
        return query + QStringLiteral(" AND (") + f + QStringLiteral(")");
    return query + QStringLiteral(" WHERE ") + f;
}

const QString &ListWindow::filter() const
{
    static const QString none;
    return m_filter ? **m_filter : none;
}

void ListWindow::setFilter(const QString &f)
{
    if (m_filter)
        *m_filter = f;
}

void ListWindow::openEditWindow(bool newRecord)
{
    if (RecordEditor *e = editWindow())
        e->open(EditRequest{newRecord});
}

QString ListWindow::keyText() const
{
    return ::keyText(SelectedID);
}

QString ListWindow::cellText(const Recordset &rs, int i)
{
    return rs.text(i);
}

void ListWindow::Form_Load()
{
    formProc(objectName(), QStringLiteral("Form_Load"), [&] {
        beforeLoad();
        DisattivaTabstop(controls());
        HookMouseWheel(this);
        CenterForm(*this);
        FillGrid();
        if (addWhenEmpty() && MSFlexGrid1->Rows() == 1 && !m_fillFailed)
            cmdAdd_Click();
    });
}

void ListWindow::setHeaders(const Recordset &r, const QString &query)
{
    for (int i = 0; i < r.fieldCount(); ++i) {
        const QString name = r.fieldName(i);
        QString header;
        if (name.isEmpty()) {
            const QString upper = query.toUpper();
            const qsizetype p = upper.indexOf(QLatin1String("COUNT("));
            if (p < 0)
                continue;
            const qsizetype close = query.indexOf(QLatin1Char(')'), p);
            header = close < 0 ? query.mid(p) : query.mid(p, close - p + 1);
        } else if (name.startsWith(QLatin1String("Expr100"))) {
            header = QStringLiteral("Count");
        } else if (const QString renamed = headerRename(name); !renamed.isEmpty()) {
            header = renamed;
        } else if (name.endsWith(QLatin1String("ID"))) {
            header = QStringLiteral("IDFIELD");
        } else {
            header = PutSpacesInLabels(name);
        }
        MSFlexGrid1->setTextMatrix(0, i, header);
    }
}

void ListWindow::setColumnWidths()
{
    const QFontMetrics fm(MSFlexGrid1->font());
    const int lastRow = std::min(60, MSFlexGrid1->Rows() - 1);
    for (int c = 0; c < MSFlexGrid1->Cols(); ++c) {
        double w = 0;
        for (int r = 0; r <= lastRow; ++r) {
            const double t = double(fm.horizontalAdvance(MSFlexGrid1->TextMatrix(r, c))) * kTwipsPerPixel;
            if (t > w)
                w = std::nearbyint(t);
        }
        MSFlexGrid1->setColWidth(c, columnWidthFor(w));
        if (MSFlexGrid1->TextMatrix(0, c) == QLatin1String("IDFIELD"))
            MSFlexGrid1->setColWidth(c, 0);
    }
}

void ListWindow::fitHeaders()
{
    // The widths are measured on the Italian headers; a translated header
    // can be longer ("State / Province"), and a header is never cut.
    // An empty list keeps its one "0 Records" cell as wide as it was set.
    if (MSFlexGrid1->Rows() <= 1)
        return;
    const QHeaderView *header = MSFlexGrid1->horizontalHeader();
    for (int c = 0; c < MSFlexGrid1->Cols() && c < header->count(); ++c) {
        const int w = MSFlexGrid1->ColWidth(c);
        if (w <= 0)
            continue;
        const int need = pixelsToTwips(header->sectionSizeHint(c));
        if (w < need)
            MSFlexGrid1->setColWidth(c, need);
    }
}

namespace {
// A failure whose message was shown where it happened.
struct AlreadyReported {};
} // namespace

void ListWindow::FillGrid()
{
    const Proc proc{objectName(), QStringLiteral("FillGrid"), Proc::Form};
    traceProcedure(proc.owner, proc.name);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool failed = false;
    try {
        MSFlexGrid1->setRows(1);
        OpenDb();
        const QString query = withFilter(fillQuery(), filter()) + queryTail();
        gRs.reset();
        if (!gRsOpen(query))
            throw AlreadyReported{};
        const std::shared_ptr<Recordset> held = rs(); // cellText may run a query
        Recordset &r = *held;
        if (r.eof()) {
            MSFlexGrid1->setColWidth(0, 1000);
            MSFlexGrid1->setTextMatrix(0, 0, QStringLiteral("0 Records"));
        } else {
            const int n = r.fieldCount();
            MSFlexGrid1->setCols(n);
            setHeaders(r, query);
            beforeFillRows();
            MSFlexGrid1->beginFill();
            std::vector<char> asStored(static_cast<size_t>(n));
            bool allAsStored = true;
            for (int i = 0; i < n; ++i) {
                asStored[size_t(i)] = cellsAsStored(r, i);
                allAsStored = allAsStored && asStored[size_t(i)];
            }
            if (allAsStored) {
                // Every cell as the back-end holds it: one call a row each way.
                std::vector<QByteArrayView> row(static_cast<size_t>(n));
                while (!r.eof()) {
                    r.rowUtf8(row.data(), n);
                    MSFlexGrid1->appendRow(row.data(), n);
                    r.moveNext();
                }
            }
            while (!r.eof()) {
                for (int i = 0; i < n; ++i) {
                    if (asStored[size_t(i)])
                        MSFlexGrid1->appendCell(r.textUtf8(i));
                    else
                        MSFlexGrid1->appendCellText(cellText(r, i));
                }
                MSFlexGrid1->endRow();
                r.moveNext();
            }
            MSFlexGrid1->endFill();
            setColumnWidths();
            afterWidths();
        }
    } catch (const RuntimeError &e) {
        MSFlexGrid1->endFill();
        reportError(e, proc);
        failed = true;
    } catch (const AlreadyReported &) {
        failed = true;
    }
    m_fillFailed = failed;
    if (failed) {
        // A read cut off part-way (the connection lost, the register damaged
        // or locked) must not pass for the whole list: print, export and the
        // totals would work on the short one.
        MSFlexGrid1->setRows(1);
        MSFlexGrid1->setColWidth(0, 1000);
        MSFlexGrid1->setTextMatrix(0, 0, QStringLiteral("0 Records"));
    }
    try {
        doEnglishGrid(*MSFlexGrid1);
        fitHeaders();
        closeQuietly();
        CloseDb();
        MSFlexGrid1->setRow(0);
        // A new list opens at its first row and column, whatever part of
        // the last one was in view.
        MSFlexGrid1->setTopRow(1);
        MSFlexGrid1->setLeftCol(0);
    } catch (const RuntimeError &) {
    }
    QApplication::restoreOverrideCursor();
    afterFill();
}

void ListWindow::ClearGrid()
{
    formProc(objectName(), QStringLiteral("ClearGrid"), [&] {
        for (int r = 0; r < MSFlexGrid1->Rows(); ++r) {
            for (int c = 0; c < MSFlexGrid1->Cols(); ++c)
                MSFlexGrid1->setTextMatrix(r, c, QString());
        }
    });
}

void ListWindow::UpdateGridRow()
{
    formProc(objectName(), QStringLiteral("UpdateGridRow"), [&] {
        gRs.reset();
        if (!gRsOpen(oneRecordQuery(false)))
            return; // reported there
        const std::shared_ptr<Recordset> held = rs();
        Recordset &r = *held;
        if (!r.eof()) {
            const int row = MSFlexGrid1->Row();
            for (int i = 1; i < r.fieldCount() && i < MSFlexGrid1->Cols(); ++i)
                MSFlexGrid1->setTextMatrix(row, i, r.text(i));
        }
        closeQuietly();
    });
}

void ListWindow::AddGridRow()
{
    formProc(objectName(), QStringLiteral("AddGridRow"), [&] {
        // The row this program inserted: another desk may have added one since.
        SelectedID = double(lastInsertedKey());
        gRs.reset();
        if (!gRsOpen(oneRecordQuery(true)))
            return; // reported there
        const std::shared_ptr<Recordset> held = rs();
        Recordset &r = *held;
        if (!r.eof()) {
            const int n = r.fieldCount();
            MSFlexGrid1->setCols(n);
            QVector<QString> cells(n);
            for (int i = 0; i < n; ++i)
                cells[i] = r.text(i);
            MSFlexGrid1->addRow(cells);
        }
        closeQuietly();
        const double t = MSFlexGrid1->Rows() - double(MSFlexGrid1->HeightTwips()) / MSFlexGrid1->RowHeight(0) + 3;
        if (t <= 0) {
            if (MSFlexGrid1->Rows() > 1)
                MSFlexGrid1->setTopRow(1);
        } else {
            MSFlexGrid1->setTopRow(std::clamp(int(std::lround(t)), 1, std::max(1, MSFlexGrid1->Rows() - 1)));
        }
    });
}

void ListWindow::MouseWheel(int MouseKeys, int Rotation, int Xpos, int Ypos)
{
    for (FlexGrid *g : findChildren<FlexGrid *>()) {
        if (isPointOverWindow(g, Xpos, Ypos))
            ScrollFlexGrid(*g, MouseKeys, Rotation, Xpos, Ypos);
    }
}

void ListWindow::Form_Resize()
{
    formProc(objectName(), QStringLiteral("Form_Resize"), [&] {
        if (isMinimized())
            return;
        if (twipsWidth() < 6500)
            setTwipsWidth(6500);
        if (twipsHeight() < 4000)
            setTwipsHeight(4000);
        const int left = pixelsToTwips(MSFlexGrid1->x());
        const int top = pixelsToTwips(MSFlexGrid1->y());
        const int w = scaleWidthTwips() - 2 * left;
        const int h = int(scaleHeightTwips() - 1.5 * top);
        MSFlexGrid1->setGeometry(MSFlexGrid1->x(), MSFlexGrid1->y(), std::max(1, twipsToPixels(w)),
                                 std::max(1, twipsToPixels(h)));
        if (!m_footer)
            return;
        // The footer sits at the foot of the window; the grid ends above it.
        const int labelTop = std::max(MSFlexGrid1->y() + 1, height() - twipsToPixels(kFooterFromBottomTwips));
        m_footer->setGeometry(MSFlexGrid1->x(), labelTop, std::max(1, width() - 2 * MSFlexGrid1->x()),
                              m_footer->sizeHint().height());
        const int gridBottom = labelTop - kFooterGapPx;
        if (MSFlexGrid1->y() + MSFlexGrid1->height() > gridBottom)
            MSFlexGrid1->resize(MSFlexGrid1->width(), std::max(1, gridBottom - MSFlexGrid1->y()));
    });
}

void ListWindow::Form_Unload()
{
    UnhookMouseWheel(this);
}

void ListWindow::cmdAdd_Click()
{
    formProc(objectName(), QStringLiteral("cmdAdd_Click"), [&] { openEditWindow(true); });
}

bool ListWindow::executeDelete()
{
    return gDbExecute(deleteStatement() + keyText());
}

void ListWindow::cmdDelete_Click()
{
    formProc(objectName(), QStringLiteral("cmdDelete_Click"), [&] {
        FlexGrid &g = *MSFlexGrid1;
        if (g.Row() == 0 || g.Rows() == 1)
            return;
        SelectedID = g.TextMatrix(g.Row(), 0).toDouble();
        if (openDbBeforeCheck())
            OpenDb();
        switch (dependentRows()) {
        case Exists::Yes:
            MyMsgBox(refusalText(), MsgStyle::Exclamation, kTitle);
            return;
        case Exists::CouldNotTell:
            return; // the failed check was reported; nothing is deleted blindly
        case Exists::No:
            break;
        }
        if (MyMsgBox(QStringLiteral("Sei sicuro di voler eliminare il record?"), MsgStyle::YesNo, kTitle)
            != MsgResult::Yes)
            return;
        if (!openDbBeforeCheck())
            OpenDb();
        // Another desk may have saved a row that refers to this record while
        // the question was up. The delete and a second look for such rows
        // share one transaction: the deleted row stays locked against a save
        // that refers to it, and a referring row found now undoes the delete.
        bool refused = false;
        const bool deleted = inTransaction([&] {
            if (!executeDelete())
                return false;
            switch (dependentRows()) {
            case Exists::Yes:
                refused = true;
                return false;
            case Exists::CouldNotTell:
                return false;
            case Exists::No:
                break;
            }
            return true;
        });
        if (refused)
            MyMsgBox(refusalText(), MsgStyle::Exclamation, kTitle);
        if (!deleted)
            return; // the record is still there, and so is its row
        if (g.Rows() == 2) {
            g.setRows(1);
        } else {
            g.RemoveItem(g.Row());
            g.setFocus();
            if (g.Row() <= g.Rows() - 1) {
                g.setRowSel(g.Row());
                g.setCol(0);
                g.setColSel(g.Cols() - 1);
            }
        }
        afterDelete();
    });
}

void ListWindow::cmdSelect_Click()
{
    formProc(objectName(), QStringLiteral("cmdSelect_Click"), [&] { showSearchWindow(); });
}

void ListWindow::cmdPrintGrid_Click()
{
    formProc(objectName(), QStringLiteral("cmdPrintGrid_Click"), [&] {
        const QVector<short> skip = printSkipList();
        int i = 1;
        for (short c : skip)
            (*gPrintSkipColumns)[i++] = c;
        (*gPrintSkipColumns)[i] = -1;
        initPrintPreview(*web);
        printWebSubtitle(*web, printSubtitle());
        printWebGrid(*MSFlexGrid1, *web);
        const QString total = printTotalLine();
        if (!total.isEmpty())
            printString(formattaPerStampa(total), *web);
        endPrintPreview(*web);
        goPrintPreview(*web);
    });
}

void ListWindow::cmdEsportaDati_Click()
{
    esportaCSV(*MSFlexGrid1);
}

void ListWindow::cmdClose_Click()
{
    formProc(objectName(), QStringLiteral("cmdClose_Click"), [&] {
        unload();
        releaseInstance();
    });
}

void ListWindow::MSFlexGrid1_DblClick()
{
    formProc(objectName(), QStringLiteral("MSFlexGrid1_DblClick"), [&] {
        FlexGrid &g = *MSFlexGrid1;
        if (g.Rows() < 2)
            return;
        if (g.Row() <= 1 && gLastMouseY->toDouble() < g.RowHeight(1))
            return;
        SelectedID = g.TextMatrix(g.Row(), 0).toDouble();
        openEditWindow(false);
    });
}

void ListWindow::MSFlexGrid1_KeyDown(int KeyCode, int)
{
    formProc(objectName(), QStringLiteral("MSFlexGrid1_KeyDown"), [&] {
        if (KeyCode == ::KeyCode::Delete)
            cmdDelete_Click();
    });
}

void ListWindow::MSFlexGrid1_MouseDown(int, int, double, double Y)
{
    formProc(objectName(), QStringLiteral("MSFlexGrid1_MouseDown"), [&] {
        FlexGrid &g = *MSFlexGrid1;
        if (g.Rows() < 2)
            return;
        if (Y < g.RowHeight(1) && g.Row() <= 1) {
            const int c = g.Col();
            const QString header = g.TextMatrix(0, c);
            if (!m_sortFlag) {
                if (likeData(header))
                    sortGridByDate(g, c, FlexGrid::NumericAscending);
                else
                    g.setSort(FlexGrid::GenericAscending);
                m_sortFlag = true;
            } else {
                if (likeData(header))
                    sortGridByDate(g, c, FlexGrid::NumericDescending);
                else
                    g.setSort(FlexGrid::GenericDescending);
                m_sortFlag = false;
            }
        }
        gSavedLeftCol = g.LeftCol();
        gLastMouseY = Y;
    });
}

void ListWindow::MSFlexGrid1_MouseUp(int, int, double, double)
{
    formProc(objectName(), QStringLiteral("MSFlexGrid1_MouseUp"), [&] {
        FlexGrid &g = *MSFlexGrid1;
        if (g.Rows() < 2)
            return;
        g.setCol(0);
        g.setColSel(g.Cols() - 1);
        g.setLeftCol(int(std::lround(gSavedLeftCol)));
    });
}

void ListWindow::MSFlexGrid1_SelChange()
{
    formProc(objectName(), QStringLiteral("MSFlexGrid1_SelChange"), [&] {
        FlexGrid &g = *MSFlexGrid1;
        if (g.Rows() < 2)
            return;
        g.setCol(0);
        g.setColSel(g.Cols() - 1);
    });
}
