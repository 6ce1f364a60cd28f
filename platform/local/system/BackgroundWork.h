// Work that takes long, done off the menu's thread: the menu and every window keep answering
// while it runs, and the caller goes on where it left off once the work is done.
//
// Each work runs on a thread of its own and must not touch widgets, alerts or the desktop's
// services: it reads and writes files, decodes, archives, fetches. The calling thread meanwhile
// runs its event loop, so a click on the tray icon still opens the menu (which then says that a
// command is at work). Without an application object, as in a command-line tool, the caller
// simply waits.
#pragma once

#include <functional>
#include <vector>

namespace platform {

void RunInBackground(const std::function<void()>& work);

// Runs the works at the same time, at most `atOnce` of them, and waits for all of them as
// above. Each work keeps to its own data; their order of completion is not theirs to rely on.
void RunAllInBackground(const std::vector<std::function<void()>>& works, int atOnce);

} // namespace platform
