// The Mail sections of the menu: e-mailing the selected items, and the senders of the messages
// selected in Mail into a new address-book group.
//
//   the sections' rows        EmailItemsRows, AddToAddressBookRows
//   the actions' handlers     EmailItemsOfSelection (EmailItems.h),
//                             AddSendersToAddressBook (MailSenders.h)
#pragma once

#include "common/CommandRows.h"

// "Email Items".
std::span<const CommandRow> EmailItemsRows();
// "Add Senders to Address Book", when Mail is in front and tells its selected senders.
std::span<const CommandRow> AddToAddressBookRows();
