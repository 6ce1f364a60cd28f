#include "tools/scenario/Scenario.h"

#include "app/AppController.h"
#include "common/MenuItems.h"
#include "platform/world/World.h"
#include "platform/world/WorldServices.h"
#include "tools/scenario/EventRecord.h"
#include "tools/scenario/MenuRecord.h"
#include "tools/scenario/WorldFiles.h"
#include "tools/scenario/WorldState.h"

#include <QAction>
#include <QJsonArray>
#include <QMenu>
#include <algorithm>
#include <optional>

namespace scenario {

namespace {

using platform::world::SelectionElement;
using platform::world::World;

// The parts of the world a scenario sets up, at the start or in a "set" step.
const QStringList kWorldParts = {QStringLiteral("files"),        QStringLiteral("finder"),
                                 QStringLiteral("clipboard"),    QStringLiteral("front_app"),
                                 QStringLiteral("applications"), QStringLiteral("preferences"),
                                 QStringLiteral("answers"),      QStringLiteral("mail")};
const QStringList kKnownSteps = {QStringLiteral("open_menu"), QStringLiteral("choose"),
                                 QStringLiteral("choose_tooltip"), QStringLiteral("set")};

std::optional<QString> readFinder(const QJsonObject& finder, World& world) {
    for (const QString& key : finder.keys()) {
        if (key != QLatin1String("selection") && key != QLatin1String("running") &&
            key != QLatin1String("desktop_picture"))
            return QStringLiteral("finder: \"%1\" is not supported").arg(key);
    }
    if (finder.contains(QStringLiteral("running")))
        world.finder.running = finder.value(QStringLiteral("running")).toBool(true);
    if (finder.contains(QStringLiteral("desktop_picture"))) {
        const QJsonValue picture = finder.value(QStringLiteral("desktop_picture"));
        if (!picture.isString() && !picture.isNull())
            return QStringLiteral("finder: desktop_picture is a path or null");
        world.finder.desktopPicture.reset();
        if (picture.isString()) {
            const QString expanded = world.expand(picture.toString());
            world.finder.desktopPicture = QDir::isAbsolutePath(expanded)
                                              ? expanded
                                              : world.root() + u'/' + picture.toString();
        }
    }
    if (!finder.contains(QStringLiteral("selection")))
        return std::nullopt;
    world.finder.selection.clear();
    for (const QJsonValue& element : finder.value(QStringLiteral("selection")).toArray()) {
        SelectionElement item;
        QString path;
        QString form = QStringLiteral("object");
        if (element.isString()) {
            path = element.toString();
        } else if (element.isObject()) {
            path = element.toObject().value(QStringLiteral("path")).toString();
            form = element.toObject().value(QStringLiteral("as")).toString(form);
        } else {
            return QStringLiteral("finder: a selection element is a path or {\"path\", \"as\"}");
        }
        if (form == QLatin1String("object"))
            item.form = SelectionElement::Form::Object;
        else if (form == QLatin1String("file"))
            item.form = SelectionElement::Form::File;
        else if (form == QLatin1String("other"))
            item.form = SelectionElement::Form::Other;
        else if (form == QLatin1String("broken"))
            item.form = SelectionElement::Form::Broken;
        else
            return QStringLiteral("finder: unknown selection form \"%1\"").arg(form);
        const QString expanded = world.expand(path);
        item.path = QFile::encodeName(QDir::isAbsolutePath(expanded) ? expanded
                                                                     : world.root() + u'/' + path);
        world.finder.selection.push_back(item);
    }
    return std::nullopt;
}

std::optional<QString> applyWorldParts(const QJsonObject& parts, World& world,
                                       const QDir& scenarioDir) {
    for (auto part = parts.begin(); part != parts.end(); ++part) {
        const QString& key = part.key();
        const QJsonObject value = part.value().toObject();
        std::optional<QString> error;
        if (key == QLatin1String("files"))
            error = CreateFiles(value, world, scenarioDir);
        else if (key == QLatin1String("finder"))
            error = readFinder(value, world);
        else if (key == QLatin1String("clipboard"))
            error = ReadClipboard(value, world);
        else if (key == QLatin1String("front_app"))
            error = ReadFrontApplication(part.value(), world);
        else if (key == QLatin1String("applications"))
            error = ReadApplications(value, world);
        else if (key == QLatin1String("preferences"))
            error = ReadPreferences(value, world);
        else if (key == QLatin1String("answers"))
            error = ReadAnswers(value, world);
        else if (key == QLatin1String("mail"))
            error = ReadMail(value, world);
        if (error)
            return error;
    }
    return std::nullopt;
}

QAction* findByTitles(QMenu* menu, const QStringList& titles) {
    QAction* found = nullptr;
    for (const QString& title : titles) {
        if (!menu)
            return nullptr;
        found = nullptr;
        for (QAction* item : menu->actions()) {
            if (!item->isSeparator() && ItemTitle(item) == title) {
                found = item;
                break;
            }
        }
        if (!found)
            return nullptr;
        menu = QMenu::menuInAction(found);
    }
    return found;
}

QAction* findByToolTip(QMenu* menu, const QString& toolTip) {
    for (QAction* item : menu->actions()) {
        if (ItemToolTip(item) == toolTip)
            return item;
        if (QMenu* submenu = QMenu::menuInAction(item)) {
            if (QAction* found = findByToolTip(submenu, toolTip))
                return found;
        }
    }
    return nullptr;
}

class Run {
public:
    Run(World& world, const QDir& scenarioDir) : m_world(world), m_scenarioDir(scenarioDir) {}

