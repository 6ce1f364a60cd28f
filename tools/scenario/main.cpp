// velmora-scenario [--keep DIR] SCENARIO.json: runs the system against the in-memory world and
// prints what happened as JSON. Exit status 0 when the scenario ran, 2 when it is malformed. With
// --keep, the world's folders are left in DIR/root, DIR/home and DIR/temp.
#include "tools/scenario/Scenario.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <cstdio>

namespace {

int fail(const QString& error) {
    const QJsonDocument report(QJsonObject{{QStringLiteral("error"), error}});
    std::fputs(report.toJson(QJsonDocument::Indented).constData(), stdout);
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    scenario::RunOptions options;
    if (arguments.size() == 3 && arguments[0] == QLatin1String("--keep")) {
        options.keep = QFileInfo(arguments[1]).absoluteFilePath();
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 1)
        return fail(QStringLiteral("usage: velmora-scenario [--keep DIR] SCENARIO.json"));
    QFile file(arguments[0]);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(file.fileName()));
    QJsonParseError parseError;
    const QJsonDocument input = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !input.isObject())
        return fail(QStringLiteral("not a JSON object: %1").arg(parseError.errorString()));
    const auto result =
        scenario::RunScenario(input.object(), QFileInfo(file).absoluteDir(), options);
    if (const auto* malformed = std::get_if<scenario::Malformed>(&result))
        return fail(malformed->error);
    const QJsonDocument report(std::get<QJsonObject>(result));
    std::fputs(report.toJson(QJsonDocument::Indented).constData(), stdout);
    return 0;
}
