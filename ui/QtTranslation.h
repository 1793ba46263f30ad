#pragma once

class QCoreApplication;

namespace kx::ui {

// Qt's own texts (message box buttons, the edits' context menu, the print,
// page setup and file dialogs) in Russian, from Qt's translation qtbase_ru:
// beside the program (translations/, as the Windows package ships it) or in
// Qt's installed translations. Without it the program runs with Qt's English
// texts; returns whether it was loaded.
[[nodiscard]] bool installQtTranslation(QCoreApplication &app);

} // namespace kx::ui
