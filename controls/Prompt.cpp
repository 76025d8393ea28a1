#include "controls/Prompt.h"
#include "controls/Dialogs.h"
#include "controls/SystemLibraries.h"

PromptFunction PixtorPrompt = MessageBoxA;
FileDialogFunction PixtorOpenDialog = LateGetOpenFileNameA;
FileDialogFunction PixtorSaveDialog = LateGetSaveFileNameA;
SavePromptFunction PixtorSavePrompt = RunSavePrompt;
ColourDialogFunction PixtorColourDialog = LateChooseColorA;
