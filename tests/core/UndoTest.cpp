#include <gtest/gtest.h>
#include <cstring>
#include "document/Document.h"
#include "document/Undo.h"

namespace {

// Each state is an image filled with one value, so the state on the board
// can be named by its first pixel.
class UndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ObjectDestructor();
        DinamicMem = {nullptr, VirtualScreen, 0, 0, 0, 0};
        ASSERT_EQ(DinamicAlloc(), 1);
    }
    void TearDown() override { ObjectDestructor(); }

    static void Show(uint32_t state) {
        for (uint32_t& p : VirtualScreen) p = state;
    }
    // A stroke: the press saves the image, then the stroke changes it.
    static void Stroke(uint32_t next) {
        DinamicSave();
        Show(next);
    }
    static uint32_t Shown() { return VirtualScreen[1023]; }

    struct Row { const char* action; uint32_t shown; int stepsBack; unsigned stored, nextSlot; };
    static void Expect(const Row& r) {
        SCOPED_TRACE(r.action);
        EXPECT_EQ(Shown(), r.shown);
        EXPECT_EQ(DinamicMem.StepsBack, r.stepsBack);
        EXPECT_EQ(DinamicMem.Stored, r.stored);
        EXPECT_EQ(DinamicMem.NextSlot, r.nextSlot);
    }
};

constexpr uint32_t S0 = 100, S1 = 101, S2 = 102, S3 = 103, S4 = 104;

TEST_F(UndoTest, WorkedSequenceOfThreeStrokes) {
    Show(S0);
    Stroke(S1);
    Stroke(S2);
    Stroke(S3);
    Expect({"after three strokes", S3, 0, 3, 3});
    EXPECT_FALSE(UndoBackEnabled());
    DinamicRestore(0); Expect({"Undo", S2, 2, 4, 4});
    DinamicRestore(0); Expect({"Undo", S1, 3, 4, 4});
    DinamicRestore(0); Expect({"Undo", S0, 4, 4, 4});
    EXPECT_FALSE(UndoEnabled());
    DinamicRestore(0); Expect({"Undo (nothing happens)", S0, 4, 4, 4});
    EXPECT_TRUE(UndoBackEnabled());
    DinamicRestore(1); Expect({"Undo back", S1, 3, 4, 4});
    DinamicRestore(1); Expect({"Undo back", S2, 2, 4, 4});
    DinamicRestore(1); Expect({"Undo back", S3, 1, 4, 4});
    EXPECT_FALSE(UndoBackEnabled());
    DinamicRestore(1); Expect({"Undo back", S3, 1, 4, 4});
}

TEST_F(UndoTest, UndoneStatesStayInTheHistoryAfterANewStroke) {
    Show(S0);
    Stroke(S1);
    Stroke(S2);
    Stroke(S3);
    DinamicRestore(0);
    DinamicRestore(0);
    ASSERT_EQ(Shown(), S1);
    Stroke(S4);                  // the press saves S1 again
    DinamicRestore(0);
    EXPECT_EQ(Shown(), S1);      // S4 saved first, S1 shown
    const uint32_t older[] = {S3, S2, S1, S0};
    for (uint32_t s : older) {
        DinamicRestore(0);
        EXPECT_EQ(Shown(), s);
    }
}

TEST_F(UndoTest, NothingToDoWhenEmptyOrJustSaved) {
    Show(S0);
    DinamicRestore(0);
    DinamicRestore(1);
    EXPECT_EQ(Shown(), S0);
    EXPECT_EQ(DinamicMem.Stored, 0u);
    EXPECT_FALSE(UndoEnabled());
    EXPECT_FALSE(UndoBackEnabled());
    Stroke(S1);
    EXPECT_TRUE(UndoEnabled());
    DinamicRestore(1);           // "Undo back" right after drawing
    EXPECT_EQ(Shown(), S1);
    EXPECT_EQ(DinamicMem.StepsBack, 0);
}

TEST_F(UndoTest, AFullStoreStepsBackSevenStates) {
    Show(0);
    for (uint32_t s = 1; s <= 12; ++s) Stroke(s);   // ring wraps
    ASSERT_EQ(DinamicMem.Stored, 8u);
    for (uint32_t expect = 11; expect >= 5; --expect) {
        DinamicRestore(0);
        EXPECT_EQ(Shown(), expect);
    }
    EXPECT_EQ(DinamicMem.StepsBack, 8);
    EXPECT_FALSE(UndoEnabled());
    DinamicRestore(0);
    EXPECT_EQ(Shown(), 5u);
    DinamicRestore(1);
    EXPECT_EQ(Shown(), 6u);
}

TEST_F(UndoTest, SnapshotsAreWholeBuffersWhateverTheSize) {
    Show(S0);
    VirtualScreen[1000] = 0xABCDEF;   // beyond a 16x16 image
    DinamicSave();
    Show(S1);
    DinamicRestore(0);
    EXPECT_EQ(VirtualScreen[0], S0);
    EXPECT_EQ(VirtualScreen[1000], 0xABCDEFu);
}

TEST_F(UndoTest, ResetAfterOpenDisablesUndoUntilTheNextChange) {
    Stroke(S1);
    Stroke(S2);
    DinamicReset();
    EXPECT_FALSE(UndoEnabled());
    DinamicRestore(0);
    EXPECT_EQ(Shown(), S2);
    Stroke(S3);
    EXPECT_TRUE(UndoEnabled());
    DinamicRestore(0);
    EXPECT_EQ(Shown(), S2);
}

TEST(UndoWithoutBlock, EveryOperationIsHarmless) {
    ObjectDestructor();
    DinamicMem = {nullptr, VirtualScreen, 0, 0, 0, 0};
    for (uint32_t& p : VirtualScreen) p = 7;
    DinamicSave();
    DinamicRestore(0);
    DinamicRestore(1);
    EXPECT_EQ(DinamicMem.Stored, 0u);
    EXPECT_FALSE(UndoEnabled());
    EXPECT_EQ(VirtualScreen[5], 7u);
    ObjectDestructor();
}

}  // namespace
