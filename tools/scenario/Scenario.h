// Running one scenario: the real system against the in-memory world, driven by steps.
//
// Input and output are described in the project's design notes; in short, the input sets up
// files, the Finder and the steps, and the output reports the menus seen at each opening, the
// events in order, and the files afterwards.
#pragma once

#include <QDir>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <variant>

namespace scenario {

struct Malformed {
    QString error;
};

struct RunOptions {
    // After the run, the world's root, home and temporary-items folders are copied, links and
    // attributes kept, to root/, home/ and temp/ in this folder, for tools outside the driver to
    // look at. None of the three may exist there yet.
    std::optional<QString> keep;
};

// The report of the run, or why the scenario could not be run.
std::variant<QJsonObject, Malformed> RunScenario(const QJsonObject& input, const QDir& scenarioDir,
                                                 const RunOptions& options = {});

} // namespace scenario
