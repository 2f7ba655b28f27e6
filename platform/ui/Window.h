#pragma once
// Window base: every window is created once and shown modally; the caller hands over its mode
// through Tag (or named members) and reads the result back when ShowModal() returns.

#include <QDialog>
#include <QPointer>
#include <functional>

class QAbstractButton;

namespace ui {

class Window : public QDialog {
    Q_OBJECT
  public:
    explicit Window(QWidget* parent = nullptr);
    ~Window() override;

    int Tag = 0;

    // Shows the window modally and returns when it closes. Under a test hook (see TestHooks.h)
    // the hook runs instead of the event loop, with the window shown and activated.
    int ShowModal();
    // Closes through the one close path (FormClose runs exactly once per showing).
    void Close();
    bool isShowing() const { return showing_; }
    // The button Enter presses wherever the focus is, unless the focused control uses Enter
    // itself (a list that picks with it, a multi-line editor). Choice windows name their OK.
    void setEnterButton(QAbstractButton* b);

  protected:
    // Runs every time the window is shown (after it is visible), and again when a modal window
    // opened over it closes and it becomes the active window once more.
    virtual void FormActivate() {}
    // Asked before Esc or the title bar's close box closes the window (never before Close()):
    // false keeps it open.
    virtual bool FormCloseQuery(bool closeBox) {
        (void)closeBox;
        return true;
    }
    // Runs once for every way out: a button calling Close(), Esc, the title bar's close box.
    virtual void FormClose() {}

    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;
    void done(int r) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    void runClosePath();
    void activate();
    bool showing_ = false;
    bool closing_ = false;
    bool inShowEvent_ = false;  // a close asked for while being shown waits for the show to end
    bool closePending_ = false;
    bool closeBox_ = false;
    quint64 showSerial_ = 0;  // tells one showing from the next
    QPointer<QAbstractButton> enterButton_;
    QPointer<QWidget> opener_;  // the window this showing was opened from
};

// Makes every push button under root neither default nor auto-default, so that Enter in an
// edit never presses a button. Windows do it for their buttons whenever they are shown.
void makeButtonsNonDefault(QWidget* root);

// The height a window manager's title bar is assumed to take while the real frame is unknown.
inline constexpr int kTitleBarHeight = 30;

// Shrinks the top-level window w, frame and title bar included, into the available area of its
// screen (without the task bar), as far as its minimum size lets it, and centres it on `opener`
// (on the screen's area when there is none), kept inside the area.
void fitToScreen(QWidget* w, const QWidget* opener = nullptr);
// Moves (and if need be shrinks) a shown window back inside that area, where it stands otherwise.
void keepOnScreen(QWidget* w);

}  // namespace ui
