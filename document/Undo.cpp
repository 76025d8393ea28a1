#include "document/Undo.h"
#include "document/Document.h"
#include <cstdlib>
#include <cstring>

DinamicRecord DinamicMem = {nullptr, VirtualScreen, 0, 0, 0, 0};

int DinamicAlloc() {
    if (!DinamicMem.Block)
        DinamicMem.Block = static_cast<uint8_t*>(std::calloc(UndoSlots, UndoSlotBytes));
    DinamicMem.NextSlot = 0;
    return DinamicMem.Block != nullptr;
}

void DinamicSave() {
    DinamicRecord& m = DinamicMem;
    if (!m.Block || !m.Image) return;
    m.JustSaved = 1;
    std::memcpy(m.Block + m.NextSlot * UndoSlotBytes, m.Image, UndoSlotBytes);
    m.StepsBack = 0;
    m.NextSlot = (m.NextSlot + 1) % UndoSlots;
    if (m.Stored < UndoSlots) ++m.Stored;
}

void DinamicRestore(int direction) {
    DinamicRecord& m = DinamicMem;
    if (!m.Block || !m.Image) return;
    const bool forward = direction == 1;
    if (m.JustSaved == 1 && forward) return;   // nothing ahead of a fresh save
    if (forward) {
        m.StepsBack -= 2;
        if (m.StepsBack < 0) m.StepsBack = 0;
    }
    if (m.StepsBack > UndoSlots - 1 || m.StepsBack == static_cast<int>(m.Stored)) return;
    if (m.JustSaved == 1) {
        // The first step back keeps the current image so that stepping
        // forward can return to it.
        DinamicSave();
        m.JustSaved = 0;
        m.StepsBack = 1;
    }
    int slot = (static_cast<int>(m.NextSlot) - m.StepsBack - 1) % UndoSlots;
    if (slot < 0) slot += UndoSlots;
    std::memcpy(m.Image, m.Block + slot * UndoSlotBytes, UndoSlotBytes);
    if (++m.StepsBack > UndoSlots) m.StepsBack = UndoSlots;
}

void DinamicReset() {
    DinamicMem.Stored = 0;
    DinamicMem.StepsBack = 0;
    DinamicMem.NextSlot = 0;
}

void ObjectDestructor() {
    std::free(DinamicMem.Block);
    DinamicMem.Block = nullptr;
    // No history outlives its block.
    DinamicMem.Stored = 0;
    DinamicMem.StepsBack = 0;
    DinamicMem.NextSlot = 0;
    DinamicMem.JustSaved = 0;
}

bool UndoEnabled() { return DinamicMem.StepsBack < static_cast<int>(DinamicMem.Stored); }
bool UndoBackEnabled() { return DinamicMem.StepsBack > 1; }
