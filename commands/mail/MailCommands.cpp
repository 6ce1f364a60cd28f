#include "commands/mail/MailCommands.h"

#include "prefs/PreferenceValues.h"
#include "scripts/ScriptRunner.h"

namespace {

// Mail is asked for its selected senders at every opening; any answer shows the item.
bool mailHasSelectedSenders(const MenuContext& context) {
    if (context.frontApplication != QLatin1String("Mail"))
        return false;
    return RunScriptResource(QStringLiteral("Mail Sender.applescript"), ReverseOrder(), false,
                             false, true)
        .has_value();
}

const CommandRow kEmailItemsRows[] = {
    {.title = "Email Items",
     .toolTip = "Email the selected Finder items in Mail.",
     .image = "EmailItems32.tif",
     .action = "selEmailItems:",
     .condition = HasSelection,
     .separatorAfter = true},
};

const CommandRow kAddToAddressBookRows[] = {
    {.title = "Add Senders to Address Book",
     .toolTip = "Add the senders of selected messages in Mail to a new group in Address Book. The "
                "group name is of form \"Velmora [date-tim].\"",
     .image = "AddToAddressBook32.tif",
     .action = "selAddToAddressBook:",
     .condition = mailHasSelectedSenders,
     .separatorAfter = true},
};

} // namespace

std::span<const CommandRow> EmailItemsRows() {
    return kEmailItemsRows;
}

std::span<const CommandRow> AddToAddressBookRows() {
    return kAddToAddressBookRows;
}
