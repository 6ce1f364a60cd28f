// The folder dialog and the save panel as the user sees them: the prompt on a line of its own
// above "Look in:", and both starting in the folder last chosen, else in the home folder, never
// in the folder Velmora was started from.
#include "platform/linux/LinuxServices.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs `look` on the dialog once it is up, then answers it with `choose` (empty: cancel).
void WhenUp(std::function<void(QFileDialog&)> look, const QString& choose = QString()) {
    QTimer::singleShot(0, [look = std::move(look), choose] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no dialog";
            return;
        }
        dialog->layout()->activate();
        look(*dialog);
        if (choose.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(choose);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

TEST(LinuxDialogs, ThePromptHasItsOwnLineAndDialogsStartInTheLastFolderOrHome) {
    QTemporaryDir home;
    const QString chosen = home.filePath(QStringLiteral("pictures"));
    ASSERT_TRUE(QDir().mkpath(chosen));
    ASSERT_TRUE(QDir::setCurrent(QDir::tempPath()));
    platform::linuxdesk::LinuxAlerts alerts(home.path());
    const QString prompt = QStringLiteral("Choose a destination folder for the images.");

    WhenUp(
        [&](QFileDialog& dialog) {
            EXPECT_EQ(dialog.directory().absolutePath(), QDir(home.path()).absolutePath());
            const auto* label = dialog.findChild<QLabel*>(QStringLiteral("velmora-prompt"));
            const auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
            ASSERT_TRUE(label && lookIn);
            EXPECT_EQ(label->text(), prompt);
            EXPECT_LT(label->geometry().bottom(), lookIn->geometry().top());
            EXPECT_LT(label->geometry().bottom(),
                      dialog.findChild<QWidget*>(QStringLiteral("lookInCombo"))->geometry().top());
        },
        chosen);
    EXPECT_EQ(alerts.runChooseFolder(QStringLiteral("Choose"), QStringLiteral("Choose"), prompt),
              chosen);

    WhenUp([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.directory().absolutePath(), QDir(chosen).absolutePath());
    });
    EXPECT_EQ(alerts.runSavePanel(QStringLiteral("pdf"), QStringLiteral("Untitled")), std::nullopt);

    // The last folder gone, the home folder again.
    ASSERT_TRUE(QDir(chosen).removeRecursively());
    WhenUp([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.directory().absolutePath(), QDir(home.path()).absolutePath());
    });
    alerts.runSavePanel(QStringLiteral("pdf"), QStringLiteral("Untitled"));
}

} // namespace
