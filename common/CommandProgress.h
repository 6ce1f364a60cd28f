// What the command at work is doing, for the menu that opens meanwhile: "Archiving “Photos”",
// "Converting 3 of 10". Set from the command's own thread or from its background work.
#pragma once

#include <QString>

void SetCommandProgress(const QString& text);
// The last text set; empty when the command at work has said nothing yet.
QString CommandProgress();
