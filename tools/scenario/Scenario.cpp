#include "tools/scenario/Scenario.h"

#include "app/AppController.h"
#include "common/MenuItems.h"
#include "platform/local/files/FileOperations.h"
#include "platform/local/files/Files.h"
#include "platform/world/World.h"
#include "platform/world/WorldServices.h"
#include "prefs/PrefPane.h"
#include "tools/scenario/EventRecord.h"
#include "tools/scenario/MenuRecord.h"
#include "tools/scenario/PathPolicy.h"
#include "tools/scenario/WorldAddressBook.h"
#include "tools/scenario/WorldFiles.h"
#include "tools/scenario/WorldState.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QMenu>
#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace scenario {

namespace {

using platform::world::SelectionElement;
using platform::world::World;

// The parts of the world a scenario sets up, at the start or in a "set" step.
const QStringList kWorldParts = {
    QStringLiteral("files"),     QStringLiteral("finder"),       QStringLiteral("clipboard"),
    QStringLiteral("front_app"), QStringLiteral("applications"), QStringLiteral("preferences"),
    QStringLiteral("answers"),   QStringLiteral("mail"),         QStringLiteral("words"),
    QStringLiteral("now"),       QStringLiteral("address_book")};
// The keys that say how the scenario runs rather than what the world holds.
const QStringList kRunKeys = {QStringLiteral("steps"), QStringLiteral("record_menu"),
                              QStringLiteral("allow_outside_paths")};
const QStringList kKnownSteps = {QStringLiteral("open_menu"),      QStringLiteral("choose"),
                                 QStringLiteral("choose_tooltip"), QStringLiteral("set"),
                                 QStringLiteral("preferences"),    QStringLiteral("close_window")};

// A path of the input, absolute: "$ROOT/" and the others expanded, else relative to the root.
QString worldPath(const World& world, const QString& path) {
    const QString expanded = world.expand(path);
    return QDir::isAbsolutePath(expanded) ? expanded : world.root() + u'/' + path;
}

std::optional<QString> readFinder(const QJsonObject& finder, World& world,
                                  const PathPolicy& policy) {
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
            const QString path = worldPath(world, picture.toString());
            if (auto error = policy.check(world, path, QStringLiteral("finder: desktop_picture")))
                return error;
            world.finder.desktopPicture = path;
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
        const QString absolute = worldPath(world, path);
        if (auto error = policy.check(world, absolute, QStringLiteral("finder: the selection")))
            return error;
        item.path = QFile::encodeName(absolute);
        world.finder.selection.push_back(item);
    }
    return std::nullopt;
}

std::optional<QString> applyWorldParts(const QJsonObject& parts, World& world,
                                       const QDir& scenarioDir, const PathPolicy& policy) {
    for (auto part = parts.begin(); part != parts.end(); ++part) {
        const QString& key = part.key();
        const QJsonObject value = part.value().toObject();
        std::optional<QString> error;
        if (key == QLatin1String("files"))
            error = CreateFiles(value, world, scenarioDir, policy);
        else if (key == QLatin1String("finder"))
            error = readFinder(value, world, policy);
        else if (key == QLatin1String("clipboard"))
            error = ReadClipboard(value, world);
        else if (key == QLatin1String("front_app"))
            error = ReadFrontApplication(part.value(), world);
        else if (key == QLatin1String("applications"))
            error = ReadApplications(value, world);
        else if (key == QLatin1String("preferences"))
            error = ReadPreferences(value, world, policy);
        else if (key == QLatin1String("answers"))
            error = ReadAnswers(value, world);
        else if (key == QLatin1String("mail"))
            error = ReadMail(value, world);
        else if (key == QLatin1String("words"))
            error = ReadWords(part.value(), world);
        else if (key == QLatin1String("now"))
            error = ReadNow(part.value(), world);
        else if (key == QLatin1String("address_book"))
            error = ReadAddressBook(value, world);
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
        if (menu)
            FillSubmenuNow(menu);
    }
    return found;
}

QAction* findByToolTip(QMenu* menu, const QString& toolTip) {
    for (QAction* item : menu->actions()) {
        if (ItemToolTip(item) == toolTip)
            return item;
        if (QMenu* submenu = QMenu::menuInAction(item)) {
            FillSubmenuNow(submenu);
            if (QAction* found = findByToolTip(submenu, toolTip))
                return found;
        }
    }
    return nullptr;
}

std::optional<QStringList> titlesOf(const QJsonValue& value) {
    if (!value.isArray() || value.toArray().isEmpty())
        return std::nullopt;
    QStringList titles;
    for (const QJsonValue& title : value.toArray()) {
        if (!title.isString())
            return std::nullopt;
        titles.append(title.toString());
    }
    return titles;
}

