// ARCHITECTURE.md's map of the dialect stays true: every statement every application's
// dictionary knows, with the command it becomes, has its row.
#include "platform/script/ScriptDictionaries.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QString MapSection() {
    QFile file(QStringLiteral(VELMORA_ARCHITECTURE_FILE));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString text = QString::fromUtf8(file.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("## The dialect's map"));
    if (start < 0)
        return QString();
    const qsizetype end = text.indexOf(QStringLiteral("\n## "), start + 1);
    return text.mid(start, end < 0 ? -1 : end - start);
}

TEST(DialectMap, EveryStatementOfEveryDictionaryHasItsRow) {
    const QString map = MapSection();
    ASSERT_FALSE(map.isEmpty()) << "ARCHITECTURE.md has no section \"The dialect's map\"";
    for (const QString& application : DictionaryApplications()) {
        EXPECT_TRUE(map.contains(application + u':')) << application.toStdString();
        for (const DictionaryEntry& entry : DictionaryForApplication(application)) {
            const QString statement = u'`' + QString::fromUtf8(entry.pattern) + u'`';
            const QString command = u'`' + QString(entry.command) + u'`';
            EXPECT_TRUE(map.contains(statement))
                << application.toStdString() << ": " << entry.pattern << " is not in the map";
            EXPECT_TRUE(map.contains(command)) << QString(entry.command).toStdString();
        }
    }
}

} // namespace
