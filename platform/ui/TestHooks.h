#pragma once
// Test hooks: tests never block. Message boxes take scripted answers and are recorded;
// ShowModal() runs a scripted handler instead of the event loop.

#include <QList>
#include <QString>
#include <functional>

namespace ui {

class Window;

namespace test {

struct ShownMessage {
    QString text;
    QString caption;
    int flags = 0;
};

// Turns the hooks on (message boxes and modal windows no longer block) and clears the records.
void enable();
void disable();
bool enabled();

// Answers for the next message boxes, in order; when they run out: IDOK for flags 0/1,
// IDYES for 4/36.
void scriptAnswers(const QList<int>& answers);
const QList<ShownMessage>& messages();  // every box shown since enable()/clearMessages()
void clearMessages();

// Called by ShowModal() while the hooks are on, with the window shown and FormActivate done;
// it may click, type, and must end by calling w->Close() (or leave it: the window is closed
// afterwards). No handler: the window is closed at once.
void setModalHandler(std::function<void(Window* w)> handler);
// A handler for one window class name (metaObject()->className()), taking precedence.
void setModalHandlerFor(const QString& className, std::function<void(Window* w)> handler);
void clearModalHandlers();
QList<QString>& shownWindows();  // class names of windows shown modally, in order

}  // namespace test
}  // namespace ui
