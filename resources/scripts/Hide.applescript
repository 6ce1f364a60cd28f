-- Hides every application but the one in front.
tell application "System Events"
	set visible of every process whose frontmost is false to false
end tell