// What a step that opens the menu writes down: all of it, nothing, or one submenu.
struct MenuRecording {
    bool record = true;
    QStringList submenu; // titles from the menu down; empty: the whole menu

    static std::optional<MenuRecording> from(const QJsonValue& value) {
        if (value.isUndefined() || value.isBool())
            return MenuRecording{value.toBool(true), {}};
        if (const auto titles = titlesOf(value))
            return MenuRecording{true, *titles};
        return std::nullopt;
    }
};

class Run {
public:
    Run(World& world, const QDir& scenarioDir, const PathPolicy& policy, MenuRecording recording)
        : m_world(world), m_scenarioDir(scenarioDir), m_policy(policy), m_recording(recording) {}

    std::optional<QString> step(const QJsonObject& step, AppController& controller) {
        if (step.size() != 1 || !kKnownSteps.contains(step.begin().key()))
            return QStringLiteral("a step is one of open_menu, choose, choose_tooltip, set, "
                                  "preferences, close_window");
        const QString kind = step.begin().key();
        const QJsonValue value = step.begin().value();
        if (kind == QLatin1String("set")) {
            for (const QString& key : value.toObject().keys()) {
                if (!kWorldParts.contains(key))
                    return QStringLiteral("set: \"%1\" is not supported").arg(key);
            }
            return applyWorldParts(value.toObject(), m_world, m_scenarioDir, m_policy);
        }
        if (kind == QLatin1String("preferences"))
            return preferences(value, controller);
        if (kind == QLatin1String("close_window")) {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->isVisible() && window->windowTitle() == value.toString())
                    window->close();
            }
            return std::nullopt;
        }
        if (kind == QLatin1String("open_menu")) {
            const auto recording =
                value == QJsonValue(true) ? std::optional(m_recording) : MenuRecording::from(value);
            if (!recording || !recording->record)
                return QStringLiteral("open_menu: true, or the titles down to the submenu to "
                                      "write down");
            openMenu(controller, *recording);
            return std::nullopt;
        }
        if (kind == QLatin1String("choose")) {
            const auto titles = titlesOf(value);
            if (!titles)
                return QStringLiteral("choose: a list of titles, from the menu down its submenus");
            openMenu(controller, m_recording);
            choose(findByTitles(controller.menu(), *titles), *titles);
            return std::nullopt;
        }
        if (!value.isString())
            return QStringLiteral("choose_tooltip: the tool tip of the item, as a string");
        openMenu(controller, m_recording);
        choose(findByToolTip(controller.menu(), value.toString()), value.toString());
        return std::nullopt;
    }

    QJsonArray menus() const { return m_menus; }

private:
    static std::optional<QString> preferences(const QJsonValue& value, AppController& controller) {
        if (value == QJsonValue(QStringLiteral("open"))) {
            controller.selItemPreferences(nullptr);
            return std::nullopt;
        }
        if (value == QJsonValue(QStringLiteral("close"))) {
            controller.preferencePane().window()->close();
            return std::nullopt;
        }
        const QJsonValue handler = value.toObject().value(QStringLiteral("click"));
        if (handler.isString() && controller.preferencePane().click(handler.toString()))
            return std::nullopt;
        return QStringLiteral("preferences: \"open\", \"close\" or {\"click\": one of %1}")
            .arg(VelmoraPrefPane::handlers().join(QStringLiteral(", ")));
    }

    void openMenu(AppController& controller, const MenuRecording& recording) {
        if (auto* item = m_world.statusItem())
            item->open();
        if (!controller.menu() || !recording.record)
            return;
        if (recording.submenu.isEmpty()) {
            m_menus.append(DescribeMenu(*controller.menu(), m_world));
            return;
        }
        QAction* parent = findByTitles(controller.menu(), recording.submenu);
        QMenu* submenu = parent ? QMenu::menuInAction(parent) : nullptr;
        m_menus.append(submenu ? QJsonValue(DescribeMenu(*submenu, m_world)) : QJsonValue());
    }

    void choose(QAction* item, const std::variant<QStringList, QString>& wanted) {
        if (!item || !item->isEnabled())
            m_world.record(platform::world::events::Unchosen{item != nullptr, wanted});
        else
            item->trigger();
    }

    World& m_world;
    QDir m_scenarioDir;
    const PathPolicy& m_policy;
    MenuRecording m_recording;
    QJsonArray m_menus;
};

// Copies one of the world's folders, whole, to `destination/name`.
std::optional<QString> keepFolder(const QString& folder, const QString& destination,
                                  const QString& name) {
    FSRef source, into;
    if (FSPathMakeRef(QFile::encodeName(folder), &source) != noErr ||
        FSPathMakeRef(QFile::encodeName(destination), &into) != noErr)
        return QStringLiteral("keep: %1 cannot be read").arg(destination);
    if (const OSStatus status = FSCopyObjectSync(&source, &into, name, nullptr); status != noErr)
        return QStringLiteral("keep: %1/%2 could not be written (status %3)")
            .arg(destination, name)
            .arg(status);
    return std::nullopt;
}

