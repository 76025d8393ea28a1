#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include "document/Document.h"
#include "document/Undo.h"

namespace {

// Each state fills the whole buffer, 32x32 or not, and is read back from its
// last pixel. A script is words played from state 0 on a fresh store:
//   dN  a stroke drawing state N (the press saves the image first)
//   uN  "Undo", then state N is shown;   bN  "Undo back", then N is shown
//   free  the store's block is gone
//   U+ U- B+ B-  "Undo" or "Undo back" is enabled (+) or not (-)
TEST(Undo, StepsThroughTheRingAsScripted) {
    const char* const scripts[] = {
        "U- B- d1 d2 d3 U+ B- u2 B+ u1 u0 U- u0 B+ b1 b2 b3 B- U+ b3 B-",   // three strokes, back and forth
        // The press of stroke 4 saves 1 again; the first step back saves 4 and shows 1.
        "d1 d2 d3 u2 u1 d4 u1 u3 u2 u1 u0 U- b1 b2 b3 b1 b4 B- b4",
        "u0 b0 U- B- d1 U+ b1 B- u0 U- b1",   // nothing to do when empty or just saved
        "d1 d2 d3 d4 d5 d6 d7 d8 d9 d10 d11 d12 u11 u10 u9 u8 u7 u6 u5 U- B+ u5 b6 b7",   // a full ring
        "d1 d2 free U- B- d3 u3 b3 U- B-",    // without a block nothing is kept and nothing breaks
    };
    for (const char* script : scripts) {
        ObjectDestructor();
        DinamicMem = {nullptr, VirtualScreen, 0, 0, 0, 0};
        ASSERT_EQ(DinamicAlloc(), 1);
        std::fill(std::begin(VirtualScreen), std::end(VirtualScreen), 0u);
        std::istringstream words(script);
        std::string w;
        for (int step = 1; words >> w; ++step) {
            SCOPED_TRACE(std::string(script) + ": word " + std::to_string(step) + ", " + w);
            const uint32_t n = static_cast<uint32_t>(std::atoi(w.c_str() + 1));
            if (w == "free") {
                ObjectDestructor();
            } else if (w[0] == 'd') {
                DinamicSave();
                std::fill(std::begin(VirtualScreen), std::end(VirtualScreen), n);
            } else if (w[0] == 'u' || w[0] == 'b') {
                DinamicRestore(w[0] == 'b');
                EXPECT_EQ(VirtualScreen[ImagePixels - 1], n);
            } else if (w[0] == 'U' || w[0] == 'B') {
                EXPECT_EQ(w[0] == 'U' ? UndoEnabled() : UndoBackEnabled(), w[1] == '+');
            } else {
                ADD_FAILURE() << "no such word";
            }
        }
    }
    ObjectDestructor();
}

}  // namespace
