#include "controls/Prompt.h"

PromptFunction PixtorPrompt = MessageBoxA;
