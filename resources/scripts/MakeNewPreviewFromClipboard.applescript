-- Opens a new Preview document holding the picture on the clipboard.
tell application "Preview"
	activate
	make new document from clipboard
end tell
