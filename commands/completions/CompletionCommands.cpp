#include "commands/completions/CompletionCommands.h"

namespace {

// The clipboard's text as the header read it in this rebuild, the scrap's included.
bool clipboardHasText(const MenuContext& context) {
    return context.clipboardText.has_value();
}

const CommandRow kCompletionsRows[] = {
    {.title = "List Completions",
     .toolTip = "Show word completions of clipboard text.",
     .image = "ListCompletions32.tif",
     .action = "selShowCompletions:",
     .condition = clipboardHasText,
     .separatorAfter = true},
};

} // namespace

std::span<const CommandRow> CompletionsRows() {
    return kCompletionsRows;
}
