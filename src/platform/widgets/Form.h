#pragma once
#include "PlatformCodes.h"
#include "RunState.h"

#include <QCoreApplication>
#include <QDialog>
#include <QList>
#include <QPointer>
#include <memory>

// A window of the system: a dialog whose controls carry their names as
// objectName, with the events the windows are written against (Load,
// Activate, Resize, Unload) and modal showing through the People seam.
class Form : public QDialog {
    Q_OBJECT
public:
    explicit Form(const QString &name, QWidget *parent = nullptr);
    ~Form() override;

    bool isLoaded() const { return m_loaded; }
    // Unloading, unloaded or released: nothing new may open over it, since
    // whatever it owns goes with it.
    bool isClosing() const { return !m_loaded || m_unloading || m_released; }
    // Marks the window released and deletes it once control returns to an
    // event loop.
    void release();
    // Runs Form_Load unless the window is loaded already.
    void load();
    // Runs Form_Unload, hides the window and ends its modal run.
    void unload();
    // Loads the window, runs it modally and returns once it is unloaded; the
    // window that opened it is then activated again.
    void showModal();

    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload() {}

    // The window's controls in their order: every named widget inside it.
    QList<QWidget *> controls() const;
    QWidget *control(const QString &name) const;

    // Position and size in twips (15 per pixel).
    int twipsLeft() const;
    int twipsTop() const;
    int twipsWidth() const;
    int twipsHeight() const;
    void setTwipsLeft(int t);
    void setTwipsTop(int t);
    void setTwipsWidth(int t);
    void setTwipsHeight(int t);
    int scaleWidthTwips() const;
    int scaleHeightTwips() const;

    // The form shown modally last that is still running, or the main window.
    static Form *activeForm();
    // The window activated again when the last modal window closes.
    static void setMainForm(Form *f);

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void reject() override; // Escape closes through unload as well

private:
    // What the window's controls hold as the window was built: every opening
    // starts from it, whatever the last one typed, ticked, hid or translated.
    struct DesignState;
    void restoreDesign();
    std::unique_ptr<DesignState> m_design;
    bool m_loaded = false;
    bool m_unloading = false;
    bool m_released = false;
};

// One process-wide instance per window class, made on first use and owned
// here: released by the window's close command and at a new run (deleted
// once its own events are done), and deleted at the latest while the
// application is being destroyed, the main window included.
template <class T>
class Instance {
public:
    static T *get()
    {
        if (!owner()) {
            static const bool registered = (onResetRunState([] { release(); }), qAddPostRoutine(destroy), true);
            (void)registered;
            owner() = std::make_unique<T>();
        }
        return owner().get();
    }
    static bool exists() { return owner() != nullptr; }
    static void release()
    {
        // The window may be releasing itself from one of its own handlers:
        // the event loop deletes it when that returns.
        if (T *w = owner().release())
            w->Form::release();
    }

private:
    static void destroy() { owner().reset(); }
    static std::unique_ptr<T> &owner()
    {
        static std::unique_ptr<T> p;
        return p;
    }
};
