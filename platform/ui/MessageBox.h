#pragma once
// The one message-box function. Captions are shown exactly as given.

#include <QString>

namespace ui {

// Flags: 0 OK; 1 OK/Cancel; 4 Yes/No; 36 Yes/No with the question icon.
enum MbFlags { MB_OK = 0, MB_OKCANCEL = 1, MB_YESNO = 4, MB_ICONQUESTION = 32 };
// Answers.
enum MbResult { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

int MessageBox(const QString& text, const QString& caption, int flags = MB_OK);

}  // namespace ui
