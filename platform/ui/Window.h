#pragma once
// Window base: every window is created once and shown modally; the caller hands over its mode
// through Tag (or named members) and reads the result back when ShowModal() returns.

#include <QDialog>
#include <functional>

namespace ui {

class Window : public QDialog {
    Q_OBJECT
public:
    explicit Window(QWidget* parent = nullptr);

    int Tag = 0;

    // Shows the window modally and returns when it closes. Under a test hook (see TestHooks.h)
    // the hook runs instead of the event loop, with the window shown and activated.
    int ShowModal();
    // Closes through the one close path (FormClose runs exactly once per showing).
    void Close();
    bool isShowing() const { return showing_; }

protected:
    // Runs every time the window is shown (after it is visible).
    virtual void FormActivate() {}
    // Runs once for every way out: a button calling Close(), Esc, the title bar's close box.
    virtual void FormClose() {}

    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;
    void done(int r) override;

private:
    void runClosePath();
    bool showing_ = false;
    bool closing_ = false;
};

}  // namespace ui
