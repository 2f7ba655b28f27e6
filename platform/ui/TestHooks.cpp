#include "platform/ui/TestHooks.h"

#include <QHash>

namespace ui::test {

namespace {
struct State {
    bool on = false;
    QList<int> answers;
    QList<ShownMessage> messages;
    std::function<void(Window*)> handler;
    QHash<QString, std::function<void(Window*)>> handlers;
    QList<QString> shown;
};
State& state() {
    static State s;
    return s;
}
}  // namespace

void enable() {
    State& s = state();
    s.on = true;
    s.answers.clear();
    s.messages.clear();
    s.shown.clear();
}

void disable() {
    State& s = state();
    s.on = false;
    s.answers.clear();
    s.handler = nullptr;
    s.handlers.clear();
}

bool enabled() { return state().on; }

void scriptAnswers(const QList<int>& answers) { state().answers = answers; }
const QList<ShownMessage>& messages() { return state().messages; }
void clearMessages() { state().messages.clear(); }

void setModalHandler(std::function<void(Window* w)> handler) {
    state().handler = std::move(handler);
}
void setModalHandlerFor(const QString& className, std::function<void(Window* w)> handler) {
    state().handlers.insert(className, std::move(handler));
}
void clearModalHandlers() {
    state().handler = nullptr;
    state().handlers.clear();
}
QList<QString>& shownWindows() { return state().shown; }

// Internal to the ui layer (declared in TestHooksInternal.h).
int takeAnswer(const QString& text, const QString& caption, int flags) {
    State& s = state();
    s.messages.append({text, caption, flags});
    if (!s.answers.isEmpty()) return s.answers.takeFirst();
    switch (flags & 0x0F) {
        case 1:
            return 1;  // IDOK
        case 3:
        case 4:
            return 6;  // IDYES
        default:
            return 1;  // IDOK
    }
}

std::function<void(Window*)> handlerFor(const QString& className) {
    State& s = state();
    s.shown.append(className);
    auto it = s.handlers.find(className);
    if (it != s.handlers.end()) return it.value();
    return s.handler;
}

}  // namespace ui::test
