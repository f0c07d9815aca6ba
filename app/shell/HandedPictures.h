#pragma once

#include <QObject>

#include <string>
#include <vector>

namespace gustara {

class TFormMain;
class TFormStatus;

// Pictures that later launches of the program handed over, taken by the main window as one
// drop as soon as it is free: at once when it is idle; when a running batch ends, if it failed
// no picture (the progress window then shows the next batch); after the user has closed the
// progress window when a picture failed, so that the failure stays in view. Never while a
// modal box is open. Everything here runs on the user-interface thread.
class HandedPictures : public QObject {
public:
    // Watches `window`; both windows must outlive this object.
    HandedPictures(TFormMain& window, TFormStatus& status);

    // Adds `paths` (bytes) after those still waiting and brings the window to the front; they
    // are taken from the event loop, never inside this call.
    void Add(std::vector<std::string> paths);

protected:
    // The window enabled again (the progress window closed) or activated (a modal box closed).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TryDeliver();

    TFormMain& Window;
    TFormStatus& Status;
    std::vector<std::string> Waiting;
};

} // namespace gustara
