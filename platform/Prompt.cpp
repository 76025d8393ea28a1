#include "platform/Prompt.h"
#include "platform/SystemLibraries.h"

PromptFunction PixtorPrompt = MessageBoxA;
FileDialogFunction PixtorOpenDialog = LateGetOpenFileNameA;
FileDialogFunction PixtorSaveDialog = LateGetSaveFileNameA;
SavePromptFunction PixtorSavePrompt = nullptr;
ColourDialogFunction PixtorColourDialog = LateChooseColorA;
