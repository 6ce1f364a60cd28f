// Mail senders into an address book: 10,000 sender lines parsed into a new group of an address
// book that already holds those 10,000 people (named in other letter cases), as a large mailing
// list's senders would be. Each run makes a new group, a second later than the last; the
// address book's folder is made once and read before the runs.
#include "commands/mail/MailSenders.h"
#include "platform/world/World.h"

#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kPeople = 10000;

void BM_ParseTenThousandSendersIntoTenThousandPeople(benchmark::State& state) {
    platform::world::World world;
    platform::ScopedPlatform installed(world.services());
    world.now = QDateTime(QDate(2026, 12, 5), QTime(6, 52, 44), Qt::UTC);
    QTemporaryDir folder;
    QStringList lines;
    {
        addressbook::AddressBook book(folder.path());
        for (int i = 0; i < kPeople; ++i) {
            book.addPerson({QString(),
                            QStringLiteral("Person%1").arg(i),
                            QStringLiteral("Family%1").arg(i % 97),
                            {{QStringLiteral("work"), QStringLiteral("p%1@example.org").arg(i)}}});
            lines.append(QStringLiteral("PERSON%1 family%2 <p%1@example.org>").arg(i).arg(i % 97));
        }
        book.save();
    }
    const QString answer = lines.join(u'\n');
    addressbook::AddressBook book(folder.path());
    for (auto _ : state) {
        if (!Parse(book, answer))
            state.SkipWithError("no group was made");
        world.now = world.now->addSecs(1);
    }
}

BENCHMARK(BM_ParseTenThousandSendersIntoTenThousandPeople)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
