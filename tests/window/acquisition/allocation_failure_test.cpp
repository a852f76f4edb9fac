// Guards what happens when memory runs out inside a command: the allocator of this test program
// refuses large requests on demand, STIM fails in the middle of a block recording, and the user is
// told, the file keeps every block saved before, and the window goes on working.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <cstdlib>
#include <new>

#include "support/window_fixture.h"

namespace {

std::atomic<bool> refuse_large{false};
constexpr std::size_t kLarge = 4000;

void* allocate(std::size_t n) {
  if (refuse_large && n >= kLarge) throw std::bad_alloc();
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) {
  return allocate(n);
}
void* operator new[](std::size_t n) {
  return allocate(n);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

using namespace quarvel;
using quarvel::testing::WindowTest;

namespace {

using AllocationFailure = WindowTest;

TEST_F(AllocationFailure, ACommandThatRunsOutOfMemoryEndsTheRecordingAndKeepsTheWindow) {
  w->mnuMeasure->trigger();
  dialogs->expect_input("Block length (ms):", "1000");
  w->mnuBlock->trigger();
  choose_item(w->ch_list[0], 1);
  dialogs->expect_save("Open file to save data", data_path("data01.bin"));
  QTest::mouseClick(w->store, Qt::LeftButton);
  QTest::mouseClick(w->stim, Qt::LeftButton);
  QTest::mouseClick(w->save, Qt::LeftButton);  // one block of 1000 frames is saved

  dialogs->expect_warning(
      "The command could not be completed: there is not enough memory. The recording was ended; its file "
      "keeps every frame written.");
  refuse_large = true;
  QTest::mouseClick(w->stim, Qt::LeftButton);
  refuse_large = false;

  EXPECT_EQ(QFile(data_path("data01.bin")).size(), 128 + 1000 * 4) << "the saved block stays, whole";
  EXPECT_EQ(w->s.recording, kFalse);
  EXPECT_EQ(w->halt->text(), "STOP");
  EXPECT_FALSE(w->busy());
  ASSERT_TRUE(w->store->isEnabled());
  ASSERT_TRUE(w->stim->isEnabled());

  // and the window goes on: a new recording with a new block
  dialogs->expect_save("Open file to save data", data_path("data02.bin"));
  QTest::mouseClick(w->store, Qt::LeftButton);
  QTest::mouseClick(w->stim, Qt::LeftButton);
  QTest::mouseClick(w->save, Qt::LeftButton);
  QTest::mouseClick(w->halt, Qt::LeftButton);
  EXPECT_EQ(QFile(data_path("data02.bin")).size(), 128 + 1000 * 4);
}

}  // namespace