    std::optional<QString> step(const QJsonObject& step, AppController& controller) {
        if (step.size() != 1 || !kKnownSteps.contains(step.begin().key()))
            return QStringLiteral("a step is one of open_menu, choose, choose_tooltip, set");
        const QString kind = step.begin().key();
        const QJsonValue value = step.begin().value();
        if (kind == QLatin1String("set")) {
            for (const QString& key : value.toObject().keys()) {
                if (!kWorldParts.contains(key))
                    return QStringLiteral("set: \"%1\" is not supported").arg(key);
            }
            return applyWorldParts(value.toObject(), m_world, m_scenarioDir);
        }
        if (kind == QLatin1String("choose") &&
            (!value.isArray() || value.toArray().isEmpty() ||
             !std::all_of(value.toArray().begin(), value.toArray().end(),
                          [](const QJsonValue& title) { return title.isString(); })))
            return QStringLiteral("choose: a list of titles, from the menu down its submenus");
        if (kind == QLatin1String("choose_tooltip") && !value.isString())
            return QStringLiteral("choose_tooltip: the tool tip of the item, as a string");
        openMenu(controller);
        if (kind == QLatin1String("choose")) {
            QStringList titles;
            for (const QJsonValue& title : value.toArray())
                titles.append(title.toString());
            choose(findByTitles(controller.menu(), titles), titles);
        } else if (kind == QLatin1String("choose_tooltip")) {
            choose(findByToolTip(controller.menu(), value.toString()), value.toString());
        }
        return std::nullopt;
    }

    QJsonArray menus() const { return m_menus; }

private:
    void openMenu(AppController& controller) {
        if (auto* item = m_world.statusItem())
            item->open();
        if (controller.menu())
            m_menus.append(DescribeMenu(*controller.menu(), m_world));
    }

    void choose(QAction* item, const std::variant<QStringList, QString>& wanted) {
        if (!item || !item->isEnabled())
            m_world.record(platform::world::events::Unchosen{item != nullptr, wanted});
        else
            item->trigger();
    }

    World& m_world;
    QDir m_scenarioDir;
    QJsonArray m_menus;
};

} // namespace

std::variant<QJsonObject, Malformed> RunScenario(const QJsonObject& input,
                                                 const QDir& scenarioDir) {
    for (const QString& key : input.keys()) {
        if (!kWorldParts.contains(key) && key != QLatin1String("steps"))
            return Malformed{QStringLiteral("\"%1\" is not supported by this driver").arg(key)};
    }
    World world;
    if (!world.isValid())
        return Malformed{QStringLiteral("no temporary folder for the world")};
    if (auto error = applyWorldParts(input, world, scenarioDir))
        return Malformed{*error};
    for (const QJsonValue& step : input.value(QStringLiteral("steps")).toArray()) {
        if (!step.isObject())
            return Malformed{QStringLiteral("a step must be an object")};
    }

    platform::ScopedPlatform installed(world.services());
    Run run(world, scenarioDir);
    {
        AppController controller;
        controller.applicationWillFinishLaunching();
        for (const QJsonValue& step : input.value(QStringLiteral("steps")).toArray()) {
            if (auto error = run.step(step.toObject(), controller))
                return Malformed{*error};
        }
        controller.applicationWillTerminate();
    }
    return QJsonObject{{QStringLiteral("menus"), run.menus()},
                       {QStringLiteral("events"), DescribeEvents(world)},
                       {QStringLiteral("files"), DescribeTree(world.root(), world)},
                       {QStringLiteral("temp_files"), DescribeTree(world.temp(), world)},
                       {QStringLiteral("clipboard"), DescribeClipboard(world)},
                       {QStringLiteral("preferences"), DescribePreferences(world)},
                       {QStringLiteral("desktop_picture"),
                        world.finder.desktopPicture
                            ? QJsonValue(world.abbreviate(*world.finder.desktopPicture))
                            : QJsonValue()}};
}

} // namespace scenario
