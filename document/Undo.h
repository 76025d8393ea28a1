// Eight states of the working image in one fixed block, stepped back and
// forward through by "Undo" and "Undo back". Snapshots are whole 4096-byte
// copies of the image buffer and record nothing else.
#pragma once
#include <cstdint>

constexpr int UndoSlots = 8;
constexpr int UndoSlotBytes = 4096;

struct DinamicRecord {
    uint8_t* Block;      // UndoSlots * UndoSlotBytes, zero-filled; null until allocated
    uint32_t* Image;     // the buffer snapshots come from and go back to
    int StepsBack;       // 0..8, restore steps behind the newest saved state
    int JustSaved;       // 1 when the latest operation was a save
    unsigned Stored;     // slots holding a state, 0..8
    unsigned NextSlot;   // slot the next save writes, 0..7
};
extern DinamicRecord DinamicMem;

int DinamicAlloc();                 // 1 when the block is there afterwards
void DinamicSave();
void DinamicRestore(int direction); // 0 = one step back, 1 = one step forward
void DinamicReset();                // after opening a file
void ObjectDestructor();            // releases the block at exit
bool UndoEnabled();                 // "Undo" menu state
bool UndoBackEnabled();             // "Undo back" menu state
