// Key-to-verdict latency: from a Return key event delivered to the entry
// field until the verdict line has been repainted with the verdict.
#include "program.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return false;
    }
};

void Press(QWidget* target, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    pelmora::Program program;
    pelmora::Form1& form = program.Window();
    form.Presenter().Choose(pelmora::Command::ModeVat);
    form.show();
    QApplication::processEvents();

    auto* text1 = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* label2 = form.findChild<QLabel*>(QStringLiteral("Label2"));
    PaintWatch watch;
    label2->installEventFilter(&watch);
    text1->setText(QStringLiteral("GB 123 4567 8"));

    constexpr int kPresses = 10000;
    std::vector<double> micros;
    micros.reserve(kPresses);
    for (int i = 0; i < kPresses; ++i) {
        // Alternate the last digit, which also clears the previous verdict.
        Press(text1, Qt::Key_Backspace, QStringLiteral("\b"));
        Press(text1, Qt::Key_2, i % 2 ? QStringLiteral("2") : QStringLiteral("3"));
        QApplication::processEvents();

        watch.painted = false;
        const auto start = std::chrono::steady_clock::now();
        Press(text1, Qt::Key_Return, QStringLiteral("\r"));
        while (!watch.painted) QApplication::processEvents();
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("key-to-verdict over %d presses (%s): median %.1f us, p99 %.1f us, max %.1f us\n", kPresses,
                qPrintable(QGuiApplication::platformName()), micros[micros.size() / 2],
                micros[micros.size() * 99 / 100], micros.back());
    return 0;
}
