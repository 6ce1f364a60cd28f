-- Copies what is selected in the application in front, so that the clipboard holds it.
tell application "System Events"
	keystroke "c" using command down
end tell
