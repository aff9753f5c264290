#include "PrintPreviewDialog.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <climits>
#include <cmath>
#include <map>

namespace detail {
PreviewPrinter::PreviewPrinter(const QByteArray &html) : m_pages(html)
{
    const qreal room = m_printer.pageLayout().paintRectPixels(m_printer.resolution()).width();
    if (m_pages.neededWidth(m_printer) > room)
        m_printer.setPageOrientation(QPageLayout::Landscape);
}

// The pages one under the other, each drawn when it comes into view from
// the layout of the printer's pages: nothing is kept of a page out of view.
class PageView : public QWidget {
public:
    explicit PageView(PrintPreviewDialog *dialog) : QWidget(dialog), m_dialog(dialog)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    enum class Fit { Width, Page, None };
    Fit fit = Fit::Width;
    qreal zoom = 0.2; // widget pixels to a printer pixel

    static constexpr int kGap = 10;

    QRect paper() const
    {
        const QPrinter &p = m_dialog->m_printer;
        return p.pageLayout().fullRectPixels(p.resolution());
    }
    QRect printable() const
    {
        const QPrinter &p = m_dialog->m_printer;
        return p.pageLayout().paintRectPixels(p.resolution());
    }
    QSize pageSize() const
    {
        return QSize(std::max(1, int(std::lround(paper().width() * zoom))),
                     std::max(1, int(std::lround(paper().height() * zoom))));
    }
    // The pages shown: those laid out, and while the layout goes on an
    // estimate of the rest, so the scroll bar is about right from the start.
    int shownPages() const
    {
        const PrintPages &pages = m_dialog->m_pages;
        if (pages.complete())
            return std::max(1, pages.pageCount());
        const double done = std::max(pages.laidOut(), 1e-3);
        return std::max(pages.pageCount(), int(std::ceil(pages.pageCount() / done)));
    }
    int pageTop(int page) const { return kGap + page * (pageSize().height() + kGap); }
    int pageAt(int y) const { return std::clamp((y - kGap / 2) / (pageSize().height() + kGap), 0, shownPages() - 1); }

    void refit(const QSize &viewport)
    {
        const QRect r = paper();
        if (fit == Fit::Width)
            zoom = qreal(viewport.width() - 2 * kGap) / r.width();
        else if (fit == Fit::Page)
            zoom = std::min(qreal(viewport.width() - 2 * kGap) / r.width(),
                            qreal(viewport.height() - 2 * kGap) / r.height());
        zoom = std::clamp(zoom, 0.01, 2.0);
        resizeToPages(viewport);
    }
    void resizeToPages(const QSize &viewport)
    {
        const QSize s = pageSize();
        resize(std::max(viewport.width(), s.width() + 2 * kGap), pageTop(shownPages()));
        m_cache.clear();
        update();
    }
    void dropCache() { m_cache.clear(); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter p(this);
        p.fillRect(event->rect(), palette().color(QPalette::Dark));
        const QSize s = pageSize();
        const int left = std::max(kGap, (width() - s.width()) / 2);
        const PrintPages &pages = m_dialog->m_pages;
        const int first = pageAt(event->rect().top());
        const int last = pageAt(event->rect().bottom());
        std::map<int, QImage> kept;
        for (int i = first; i <= last; ++i) {
            const QRect r(QPoint(left, pageTop(i)), s);
            p.fillRect(r.translated(3, 3), Qt::black);
            if (i < pages.pagesReady()) {
                auto it = m_cache.find(i);
                QImage img = it != m_cache.end() ? it->second : render(i, s);
                p.drawImage(r.topLeft(), img);
                kept.emplace(i, img);
            } else {
                // Not laid out yet: the layout goes on in the background.
                p.fillRect(r, Qt::white);
                p.setPen(Qt::gray);
                p.drawText(r, Qt::AlignCenter, QString::number(i + 1));
                m_dialog->m_wanted = std::max(m_dialog->m_wanted, i + 1);
            }
        }
        m_cache.swap(kept);
    }

private:
    QImage render(int page, const QSize &s) const
    {
        // The image has the printer's resolution, so the fonts (sized in
        // points) take the room they take on paper, and is scaled down to
        // the size shown.
        const QPrinter &pr = m_dialog->m_printer;
        QImage img(s, QImage::Format_RGB32);
        const qreal k = qreal(s.width()) / paper().width();
        const int dpm = int(std::lround(pr.resolution() / 0.0254));
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(k, k);
        p.translate(printable().topLeft() - paper().topLeft());
        m_dialog->m_pages.paintPage(p, page);
        return img;
    }

    PrintPreviewDialog *m_dialog;
    std::map<int, QImage> m_cache; // the pages in view, by number
};
} // namespace detail

