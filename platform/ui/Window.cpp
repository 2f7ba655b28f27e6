#include "platform/ui/Window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>
#include <exception>

#include "platform/ui/TestHooks.h"
#include "platform/ui/TestHooksInternal.h"

namespace ui {

namespace {
// Windows shown modally, innermost last: when one closes, the one under it is active again.
QList<Window*>& modalStack() {
    static QList<Window*> s;
    return s;
}
}  // namespace

void makeButtonsNonDefault(QWidget* root) {
    if (!root) return;
    const auto buttons = root->findChildren<QPushButton*>();
    for (QPushButton* b : buttons) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    if (auto* b = qobject_cast<QPushButton*>(root)) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

namespace {
// A window's frame margins, with room for a title bar while the real frame is not known yet.
QMargins marginesyRamki(const QWidget* w) {
    QMargins m = w->windowHandle() ? w->windowHandle()->frameMargins() : QMargins();
    m.setTop(qMax(m.top(), kTitleBarHeight));
    return m;
}
}  // namespace

void keepOnScreen(QWidget* w) {
    if (!w) return;
    QScreen* ekran = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!ekran) return;
    const QRect obszar = ekran->availableGeometry();
    QRect r(w->pos(), w->size().grownBy(marginesyRamki(w)));
    if (obszar.contains(r)) return;
    if (r.width() > obszar.width() || r.height() > obszar.height()) {
        const QMargins m = marginesyRamki(w);
        w->resize(qMin(w->width(), obszar.width() - m.left() - m.right()),
                  qMin(w->height(), obszar.height() - m.top() - m.bottom()));
        r.setSize(w->size().grownBy(m));
    }
    r.moveLeft(qMax(obszar.left(), qMin(r.left(), obszar.right() - r.width() + 1)));
    r.moveTop(qMax(obszar.top(), qMin(r.top(), obszar.bottom() - r.height() + 1)));
    w->move(r.topLeft());
}

void fitToScreen(QWidget* w, const QWidget* opener) {
    if (!w) return;
    QScreen* ekran = opener && opener->screen() ? opener->screen() : w->screen();
    if (!ekran) ekran = QGuiApplication::primaryScreen();
    if (!ekran) return;
    const QRect obszar = ekran->availableGeometry();
    const QMargins ramka = marginesyRamki(w);
    const QSize najwiecej(obszar.width() - ramka.left() - ramka.right(),
                          obszar.height() - ramka.top() - ramka.bottom());
    if (w->width() > najwiecej.width() || w->height() > najwiecej.height())
        w->resize(qMin(w->width(), najwiecej.width()), qMin(w->height(), najwiecej.height()));

    // Positions are those of the frame (what move() takes for a window).
    QRect r(QPoint(), w->size().grownBy(ramka));
    const bool naOtwierajacym = opener && opener->isVisible() && opener != w;
    r.moveCenter(naOtwierajacym
                     ? QRect(opener->pos(), opener->size().grownBy(marginesyRamki(opener))).center()
                     : obszar.center());
    r.moveLeft(qMax(obszar.left(), qMin(r.left(), obszar.right() - r.width() + 1)));
    r.moveTop(qMax(obszar.top(), qMin(r.top(), obszar.bottom() - r.height() + 1)));
    w->move(r.topLeft());
}

namespace {
// Buttons added to a window after it was shown are caught when they are first polished.
class NoDefaultButtons : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* obj, QEvent* ev) override {
        if (ev->type() == QEvent::Polish)
            if (auto* b = qobject_cast<QPushButton*>(obj);
                b && qobject_cast<Window*>(b->window())) {
                b->setAutoDefault(false);
                b->setDefault(false);
            }
        return false;
    }
};
}  // namespace

Window::Window(QWidget* parent) : QDialog(parent) {
    static QPointer<NoDefaultButtons> filter;
    if (!filter && qApp) {
        filter = new NoDefaultButtons(qApp);
        qApp->installEventFilter(filter);
    }
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

Window::~Window() { modalStack().removeAll(this); }

void Window::setEnterButton(QAbstractButton* b) { enterButton_ = b; }

void Window::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    // A window that grows while shown (a panel appearing) stays on the screen.
    if (showing_ && !inShowEvent_ && isVisible()) keepOnScreen(this);
}

