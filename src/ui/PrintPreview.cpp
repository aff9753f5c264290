#include "PrintPreview.h"
#include "Controls.h"
#include "FlexGrid.h"
#include "Form.h"
#include "Globals.h"
#include "Procedure.h"
#include "Settings.h"
#include "Translation.h"
#include "WebBrowser.h"

#include <QVector>
#include <cstring>
#include <optional>

namespace {
const QString kModule = QStringLiteral("basPrintPreview");
const QString kBigLine = QStringLiteral("<font style=\"font-family: arial ; font-size: 22pt;\">");
const QString kEndLine = QStringLiteral("</p>");

// The columns the printing list window asked to leave out: indexes 1 up to
// the first -1. A list that never ends is a fault of the caller, reported
// like an array read past its bound rather than read beyond the array.
QVector<int> skippedColumns()
{
    QVector<int> out;
    const QVector<short> &list = *gPrintSkipColumns;
    for (int i = 1;; ++i) {
        if (i > 100 || i >= list.size())
            raiseError(ErrNo::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
        if (list.at(i) == -1)
            return out;
        out << list.at(i);
    }
}

// The control's own Visible flag: a control hidden on purpose counts as
// hidden, one on a window that is not on screen yet does not.
bool isVisibleControl(const QWidget *w)
{
    return !w->isHidden();
}

// A field's caption cells: every control named "lbl" + the field's name
// without its three-letter prefix.
void writeLabelCells(const QList<QWidget *> &controls, const QWidget *field, WebBrowser &web)
{
    const QString labelName = QStringLiteral("lbl") + field->objectName().mid(3);
    for (QWidget *l : controls) {
        if (l->objectName() == labelName)
            web.write(QStringLiteral("<th>") + formattaPerStampa(caption(l)) + QStringLiteral("</th>"));
    }
}
// Document text written in place at the end of the browser's document, a
// piece at a time: no copy of it on the way. What is written stays
// written, even when a fault stops the writing half-way.
class PieceWriter {
public:
    explicit PieceWriter(WebBrowser &web) : m_web(web) {}
    ~PieceWriter()
    {
        if (m_at)
            m_web.cutAt(m_at);
    }
    PieceWriter(const PieceWriter &) = delete;
    PieceWriter &operator=(const PieceWriter &) = delete;

    // Room for n bytes from the place returned, kept up to commit()'s.
    char *room(qsizetype n)
    {
        if (m_end - m_at < n) {
            if (m_at)
                m_web.cutAt(m_at);
            const qsizetype size = std::max(n, kPiece);
            m_at = m_web.tail(size);
            m_end = m_at + size;
        }
        return m_at;
    }
    void commit(char *end) { m_at = end; }
    void put(const char *s, qsizetype n)
    {
        char *q = room(n);
        std::memcpy(q, s, size_t(n));
        m_at = q + n;
    }
    template <qsizetype N>
    void put(const char (&s)[N])
    {
        put(s, N - 1);
    }
    // The document as written so far, before anyone else writes to it.
    void finish()
    {
        if (m_at)
            m_web.cutAt(m_at);
        m_at = m_end = nullptr;
    }

private:
    static constexpr qsizetype kPiece = 1 << 16;
    WebBrowser &m_web;
    char *m_at = nullptr;
    char *m_end = nullptr;
};

// About the bytes the grid's cells take in the document, judged from its
// first rows, with room to spare.
qsizetype expectedSize(const FlexGrid &grid, const QVector<int> &columns)
{
    const int rows = grid.Rows();
    const int sample = std::min(rows, 1000);
    qsizetype bytes = 0;
    for (int r = 0; r < sample; ++r) {
        for (int c : columns)
            bytes += grid.cellUtf8(r, c).size() + 9;
        bytes += 9;
    }
    return sample > 0 ? qsizetype(double(bytes) / sample * rows * 1.25) : 0;
}

// A grid cell as document text: formattaPerStampa's text in UTF-8, read
// from the grid's own bytes. A cell that is not valid UTF-8 goes through
// the grid's text, as every other reader sees it.
void writeCell(PieceWriter &out, const FlexGrid &grid, int r, int c)
{
    const QByteArrayView s = grid.cellUtf8(r, c);
    const char *p = s.data();
    const qsizetype n = s.size();
    // "&" grows the most, to five bytes.
    char *const start = out.room(5 * n);
    char *q = start;
    uchar high = 0;
    qsizetype from = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const uchar ch = uchar(p[i]);
        high |= ch;
        if (ch > '>' || (ch != '&' && ch != '<' && ch != '>' && ch != '\r' && ch != '\n'))
            continue;
        std::memcpy(q, p + from, size_t(i - from));
        q += i - from;
        switch (ch) {
        case '&':
            std::memcpy(q, "&amp;", 5);
            q += 5;
            break;
        case '<':
            std::memcpy(q, "&lt;", 4);
            q += 4;
            break;
        case '>':
            std::memcpy(q, "&gt;", 4);
            q += 4;
            break;
        default:
            if (ch == '\r' && i + 1 < n && p[i + 1] == '\n')
                ++i;
            std::memcpy(q, "<br>", 4);
            q += 4;
        }
        from = i + 1;
    }
    std::memcpy(q, p + from, size_t(n - from));
    q += n - from;
    if ((high & 0x80) && !s.isValidUtf8()) {
        out.commit(start);
        const QByteArray text = formattaPerStampa(grid.TextMatrix(r, c)).toUtf8();
        out.put(text.constData(), text.size());
        return;
    }
    out.commit(q);
}
} // namespace

