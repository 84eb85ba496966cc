#include "form_presenter.h"

#include "about_text.h"
#include "lifecycle.h"

namespace pelmora {

void FormPresenter::StartUp(WindowPlacement& window, SettingsStore& store) {
    window_ = &window;
    store_ = &store;
    pelmora::StartUp(state_, window, store);
    Show();
}

void FormPresenter::Show() {
    view_.ShowPrompt(state_.PromptText());
    if (shownEntryReplacements_ != state_.EntryReplacements()) {
        shownEntryReplacements_ = state_.EntryReplacements();
        view_.ShowEntry(state_.EntryText());
    }
    view_.ShowVerdict(state_.ResultText());
    view_.ShowMarks(state_.VatMark(), state_.CardMark());
}

bool FormPresenter::KeyDelivered(char32_t code) {
    const KeyKind kind = state_.KeyPress(code);
    if (kind == KeyKind::Navigation) return false;
    Show();
    // Each Enter speaks the verdict, the same one again included; with no
    // mode there is none, and nothing is spoken.
    if (kind == KeyKind::Enter && !state_.ResultText().empty()) view_.AnnounceVerdict();
    return true;
}

void FormPresenter::Choose(Command command) {
    switch (command) {
        case Command::ModeVat:
        case Command::ModeCard:
            state_.SetMode(command == Command::ModeVat ? kModeVat : kModeCard);
            Show();
            // The new prompt is spoken, even when the mode did not change.
            view_.AnnouncePrompt();
            return;
        case Command::ClearNumber:
            state_.ClearNumber();
            Show();
            return;
        case Command::About:
            view_.ShowAbout(AboutTitle(), AboutText());
            return;
        case Command::Exit:
            EndProgram();
            return;
    }
}

void FormPresenter::SaveSettings() {
    if (window_ && store_) pelmora::SaveSettings(state_, *window_, *store_);
}

void FormPresenter::EndProgram() {
    SaveSettings();
    if (endAtOnce_) endAtOnce_();
}

}  // namespace pelmora