void Window::keyPressEvent(QKeyEvent* e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && enterButton_ &&
        enterButton_->isVisible() && enterButton_->isEnabled()) {
        e->accept();
        if (!e->isAutoRepeat()) enterButton_->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

int Window::ShowModal() {
    if (showing_) {
        qWarning("ui::Window::ShowModal: %s is already shown", metaObject()->className());
        return result();
    }
    // Opened from the window under it, the main window when none is.
    opener_ = !modalStack().isEmpty()
                  ? static_cast<QWidget*>(modalStack().last())
                  : (parentWidget() ? parentWidget()->window() : QApplication::activeWindow());
    modalStack().append(this);
    struct Pop {
        Window* w;
        ~Pop() {
            modalStack().removeAll(w);
            // Back from a modal child: the window under it is activated again (not while an
            // exception is on its way out).
            if (!modalStack().isEmpty() && std::uncaught_exceptions() == 0) {
                Window* top = modalStack().last();
                if (top->showing_ && !top->closing_) top->activate();
            }
        }
    } pop{this};

    setResult(0);
    if (!test::enabled()) return exec();

    std::function<void(Window*)> handler =
        test::handlerFor(QString::fromLatin1(metaObject()->className()));
    QPointer<Window> guard(this);
    struct EnsureClosed {
        QPointer<Window>& w;
        ~EnsureClosed() {
            try {
                if (w && w->showing_) w->Close();
            } catch (...) {
                // Already leaving with an exception; the window is hidden all the same.
            }
        }
    } ensure{guard};
    setModal(true);
    show();
    if (closePending_) {
        closePending_ = false;
        Close();
    } else if (showing_ && handler) {
        handler(this);
    }
    if (guard && showing_) Close();
    return guard ? result() : 0;
}

void Window::Close() { done(result()); }

void Window::activate() { FormActivate(); }

void Window::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous() || showing_) return;
    makeButtonsNonDefault(this);
    showing_ = true;
    closing_ = false;
    closePending_ = false;
    const quint64 serial = ++showSerial_;
    inShowEvent_ = true;
    struct Reset {
        bool& f;
        ~Reset() { f = false; }
    } reset{inShowEvent_};
    FormActivate();
    inShowEvent_ = false;
    // After the activation, which may have shown panels and set the size for this showing.
    fitToScreen(this, opener_ ? opener_.data() : parentWidget());
    if (closePending_ && !test::enabled()) {
        // Asked to close while being shown: do it once the modal loop runs.
        closePending_ = false;
        QTimer::singleShot(0, this, [this, serial] {
            if (showing_ && showSerial_ == serial) Close();
        });
    }
}

void Window::closeEvent(QCloseEvent* e) {
    // The title bar's close box: QDialog turns it into reject(), i.e. the one close path.
    closeBox_ = true;
    struct Reset {
        bool& b;
        ~Reset() { b = false; }
    } reset{closeBox_};
    QDialog::closeEvent(e);
    if (isVisible()) e->ignore();  // the window said no
}

void Window::reject() {
    if (!closing_ && showing_ && !FormCloseQuery(closeBox_)) return;
    done(QDialog::Rejected);
}

void Window::done(int r) {
    if (inShowEvent_) {
        closePending_ = true;
        setResult(r);
        return;
    }
    if (closing_) {  // already on the way out (e.g. FormClose calling Close())
        setResult(r);
        return;
    }
    try {
        runClosePath();
    } catch (...) {
        QDialog::done(r);  // a failing FormClose still ends the showing
        throw;
    }
    QDialog::done(r);
}

void Window::runClosePath() {
    if (!showing_) return;
    closing_ = true;
    struct Reset {
        Window* w;
        ~Reset() {
            w->closing_ = false;
            w->showing_ = false;
        }
    } reset{this};
    FormClose();
}

}  // namespace ui
