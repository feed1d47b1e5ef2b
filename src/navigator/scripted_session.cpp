#include "navigator/scripted_session.h"

namespace navtab::navigator {

void AnswerMenu(Navigator& nav, const std::vector<int>& presses, std::size_t& next) {
    if (next < presses.size()) {
        nav.selectButton(presses[next++]);
        // A button with auto action has run on its selection.
        if (nav.status() == Status::Menu) nav.activateButton();
    } else {
        nav.activateButton();
    }
}

long RunScript(Navigator& nav, const Script& script,
               const std::function<void(const Event&)>& sink) {
    long cells = 0;
    std::size_t press = 0;
    auto drain = [&] {
        for (const Event& e : nav.takeEvents()) {
            if (e.kind == EventKind::Cell) ++cells;
            sink(e);
        }
    };
    if (script.title > 0 || script.menu != 0)
        nav.startAndSettle();
    else
        nav.start();
    if (script.title > 0 && nav.playPart(script.title, script.chapter) != UopResult::Done) {
        drain();
        return cells;
    }
    if (script.menu != 0) nav.menuCall(script.menu);
    drain();
    while (cells < script.maxCells) {
        const Status s = nav.step();
        drain();
        if (s == Status::Stopped) break;
        if (s == Status::Still) nav.stillOff();
        if (s == Status::Menu) AnswerMenu(nav, script.presses, press);
        drain();
    }
    return cells;
}

}  // namespace navtab::navigator