// Unique names (the folders of Velmora's temporary folder, the names of duplicate copies) differ
// from run to run: each is written as "<UUID>", in names and texts alike. Two entries that differ
// only in their unique names are then written as one.
QString maskUniqueNames(const QString& text) {
    static const QRegularExpression kUniqueName(
        QStringLiteral("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}"));
    return QString(text).replace(kUniqueName, QStringLiteral("<UUID>"));
}

QJsonValue maskUniqueNames(const QJsonValue& value) {
    if (value.isString())
        return maskUniqueNames(value.toString());
    if (value.isArray()) {
        QJsonArray masked;
        for (const QJsonValue& element : value.toArray())
            masked.append(maskUniqueNames(element));
        return masked;
    }
    if (value.isObject()) {
        QJsonObject masked;
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            masked.insert(maskUniqueNames(it.key()), maskUniqueNames(it.value()));
        return masked;
    }
    return value;
}

} // namespace

std::variant<QJsonObject, Malformed> RunScenario(const QJsonObject& input, const QDir& scenarioDir,
                                                 const RunOptions& options) {
    for (const QString& key : input.keys()) {
        if (!kWorldParts.contains(key) && !kRunKeys.contains(key))
            return Malformed{QStringLiteral("\"%1\" is not supported by this driver").arg(key)};
    }
    const auto recording = MenuRecording::from(input.value(QStringLiteral("record_menu")));
    if (!recording)
        return Malformed{QStringLiteral("record_menu: true, false, or the titles down to the "
                                        "submenu to write down")};
    const QJsonValue outside = input.value(QStringLiteral("allow_outside_paths"));
    if (!outside.isUndefined() && !outside.isBool())
        return Malformed{QStringLiteral("allow_outside_paths: true or false")};
    const PathPolicy policy(outside.toBool(false));
    if (options.keep) {
        for (const char* name : {"root", "home", "temp"}) {
            if (QFileInfo::exists(*options.keep + u'/' + QLatin1String(name)))
                return Malformed{QStringLiteral("keep: %1/%2 exists already; nothing is replaced")
                                     .arg(*options.keep, QLatin1String(name))};
        }
    }

    World world;
    if (!world.isValid())
        return Malformed{QStringLiteral("no temporary folder for the world")};
    if (auto error = applyWorldParts(input, world, scenarioDir, policy))
        return Malformed{*error};
    for (const QJsonValue& step : input.value(QStringLiteral("steps")).toArray()) {
        if (!step.isObject())
            return Malformed{QStringLiteral("a step must be an object")};
    }

    platform::ScopedPlatform installed(world.services());
    Run run(world, scenarioDir, policy, *recording);
    {
        AppController controller;
        controller.applicationWillFinishLaunching();
        for (const QJsonValue& step : input.value(QStringLiteral("steps")).toArray()) {
            if (auto error = run.step(step.toObject(), controller))
                return Malformed{*error};
        }
        controller.applicationWillTerminate();
    }
    if (options.keep) {
        if (!QDir().mkpath(*options.keep))
            return Malformed{QStringLiteral("keep: %1 cannot be made").arg(*options.keep)};
        const std::pair<QString, QString> folders[] = {{world.root(), QStringLiteral("root")},
                                                       {world.home(), QStringLiteral("home")},
                                                       {world.temp(), QStringLiteral("temp")}};
        for (const auto& [folder, name] : folders) {
            if (auto error = keepFolder(folder, *options.keep, name))
                return Malformed{*error};
        }
    }
    QJsonObject output{
        {QStringLiteral("menus"), run.menus()},
        {QStringLiteral("events"), maskUniqueNames(DescribeEvents(world))},
        {QStringLiteral("files"), maskUniqueNames(DescribeTree(world.root(), world))},
        {QStringLiteral("temp_files"), maskUniqueNames(DescribeTree(world.temp(), world))},
        {QStringLiteral("clipboard"), DescribeClipboard(world)},
        {QStringLiteral("preferences"), DescribePreferences(world)},
        {QStringLiteral("desktop_picture"),
         world.finder.desktopPicture ? QJsonValue(world.abbreviate(*world.finder.desktopPicture))
                                     : QJsonValue()}};
    // Only a scenario whose world has an address book prints one.
    if (const auto book = DescribeAddressBook(world))
        output.insert(QStringLiteral("address_book"), *book);
    return output;
}

} // namespace scenario
