-- Answers with the senders of the messages selected in Mail, one a line, as
-- "Name <address>" or a bare address, newest message first.
-- The value on the next line is the order switch: set to true, the oldest comes first.
set oldestFirst to false
tell application "Mail"
	return senders of selection oldest first oldestFirst
end tell