QString formattaPerStampa(const QString &text)
{
    QString out;
    moduleProc(kModule, QStringLiteral("formattaPerStampa"), [&] {
        // What was typed is what prints: "&" too, or "&amp;" would print
        // as "&"; a line break in a note stays one.
        qsizetype i = 0;
        while (i < text.size()) {
            const char16_t c = text.at(i).unicode();
            if (c == '&' || c == '<' || c == '>' || c == '\n' || c == '\r')
                break;
            ++i;
        }
        if (i == text.size()) {
            out = text;
            return;
        }
        out.reserve(text.size() + 16);
        out.append(QStringView(text).left(i));
        for (; i < text.size(); ++i) {
            const QChar c = text.at(i);
            switch (c.unicode()) {
            case '&':
                out += QLatin1String("&amp;");
                break;
            case '<':
                out += QLatin1String("&lt;");
                break;
            case '>':
                out += QLatin1String("&gt;");
                break;
            case '\r':
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                    ++i;
                out += QLatin1String("<br>");
                break;
            case '\n':
                out += QLatin1String("<br>");
                break;
            default:
                out += c;
            }
        }
    });
    return out;
}

void initPrintPreview(WebBrowser &web)
{
    moduleProc(kModule, QStringLiteral("initPrintPreview"), [&] {
        web.Navigate(QStringLiteral("about:blank"));
        const QString size = QString::number(gPrintFontSize);
        web.write(QStringLiteral("<html><HEAD><STYLE>    ") + QStringLiteral(" table {border-collapse:collapse;}")
                  + QStringLiteral(" th {    margin:5px;    padding: 3px;    border:1px solid #336699; ")
                  + QStringLiteral("background-color:#336699;    color:#FFFFFF;   font-family: Arial;  font-size: ")
                  + size + QStringLiteral("pt;    font-weight:bold; } ")
                  + QStringLiteral(" td {    margin:5px;    padding: 3px;    border:1px solid #336699; ")
                  + QStringLiteral("background-color:#FFFFFF;    color:#000000;    font-family: Arial; font-size: ")
                  + size + QStringLiteral("pt; }        ") + QStringLiteral(" fontDettaglio { font-size: ") + size
                  + QStringLiteral("pt;  font-family: Arial; font-color: black; } ")
                  + QStringLiteral("</STYLE></HEAD><body>"));
    });
}

void printWebTitle(WebBrowser &web)
{
    moduleProc(kModule, QStringLiteral("printWebTitle"), [&] {
        const QString heading = getSetting(QStringLiteral("INTESTAZ"));
        if (isEnglish())
            web.write(kBigLine + QStringLiteral("Socivant") + kEndLine);
        else
            web.write(kBigLine + formattaPerStampa(heading) + kEndLine);
    });
}

void printWebSubtitle(WebBrowser &web, const QString &text)
{
    // The heading and a member's name come from the register: text, never markup.
    moduleProc(kModule, QStringLiteral("printWebSubtitle"),
               [&] { web.write(kBigLine + formattaPerStampa(text) + kEndLine); });
}

