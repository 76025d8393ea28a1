#include "platform/Prompt.h"
#include "platform/SystemLibraries.h"
#include "platform/WideNames.h"

static int WINAPI ShowMessage(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxW(owner, WideText(text).c_str(), WideText(caption).c_str(), type);
}

PromptFunction PixtorPrompt = ShowMessage;
FileDialogFunction PixtorOpenDialog = LateGetOpenFileNameW;
FileDialogFunction PixtorSaveDialog = LateGetSaveFileNameW;
SavePromptFunction PixtorSavePrompt = nullptr;
ColourDialogFunction PixtorColourDialog = LateChooseColorA;
WriteFaultFunction PixtorWriteFault = nullptr;
