#pragma once

#include "checker_state.h"
#include "qt_window_placement.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;

namespace pelmora {

// The program's only window: a prompt, the entry field and the verdict line,
// with the File, Mode and Help menus. Each event calls one operation of the
// checker state and then shows the state. A new window stands centred on
// the primary screen.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    CheckerState& State() { return state_; }
    const CheckerState& State() const { return state_; }
    WindowPlacement& Placement() { return placement_; }

    // Puts the checker state on the screen: prompt, entry, verdict and marks.
    void ShowState();

    // What closing the window or File > Exit runs; without one the window
    // simply closes.
    void SetShutDown(std::function<void()> shutDown) { shutDown_ = std::move(shutDown); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateMenus();
    void EndProgram();

    CheckerState state_;
    QtWindowPlacement placement_{*this};
    std::function<void()> shutDown_;
    unsigned shownEntryReplacements_ = 0;

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label2 = nullptr;

    QMenu* FileMenu = nullptr;
    QAction* FileExit = nullptr;
    QMenu* MenuMode = nullptr;
    QAction* ModeVat = nullptr;
    QAction* ModeCC = nullptr;
    QAction* none = nullptr;
    QAction* ModeClear = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* HelpAbout = nullptr;
};

}  // namespace pelmora