void printWebGrid(FlexGrid &grid, WebBrowser &web)
{
    moduleProc(kModule, QStringLiteral("printWebGrid"), [&] {
        // A long list is written straight from the grid's UTF-8 into the
        // document, each cell escaped as formattaPerStampa would: the same
        // text, without a copy per cell.
        web.write(QStringLiteral("<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\">"));
        PieceWriter out(web);
        // The columns printed, found at the first cell: the skip list is read
        // once, and a long grid does not ask each cell's column again.
        std::optional<QVector<int>> printed;
        const int rows = grid.Rows();
        const int cols = grid.Cols();
        for (int r = 0; r < rows; ++r) {
            out.put("<tr>");
            if (cols > 0 && !printed) {
                const QVector<int> skip = skippedColumns();
                printed.emplace();
                for (int c = 0; c < cols; ++c) {
                    if (grid.ColWidth(c) != 0 && !skip.contains(c))
                        printed->append(c);
                }
                out.finish();
                web.reserve(expectedSize(grid, *printed));
            }
            if (printed) {
                for (int c : *printed) {
                    if (r == 0)
                        out.put("<th>");
                    else
                        out.put("<td>");
                    writeCell(out, grid, r, c);
                    if (r == 0)
                        out.put("</th>");
                    else
                        out.put("</td>");
                }
            }
            out.put("</tr>");
        }
        out.finish();
        web.write(QStringLiteral("</table>"));
    });
}

void printString(const QString &text, WebBrowser &web)
{
    moduleProc(kModule, QStringLiteral("printString"), [&] { web.write(text); });
}

void endPrintPreview(WebBrowser &web)
{
    moduleProc(kModule, QStringLiteral("endPrintPreview"), [&] {
        web.write(QStringLiteral("</body></html>"));
        web.close();
    });
}

void goPrintPreview(WebBrowser &web)
{
    moduleProc(kModule, QStringLiteral("goPrintPreview"), [&] { web.ExecWB(7, 0); });
}

void printThisForm(Form &form, WebBrowser &web)
{
    moduleProc(kModule, QStringLiteral("printThisForm"), [&] {
        initPrintPreview(web);
        if (form.objectName() == QLatin1String("frmEditPagamenti")) {
            printWebTitle(web);
            printWebSubtitle(web, QStringLiteral("Ricevuta di pagamento"));
        }
        if (form.objectName() == QLatin1String("frmEditAnagrafica")) {
            printWebTitle(web);
            printWebSubtitle(web, QStringLiteral("Scheda del socio"));
        }
        web.write(QStringLiteral("<table>"));
        const QList<QWidget *> controls = form.controls();
        for (QWidget *w : controls) {
            if (!isVisibleControl(w))
                continue;
            web.write(QStringLiteral("<tr>"));
            switch (kindOf(w)) {
            case ControlKind::TextBox:
                writeLabelCells(controls, w, web);
                web.write(QStringLiteral("<td>") + formattaPerStampa(static_cast<QLineEdit *>(w)->text())
                          + QStringLiteral("</td>"));
                break;
            case ControlKind::DatePicker:
                writeLabelCells(controls, w, web);
                web.write(QStringLiteral("<td>") + formattaPerStampa(static_cast<DatePicker *>(w)->text())
                          + QStringLiteral("</td>"));
                break;
            case ControlKind::ComboBox:
                writeLabelCells(controls, w, web);
                web.write(QStringLiteral("<td>") + formattaPerStampa(static_cast<QComboBox *>(w)->currentText())
                          + QStringLiteral("</td>"));
                break;
            case ControlKind::CheckBox: {
                auto *box = static_cast<QCheckBox *>(w);
                web.write(QStringLiteral("<th>") + formattaPerStampa(caption(box)) + QStringLiteral("</th>"));
                const int v = checkValue(box);
                if (v == 0)
                    web.write(QStringLiteral("<td>") + QStringLiteral("No") + QStringLiteral("</td>"));
                else if (v == 1 || v == 2)
                    web.write(QStringLiteral("<td>") + QStringLiteral("S\u00EC") + QStringLiteral("</td>"));
                break;
            }
            default:
                break;
            }
            web.write(QStringLiteral("</tr>"));
        }
        web.write(QStringLiteral("</table>"));
        endPrintPreview(web);
        goPrintPreview(web);
    });
}
