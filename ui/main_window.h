#pragma once

#include "form_presenter.h"
#include "qt_window_placement.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;

namespace pelmora {

// The program's only window: a prompt, the entry field and the verdict line,
// with the File, Mode and Help menus. It hands each event to the presenter
// and shows and announces what the presenter tells it. A new window stands
// centred on the primary screen.
class Form1 : public QMainWindow, private FormView {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    FormPresenter& Presenter() { return presenter_; }
    const CheckerState& State() const { return presenter_.State(); }
    WindowPlacement& Placement() { return placement_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void CreateMenus();

    void ShowPrompt(const std::string& text) override;
    void ShowEntry(const std::string& text) override;
    void ShowVerdict(const std::string& text) override;
    void ShowMarks(bool vat, bool card) override;
    void AnnouncePrompt() override;
    void AnnounceVerdict() override;
    void ShowAbout(const std::string& title, const std::string& text) override;

    FormPresenter presenter_{*this};
    QtWindowPlacement placement_{*this};

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
