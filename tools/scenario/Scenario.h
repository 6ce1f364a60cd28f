// Running one scenario: the real system against the in-memory world, driven by steps.
//
// Input and output are described in the project's design notes; in short, the input sets up
// files, the Finder and the steps, and the output reports the menus seen at each opening, the
// events in order, and the files afterwards.
#pragma once

#include <QDir>
#include <QJsonObject>
#include <QString>
#include <variant>

namespace scenario {

struct Malformed {
    QString error;
};

// The report of the run, or why the scenario could not be run.
std::variant<QJsonObject, Malformed> RunScenario(const QJsonObject& input, const QDir& scenarioDir);

} // namespace scenario
