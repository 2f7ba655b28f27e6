#pragma once
// A key pressed and released on a widget, as the keyboard would.

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

inline void Nacisnij(QWidget* w, int klawisz, Qt::KeyboardModifiers mod = Qt::NoModifier) {
    const QString tekst = klawisz == Qt::Key_Space ? QStringLiteral(" ") : QString();
    QKeyEvent wcisniety(QEvent::KeyPress, klawisz, mod, tekst);
    QApplication::sendEvent(w, &wcisniety);
    QKeyEvent puszczony(QEvent::KeyRelease, klawisz, mod, tekst);
    QApplication::sendEvent(w, &puszczony);
}
