-- Makes a new message in Mail with the selected items attached. Velmora fills in the two
-- placeholders: the paths of the attachments, each its own string, and the items' names.
tell application "Mail"
	make new message with attachments {%@} and text "%@"
end tell
