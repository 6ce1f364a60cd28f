-- Pastes the clipboard into the application the user was typing in.
tell application "System Events"
	keystroke "v" using command down
end tell
