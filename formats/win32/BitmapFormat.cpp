#include "formats/win32/BitmapFormat.h"
#include <new>
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/StripBitmap.h"
#include "strip/StripList.h"
#include "strip/ToolBarStrip.h"

int BitmapFormat(ByteStream& file) {
    StripImages strip;
    strip.Pace = StripListPace(ToolBarStr.hStripList);
    strip.Count = ToolBarStr.StripCount;
    // A strip that is not there is a failed write, never an empty file.
    if (strip.Pace == 0 || strip.Count < 1) return FileWriteError;
    const size_t each = static_cast<size_t>(strip.Pace) * strip.Pace;
    try {
        strip.Pixels.resize(each * static_cast<size_t>(strip.Count));
    } catch (const std::bad_alloc&) {
        return FileNoMemory;
    }
    for (int k = 0; k < strip.Count; ++k)
        if (!ReadStripImage(ToolBarStr.hStripList, k, strip.Pixels.data() + each * k)) return FileWriteError;
    return WriteStripBitmap(file, strip);
}

int BitmapFormatOpen(ByteStream& file) {
    StripImages strip;
    const int code = ReadStripBitmap(file, strip);
    if (code != FileOk) return code;
    HIMAGELIST list = CreateStripList(strip.Pace, strip.Count);
    if (!list || !AppendStripImages(list, strip.Pace, strip.Count, strip.Pixels.data())) {
        if (list) ImageList_Destroy(list);
        return FileNoMemory;
    }
    // Only a strip that is whole replaces the current one.
    if (ToolBarStr.hStripList) ImageList_Destroy(ToolBarStr.hStripList);
    ToolBarStr.hStripList = list;
    ToolBarStr.StripPace = strip.Pace;
    ToolBarStr.CreateRequest = 0;
    ToolBarStr.StripCount = strip.Count;
    ToolBarStr.FirstVisible = 0;
    ToolBarStr.SelSlot = 0;
    ToolBarStr.StripActive = 1;
    // Edits asked of the strip that was open do not fall on this one.
    ToolBarStr.DiscardRequest = ToolBarStr.AddRequest = ToolBarStr.DeleteRequest = ToolBarStr.UpdateRequest = 0;
    ToolBarStr.RetrieveRequest = 1;
    InvalidateRect(ToolBarStr.hStripWnd, nullptr, TRUE);
    return FileOk;
}
