// What each scriptable application understands: its statements, written as patterns, and the
// command each one sends.
//
// A pattern is written as script text; "%v" stands for one value (a string, a number, a
// variable, a list or a parenthesised expression), which is evaluated and passed to the
// command in order. Words match without regard to case.
#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <vector>

struct DictionaryEntry {
    const char* pattern;
    QLatin1String command;
};

// The applications the dialect knows, by name.
QStringList DictionaryApplications();

// The entries of the application of that name; empty for one the dialect does not know.
const std::vector<DictionaryEntry>& DictionaryForApplication(const QString& name);
