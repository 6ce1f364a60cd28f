// Child processes the system starts and waits for, as a task is launched and waited on.
#pragma once

#include <QString>
#include <QStringList>

// Starts the program at `path` (used as given: no shell, no search of PATH) with `arguments`,
// waits until it exits, and gives its exit status; -1 when it could not start or did not exit
// normally. What it writes to standard error goes to Velmora's. On the application's thread the
// wait keeps the event loop running, so the menu answers meanwhile.
int RunTaskAndWait(const QString& path, const QStringList& arguments);
