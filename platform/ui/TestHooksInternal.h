#pragma once
// What the ui layer itself asks of the test hooks (not for tests).

#include <QString>
#include <functional>

namespace ui {
class Window;
namespace test {
// Records a message box and returns its scripted (or default) answer.
int takeAnswer(const QString& text, const QString& caption, int flags);
// Records a modal showing of the class and returns the handler to run (may be empty).
std::function<void(Window*)> handlerFor(const QString& className);
}  // namespace test
}  // namespace ui
