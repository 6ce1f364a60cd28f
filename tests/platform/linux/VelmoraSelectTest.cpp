// Runs the built velmora-select the way a file manager action does and reads back what it wrote.

#include "platform/linux/SelectionFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform::linuxdesk;
using Paths = std::vector<QByteArray>;

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray errors;
};

class VelmoraSelect : public ::testing::Test {
protected:
    void SetUp() override {
        char real[PATH_MAX];
        ASSERT_NE(::realpath(QFile::encodeName(dir_.path()).constData(), real), nullptr);
        root_ = real;
        ASSERT_EQ(::mkdir(work().constData(), 0700), 0);
        ASSERT_EQ(::mkdir(runtime().constData(), 0700), 0);
    }

    QByteArray work() const { return root_ + "/work dir"; }
    QByteArray runtime() const { return root_ + "/runtime"; }
    QByteArray selection() const { return runtime() + "/velmora/finder-selection"; }

    // Arguments go to the program as raw bytes, exactly as a file manager passes them.
    Outcome run(const Paths& arguments, const Paths& environment = {}) const {
        Paths env = environment;
        if (env.empty())
            env = {"XDG_RUNTIME_DIR=" + runtime(), "HOME=" + root_};
        std::vector<char*> envp;
        for (QByteArray& entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        QByteArray program = VELMORA_SELECT_BINARY;
        Paths args = arguments;
        std::vector<char*> argv{program.data()};
        for (QByteArray& argument : args)
            argv.push_back(argument.data());
        argv.push_back(nullptr);

        const QByteArray errPath = root_ + "/stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, work().constData());
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.constData(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = -1;
        Outcome result;
        if (::posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), envp.data()) ==
            0) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        result.errors = slurp(errPath);
        return result;
    }

    static QByteArray slurp(const QByteArray& path) {
        QFile file(QFile::decodeName(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QByteArray root_;

private:
    QTemporaryDir dir_;
};

} // namespace

TEST_F(VelmoraSelect, OddNamesInAnyFormRoundTripInOrder) {
    const Outcome result = run({
        root_ + "/absolute with space",
        "relative\nwith newline",
        QByteArray("\xff\xfe.txt"),
        "sftp://host/remote%20file",
        "sub/../up'and\"quotes #?",
        "file:///elsewhere/caf%C3%A9%2520",
        "notes:2024.txt",
        "--",
        "--clear",
    });
    ASSERT_EQ(result.exitCode, 0) << result.errors.constData();
    EXPECT_EQ(readSelectionFile(selection()), Paths({
                                                  root_ + "/absolute with space",
                                                  work() + "/relative\nwith newline",
                                                  work() + QByteArray("/\xff\xfe.txt"),
                                                  work() + "/up'and\"quotes #?",
                                                  QByteArray("/elsewhere/caf\xc3\xa9%20"),
                                                  work() + "/notes:2024.txt",
                                                  work() + "/--clear",
                                              }));
    EXPECT_TRUE(result.errors.contains("skipping sftp://host/remote%20file: not a local file"))
        << result.errors.constData();
}

TEST_F(VelmoraSelect, BadUsageExitsTwoAndKeepsTheSelection) {
    ASSERT_EQ(run({"/kept"}).exitCode, 0);
    for (const Paths& bad : {Paths{"--bogus", "/a"}, Paths{"--clear", "/a"}}) {
        const Outcome result = run(bad);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.errors.contains("--help")) << result.errors.constData();
    }
    EXPECT_EQ(readSelectionFile(selection()), Paths({"/kept"}));
    ASSERT_EQ(run({"--clear"}).exitCode, 0);
    EXPECT_EQ(readSelectionFile(selection()), Paths());
}

TEST_F(VelmoraSelect, WriteFailureExitsOneWithAReason) {
    QFile blocker(QFile::decodeName(root_ + "/not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const Outcome result = run({"/a"}, {"XDG_RUNTIME_DIR=" + root_ + "/not-a-folder"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.errors.contains("not-a-folder")) << result.errors.constData();
}
