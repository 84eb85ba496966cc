#include "form_presenter.h"

#include "fakes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace pelmora;
using Log = std::vector<std::string>;

namespace {

// A window that writes down what it is told, in order, in one log with the
// store's writes and the placement's moves.
class FakeView : public FormView {
public:
    explicit FakeView(Log& log) : log_(log) {}
    void ShowPrompt(const std::string& text) override { log_.push_back("prompt " + text); }
    void ShowEntry(const std::string& text) override { log_.push_back("entry " + text); }
    void ShowVerdict(const std::string& text) override { log_.push_back("verdict " + text); }
    void ShowMarks(bool vat, bool card) override {
        log_.push_back(std::string("marks ") + (vat ? "on" : "off") + "," + (card ? "on" : "off"));
    }
    void AnnouncePrompt() override { log_.emplace_back("announce prompt"); }
    void AnnounceVerdict() override { log_.emplace_back("announce verdict"); }
    void ShowAbout(const std::string& title, const std::string& text) override {
        log_.push_back("about " + title + (text.find("\r\n") != std::string::npos ? " (lines)" : ""));
    }

private:
    Log& log_;
};

struct Form {
    explicit Form(std::initializer_list<std::pair<const std::string, std::string>> stored = {}) {
        store.values = stored;
        window.log = &store.written;
        presenter.EndProgramWith([this] { log().emplace_back("end"); });
    }
    Log& log() { return store.written; }
    // What the window was told by `act`, alone.
    Log After(const std::function<void(FormPresenter&)>& act) {
        log().clear();
        act(presenter);
        return log();
    }

    test_support::FakeStore store;
    test_support::FakePlacement window;
    FakeView view{store.written};
    FormPresenter presenter{view};
};

}  // namespace

TEST(FormPresenter, StartUpRestoresThenShowsAndAnnouncesNothing) {
    Form form({{"Window X", " 2100"}, {"Window Y", " 1500"}, {"Current mode", " 2"}});
    EXPECT_EQ(form.After([&](FormPresenter& p) { p.StartUp(form.window, form.store); }),
              (Log{"move 2100,1500", "prompt Credit card number", "entry ", "verdict ", "marks off,on"}));

    // Before any start-up: the VAT prompt and both marks; the field as it is.
    Form fresh;
    EXPECT_EQ(fresh.After([](FormPresenter& p) { p.Show(); }),
              (Log{"prompt VAT registration code", "verdict ", "marks on,on"}));

    // No mode stored: Enter judges nothing, and an empty verdict is not spoken.
    Form none({{"Current mode", "0"}});
    none.presenter.StartUp(none.window, none.store);
    none.presenter.EntryEdited("123456782");
    EXPECT_EQ(none.After([](FormPresenter& p) { p.KeyDelivered(U'\r'); }),
              (Log{"prompt VAT registration code", "verdict ", "marks on,on"}));
}

TEST(FormPresenter, EachKeyAndCommandShowsAndAnnounces) {
    const struct {
        const char* what;
        std::function<void(FormPresenter&)> act;
        Log told;
    } steps[] = {
        // What the user types is never written back into the field.
        {"the field's new text", [](FormPresenter& p) { p.EntryEdited("123456782"); }, {}},
        {"Enter",
         [](FormPresenter& p) { p.KeyDelivered(U'\r'); },
         {"prompt VAT registration code", "verdict is a valid VAT code", "marks on,off", "announce verdict"}},
        {"Enter again, the same verdict",
         [](FormPresenter& p) { p.KeyDelivered(U'\r'); },
         {"prompt VAT registration code", "verdict is a valid VAT code", "marks on,off", "announce verdict"}},
        {"Tab moves the focus and shows nothing", [](FormPresenter& p) { EXPECT_FALSE(p.KeyDelivered(U'\t')); }, {}},
        {"Delete delivers no character",
         [](FormPresenter& p) { EXPECT_TRUE(p.KeyDelivered(0x7f)); },
         {"prompt VAT registration code", "verdict is a valid VAT code", "marks on,off"}},
        {"Clear number keeps the verdict, silently",
         [](FormPresenter& p) { p.Choose(Command::ClearNumber); },
         {"prompt VAT registration code", "entry ", "verdict is a valid VAT code", "marks on,off"}},
        {"a character clears the verdict, silently",
         [](FormPresenter& p) { p.KeyDelivered(U'x'); },
         {"prompt VAT registration code", "verdict ", "marks on,off"}},
        {"F2",
         [](FormPresenter& p) { p.Choose(Command::ModeCard); },
         {"prompt Credit card number", "entry ", "verdict ", "marks off,on", "announce prompt"}},
        {"F2 again still speaks the prompt",
         [](FormPresenter& p) { p.Choose(Command::ModeCard); },
         {"prompt Credit card number", "entry ", "verdict ", "marks off,on", "announce prompt"}},
        {"About", [](FormPresenter& p) { p.Choose(Command::About); }, {"about About Dravon (lines)"}},
        {"F1",
         [](FormPresenter& p) { p.Choose(Command::ModeVat); },
         {"prompt VAT registration code", "entry ", "verdict ", "marks on,off", "announce prompt"}},
    };
    Form form;
    form.presenter.StartUp(form.window, form.store);
    for (const auto& step : steps) EXPECT_EQ(form.After(step.act), step.told) << step.what;
}

TEST(FormPresenter, EndingSavesThenEndsAndACheckpointOnlySaves) {
    Form form({{"Current mode", " 2"}});
    form.presenter.StartUp(form.window, form.store);
    form.window.topLeft = TwipPoint{4500, 3000};
    const Log saved = {"Current mode= 2", "Window X= 4500", "Window Y= 3000", "flush"};
    EXPECT_EQ(form.After([](FormPresenter& p) { p.SaveSettings(); }), saved);
    Log ended = saved;
    ended.emplace_back("end");
    EXPECT_EQ(form.After([](FormPresenter& p) { p.Choose(Command::Exit); }), ended);
    EXPECT_EQ(form.After([](FormPresenter& p) { p.EndProgram(); }), ended);

    // A window that ends before it started up has nothing to save.
    Form unstarted;
    EXPECT_EQ(unstarted.After([](FormPresenter& p) { p.EndProgram(); }), (Log{"end"}));
}
