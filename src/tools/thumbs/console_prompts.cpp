#include "tools/thumbs/console_prompts.h"

#include <cstdio>

namespace velmora {
namespace {

void Print(const QString &message) {
    // Message texts often begin with a line break and use them inside.
    std::fprintf(stderr, "velmora-thumbs: %s\n", qPrintable(message.trimmed()));
}

} // namespace

void ConsolePrompts::ShowInfo(const QString &message) {
    Print(message);
}

bool ConsolePrompts::AskYesNo(const QString &message) {
    Print(message);
    return false;
}

Answer ConsolePrompts::AskYesNoCancel(const QString &message) {
    Print(message);
    return Answer::No;
}

void ConsolePrompts::ShowError(const QString &message) {
    Print(message);
}

} // namespace velmora
