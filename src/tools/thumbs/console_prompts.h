#pragma once
// Messages of the batch command go to the terminal; it asks no questions
// (every question is answered No).

#include "foundation/prompts.h"

namespace velmora {

class ConsolePrompts final : public Prompts {
public:
    void ShowInfo(const QString &message) override;
    bool AskYesNo(const QString &message) override;
    Answer AskYesNoCancel(const QString &message) override;
    void ShowError(const QString &message) override;
    void Beep() override {}
};

} // namespace velmora
