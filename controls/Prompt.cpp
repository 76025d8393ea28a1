#include "controls/Prompt.h"
#include "controls/Dialogs.h"

PromptFunction PixtorPrompt = MessageBoxA;
FileDialogFunction PixtorOpenDialog = GetOpenFileNameA;
FileDialogFunction PixtorSaveDialog = GetSaveFileNameA;
SavePromptFunction PixtorSavePrompt = RunSavePrompt;
ColourDialogFunction PixtorColourDialog = ChooseColorA;