namespace {
// The tool bar's words and icons are those Qt's own preview uses, so its
// translations apply.
QString previewText(const char *text)
{
    return QCoreApplication::translate("QPrintPreviewDialog", text);
}

QIcon previewIcon(const char *name)
{
    // The desktop theme names the two fits "zoom-fit-..."; Qt's own images
    // are "fit-...". An action with neither shows its words instead.
    const QString theme = qstrncmp(name, "fit-", 4) == 0 ? QStringLiteral("zoom-") + QLatin1String(name)
                                                          : QString::fromLatin1(name);
    QIcon icon = QIcon::fromTheme(theme);
    if (!icon.isNull())
        return icon;
    const QString prefix = QStringLiteral(":/qt-project.org/dialogs/qprintpreviewdialog/images/") + QLatin1String(name);
    for (int size : {24, 32}) {
        const QString file = prefix + QStringLiteral("-%1.png").arg(size);
        if (QFile::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

QString preparingText()
{
    // Through the application's translators: the Italian edition has words for it.
    return QCoreApplication::translate("PrintPreviewDialog", "Preparing the pages...");
}
} // namespace

PrintPreviewDialog::PrintPreviewDialog(const QString &html, QWidget *parent)
    : PrintPreviewDialog(html.toUtf8(), parent)
{
}

PrintPreviewDialog::PrintPreviewDialog(const QByteArray &html, QWidget *parent)
    : detail::PreviewPrinter(html), QDialog(parent), m_view(new detail::PageView(this)),
      m_scroll(new QScrollArea(this)), m_pageEdit(new QLineEdit(this)), m_pageTotal(new QLabel(this)),
      m_status(new QLabel(this)), m_background(new QTimer(this))
{
    setWindowTitle(QApplication::applicationName());
    auto *bar = new QToolBar(this);
    bar->setIconSize(QSize(24, 24));
    auto add = [&](const char *icon, const char *text, auto slot) {
        QAction *a = bar->addAction(previewIcon(icon), previewText(text));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add("fit-width", "Fit width", [this] {
        m_view->fit = detail::PageView::Fit::Width;
        m_view->refit(m_scroll->viewport()->size());
    });
    add("fit-page", "Fit page", [this] {
        m_view->fit = detail::PageView::Fit::Page;
        m_view->refit(m_scroll->viewport()->size());
    });
    add("zoom-in", "Zoom in", [this] {
        m_view->fit = detail::PageView::Fit::None;
        m_view->zoom = std::min(2.0, m_view->zoom * 1.25);
        m_view->resizeToPages(m_scroll->viewport()->size());
    });
    add("zoom-out", "Zoom out", [this] {
        m_view->fit = detail::PageView::Fit::None;
        m_view->zoom = std::max(0.01, m_view->zoom / 1.25);
        m_view->resizeToPages(m_scroll->viewport()->size());
    });
    bar->addSeparator();
    add("layout-portrait", "Portrait", [this] { setOrientation(QPageLayout::Portrait); });
    add("layout-landscape", "Landscape", [this] { setOrientation(QPageLayout::Landscape); });
    bar->addSeparator();
    add("go-first", "First page", [this] { showPage(0); });
    add("go-previous", "Previous page",
        [this] { showPage(m_view->pageAt(m_scroll->verticalScrollBar()->value()) - 1); });
    m_pageEdit->setValidator(new QIntValidator(1, 1000000000, m_pageEdit));
    m_pageEdit->setAlignment(Qt::AlignRight);
    m_pageEdit->setMaximumWidth(70);
    bar->addWidget(m_pageEdit);
    bar->addWidget(m_pageTotal);
    connect(m_pageEdit, &QLineEdit::editingFinished, this, [this] { showPage(m_pageEdit->text().toInt() - 1); });
    add("go-next", "Next page", [this] { showPage(m_view->pageAt(m_scroll->verticalScrollBar()->value()) + 1); });
    add("go-last", "Last page", [this] { showPage(m_view->shownPages() - 1); });
    bar->addSeparator();
    add("page-setup", "Page setup", &PrintPreviewDialog::pageSetup);
    add("print", "Print", &PrintPreviewDialog::print);
    bar->addSeparator();
    bar->addWidget(m_status);

    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignHCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->viewport()->installEventFilter(this);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::valueChanged, this, &PrintPreviewDialog::updateStatus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_scroll);

    m_background->setInterval(0);
    connect(m_background, &QTimer::timeout, this, &PrintPreviewDialog::layOutMore);
    resize(900, 700);
}

PrintPreviewDialog::~PrintPreviewDialog() = default;

bool PrintPreviewDialog::prepare()
{
    const QSizeF page = m_printer.pageLayout().paintRectPixels(m_printer.resolution()).size();
    m_prepared = withProgress(
        [&](const PrintPages::Progress &onTheWay) {
            return m_pages.begin(m_printer, page, onTheWay) && m_pages.layoutPages(1, onTheWay);
        },
        preparingText());
    if (m_prepared && !m_pages.complete())
        m_background->start();
    updateStatus();
    return m_prepared;
}

bool PrintPreviewDialog::prepareAll()
{
    if (!m_prepared && !prepare())
        return false;
    const bool done = m_pages.complete()
        || withProgress([&](const PrintPages::Progress &p) { return m_pages.layoutPages(INT_MAX, p); },
                        preparingText());
    updateStatus();
    return done;
}

int PrintPreviewDialog::pageCount() const
{
    return m_pages.pageCount();
}

void PrintPreviewDialog::setVisible(bool visible)
{
    if (visible && !m_prepared && !prepare())
        return;
    QDialog::setVisible(visible);
    if (visible)
        m_view->refit(m_scroll->viewport()->size());
}

bool PrintPreviewDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize
        && m_view->fit != detail::PageView::Fit::None)
        m_view->refit(m_scroll->viewport()->size());
    return QDialog::eventFilter(watched, event);
}

void PrintPreviewDialog::layOutMore()
{
    const int before = m_view->shownPages();
    const int ready = m_pages.pagesReady();
    // A page asked for is reached at once; the rest in slices that leave
    // the window answering.
    if (m_wanted > ready)
        m_pages.layoutPages(m_wanted);
    else
        m_pages.layoutFor(25);
    if (m_pages.complete())
        m_background->stop();
    if (m_view->shownPages() != before)
        m_view->resizeToPages(m_scroll->viewport()->size());
    else if (m_pages.pagesReady() != ready)
        m_view->update();
    updateStatus();
}

void PrintPreviewDialog::updateStatus()
{
    const int current = m_view->pageAt(m_scroll->verticalScrollBar()->value() + m_scroll->viewport()->height() / 3);
    if (!m_pageEdit->hasFocus())
        m_pageEdit->setText(QString::number(current + 1));
    m_pageTotal->setText(QStringLiteral(" / %1 ").arg(m_view->shownPages()));
    if (m_pages.complete())
        m_status->clear();
    else
        m_status->setText(preparingText() + QStringLiteral(" %1%").arg(int(m_pages.laidOut() * 100)));
}

void PrintPreviewDialog::showPage(int page)
{
    page = std::clamp(page, 0, m_view->shownPages() - 1);
    m_wanted = std::max(m_wanted, page + 1);
    if (page >= m_pages.pagesReady() && !m_pages.complete()) {
        // Far ahead of the layout: lay out up to it now, under the progress.
        withProgress([&](const PrintPages::Progress &p) { return m_pages.layoutPages(page + 1, p); }, preparingText());
        m_view->resizeToPages(m_scroll->viewport()->size());
        page = std::min(page, m_view->shownPages() - 1);
    }
    m_scroll->verticalScrollBar()->setValue(m_view->pageTop(page) - detail::PageView::kGap / 2);
    updateStatus();
}

void PrintPreviewDialog::relayout()
{
    m_background->stop();
    m_wanted = 0;
    m_prepared = false;
    m_view->dropCache();
    if (prepare())
        m_view->refit(m_scroll->viewport()->size());
}

void PrintPreviewDialog::setOrientation(QPageLayout::Orientation o)
{
    if (m_printer.pageLayout().orientation() == o)
        return;
    m_printer.setPageOrientation(o);
    relayout();
}

void PrintPreviewDialog::pageSetup()
{
    QPageSetupDialog dlg(&m_printer, this);
    if (dlg.exec() == QDialog::Accepted)
        relayout();
}

void PrintPreviewDialog::print()
{
    const QPageLayout before = m_printer.pageLayout();
    QPrintDialog dlg(&m_printer, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    if (!before.isEquivalentTo(m_printer.pageLayout()))
        relayout();
    if (printAll())
        accept();
}

bool PrintPreviewDialog::printAll()
{
    if (!prepareAll())
        return false;
    const bool done = withProgress(
        [&](const PrintPages::Progress &onTheWay) {
            QPainter painter(&m_printer);
            return m_pages.paint(painter, m_printer, onTheWay);
        },
        preparingText());
    if (!done)
        m_printer.abort();
    return done;
}

bool PrintPreviewDialog::withProgress(const std::function<bool(const PrintPages::Progress &)> &work,
                                      const QString &text)
{
    QProgressDialog progress(text, QCoreApplication::translate("QProgressDialog", "Cancel"), 0, 1000,
                             isVisible() ? this : parentWidget());
    progress.setWindowTitle(QApplication::applicationName());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(1000);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    // The layout in the background waits meanwhile: the progress lets
    // events through, and the work is the same layout.
    const bool background = m_background->isActive();
    m_background->stop();
    const bool done = work([&](double done) {
        progress.setValue(std::clamp(int(done * 1000), 1, 999));
        return !progress.wasCanceled();
    });
    if (background && !m_pages.complete())
        m_background->start();
    return done;
}
