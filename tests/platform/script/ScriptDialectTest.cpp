#include "platform/script/ScriptInterpreter.h"
#include "platform/services/Scripting.h"
#include "platform/types/ScriptValue.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <map>

namespace {

// Applications that note each command they are sent.
class RecordingApplications : public platform::ScriptingService, platform::ScriptApplication {
public:
    platform::ScriptApplication* application(const QString& name) override {
        return present.contains(name) ? this : nullptr;
    }
    void didRun(const QString&, OSStatus) override {}
    platform::ScriptReply perform(const QString& command,
                                  const std::vector<ScriptValue>& arguments) override {
        QStringList shown;
        for (const ScriptValue& argument : arguments)
            shown.append(argument.displayForm().value_or(QStringLiteral("?")));
        sent.append(command + u'(' + shown.join(QStringLiteral(", ")) + u')');
        return {};
    }

    QStringList present = {QStringLiteral("System Events"), QStringLiteral("Preview")};
    QStringList sent;
};

std::variant<ScriptValue, ScriptFailure> run(const QString& source,
                                             platform::ScriptingService& applications) {
    auto compiled = CompileScript(source);
    if (auto* failure = std::get_if<ScriptFailure>(&compiled))
        return *failure;
    return ExecuteScript(std::get<CompiledScript>(compiled), applications);
}

OSStatus statusOf(const std::variant<ScriptValue, ScriptFailure>& result) {
    return std::holds_alternative<ScriptFailure>(result) ? std::get<ScriptFailure>(result).status
                                                         : noErr;
}

TEST(ScriptDialect, ResultsAndTheirDisplayForms) {
    RecordingApplications applications;
    auto result =
        run(QStringLiteral("set p to {\"a\", true, 3}\r\nreturn item 2 of p"), applications);
    EXPECT_EQ(std::get<ScriptValue>(result).stringValue(), QStringLiteral("true"));

    result = run(QStringLiteral("set p to {\"a\", {1, \"b\"}}\rp"), applications);
    EXPECT_EQ(std::get<ScriptValue>(result).displayForm(), QStringLiteral("{\"a\", {1, \"b\"}}"));
    EXPECT_EQ(std::get<ScriptValue>(result).stringValue(), std::nullopt);

    result = run(QStringLiteral("set p to {\"x\", \"y\"}\nitem -1 of (p)"), applications);
    EXPECT_EQ(std::get<ScriptValue>(result).stringValue(), QStringLiteral("y"));
}

// Whatever a name holds, quoting it and reading it back gives exactly that name, and nothing in
// it becomes a statement.
TEST(ScriptDialect, QuotedTextReadsBackExactly) {
    RecordingApplications applications;
    const QString names[] = {
        QStringLiteral("plain"),
        QStringLiteral("say \"hi\""),
        QStringLiteral("back\\slash\\"),
        QStringLiteral("\\\""),
        QStringLiteral("line\rbreak\nand\r\nmore"),
        QStringLiteral("x\"\nend tell\ntell application \"System Events\" to set visible of every "
                       "process whose frontmost is false to false\n--"),
        QStringLiteral("caf\u00e9 \U0001F600"),
    };
    for (const QString& name : names) {
        const auto result =
            run(QStringLiteral("set n to ") + QuotedScriptText(name) + QStringLiteral("\nn"),
                applications);
        ASSERT_EQ(statusOf(result), noErr) << name.toStdString();
        EXPECT_EQ(std::get<ScriptValue>(result).toText(), name);
        EXPECT_EQ(std::get<ScriptValue>(result).displayForm(), QuotedScriptText(name));
    }
    EXPECT_TRUE(applications.sent.isEmpty());
}

TEST(ScriptDialect, TellBlocksSendTheDictionarysCommands) {
    RecordingApplications applications;
    auto result = run(QStringLiteral("-- hide\ntell application \"System Events\"\n"
                                     "  SET visible of every process whose frontmost is false to "
                                     "false -- all of them\nend tell\n"
                                     "tell application \"Preview\" to activate\n"),
                      applications);
    EXPECT_EQ(statusOf(result), noErr);
    EXPECT_EQ(applications.sent, QStringList({"hideOthers()", "activate()"}));
}

TEST(ScriptDialect, UnknownTextIsASyntaxErrorAndDoesNothing) {
    RecordingApplications applications;
    const QString scripts[] = {
        QStringLiteral("tell application \"Preview\"\nactivate\ndo shell script \"rm -rf ~\"\nend "
                       "tell"),
        QStringLiteral("tell application \"Preview\"\nactivate"), // no end tell
        QStringLiteral("activate\nend tell"),
        QStringLiteral("tell application \"System Events\" to keystroke x"), // not its statement
        QStringLiteral("return \"unclosed"),
        QStringLiteral("return \"bad \\q escape\""),
        QStringLiteral("set 1 to 2"),
        QStringLiteral("return {1, , 2}"),
        QStringLiteral("return \u201csmart quotes\u201d"),
        QStringLiteral("tell application Preview\nend tell"),
    };
    for (const QString& script : scripts) {
        const auto result = run(script, applications);
        EXPECT_EQ(statusOf(result), errOSASyntaxError) << script.toStdString();
    }
    EXPECT_TRUE(applications.sent.isEmpty());
}

// Nesting within the limit runs; deeper fails as a syntax error, whatever nests. Every script
// here is 20,000 levels deep: without the limit the parser's recursion overflows the stack, and
// the test's time limit catches a parser that rescans the line at every level.
TEST(ScriptDialect, NestingPastTheLimitIsASyntaxErrorNotACrash) {
    RecordingApplications applications;
    const auto repeated = [](const char* piece, int times) {
        return QString(piece).repeated(times);
    };
    const int within = kMaxScriptNesting - 1;
    EXPECT_EQ(std::get<ScriptValue>(run(QStringLiteral("return ") + repeated("(", within) +
                                            QStringLiteral("7") + repeated(")", within),
                                        applications))
                  .toInteger(),
              7);
    constexpr int kDeep = 20000;
    const QString scripts[] = {
        QStringLiteral("return ") + repeated("(", kDeep) + QStringLiteral("1") +
            repeated(")", kDeep),
        QStringLiteral("return ") + repeated("{", kDeep) + QStringLiteral("1") +
            repeated("}", kDeep),
        QStringLiteral("return ") + repeated("item 1 of ", kDeep) + QStringLiteral("{1}"),
        repeated("tell application \"Preview\"\n", kDeep) + repeated("end tell\n", kDeep),
        repeated("tell application \"Preview\" to ", kDeep) + QStringLiteral("activate"),
        QStringLiteral("return ") + repeated("(", kDeep) + QStringLiteral("1"),
    };
    for (const QString& script : scripts) {
        const auto result = run(script, applications);
        EXPECT_EQ(statusOf(result), errOSASyntaxError) << script.left(40).toStdString();
    }
    EXPECT_TRUE(applications.sent.isEmpty());
}

TEST(ScriptDialect, ExecutionFailures) {
    RecordingApplications applications;
    applications.present.removeAll(QStringLiteral("Preview"));
    EXPECT_EQ(
        statusOf(run(QStringLiteral("tell application \"Preview\" to activate"), applications)),
        procNotFound);
    EXPECT_EQ(statusOf(run(QStringLiteral("return missing"), applications)),
              errOSAUndefinedVariable);
    EXPECT_EQ(statusOf(run(QStringLiteral("set p to {1}\nreturn item 2 of p"), applications)),
              errAENoSuchObject);
    EXPECT_EQ(statusOf(run(QStringLiteral("return item 1 of \"text\""), applications)),
              errAENoSuchObject);
    // A return ends the script before later statements run.
    applications.present.append(QStringLiteral("Preview"));
    EXPECT_EQ(statusOf(run(QStringLiteral("return 1\ntell application \"Preview\" to activate"),
                           applications)),
              noErr);
    EXPECT_TRUE(applications.sent.isEmpty());
}

} // namespace
