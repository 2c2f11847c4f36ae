#include "input/key_state.h"

#include <gtest/gtest.h>

#include <vector>

#include "display/raw_input.h"
#include "platform/virtual_keys.h"

namespace nv::input {
namespace {

display::RawSample active_inside() {
  display::RawSample s;
  s.window_active = true;
  s.pointer_outside = false;
  return s;
}

TEST(KeyState, TheScannedKeysAreTheHundredSeventeenInOrder) {
  EXPECT_EQ(kScannedKeys.front(), 8);
  EXPECT_EQ(kScannedKeys[2], 13);
  EXPECT_EQ(kScannedKeys.back(), 226);
  for (size_t i = 1; i < kScannedKeys.size(); ++i) EXPECT_LT(kScannedKeys[i - 1], kScannedKeys[i]);
  // No mouse slot is scanned as a key.
  for (uint8_t k : kScannedKeys) EXPECT_GT(k, 7);
}

TEST(KeyState, AKeyHeldThreeFramesCountsUpThenDown) {
  KeyState ks;
  std::vector<int64_t> counters, any;
  for (int frame = 0; frame < 6; ++frame) {
    display::RawSample s = active_inside();
    if (frame >= 1 && frame <= 3) s.keys[vk::kA] = display::kRawDown;
    step_key_state(ks, s, frame * 16);
    counters.push_back(ks.slots[vk::kA].counter);
    any.push_back(ks.slots[kAnyKeySlot].counter);
  }
  EXPECT_EQ(counters, (std::vector<int64_t>{-1, 1, 2, 3, -1, -2}));
  EXPECT_EQ(any, counters);  // slot 0 follows the only key down
  EXPECT_EQ(ks.slots[vk::kA].presses, 1);
  EXPECT_EQ(ks.slots[kAnyKeySlot].presses, 1);
}

TEST(KeyState, KeyboardOffFreezesTheKeysAndMouseOffTheMouseSlots) {
  KeyState ks;
  display::RawSample s = active_inside();
  s.keys[vk::kSpace] = display::kRawDown;
  s.keys[kLeftButtonSlot] = display::kRawDown;
  step_key_state(ks, s, 0);
  ks.switches.keyboard = false;
  ks.switches.mouse = false;
  for (int i = 0; i < 3; ++i) step_key_state(ks, active_inside(), 0);
  EXPECT_EQ(ks.slots[vk::kSpace].counter, 1);
  EXPECT_EQ(ks.slots[kLeftButtonSlot].counter, 1);
  ks.switches.keyboard = true;
  step_key_state(ks, active_inside(), 0);
  EXPECT_EQ(ks.slots[vk::kSpace].counter, -1);
  EXPECT_EQ(ks.slots[kLeftButtonSlot].counter, 1);  // still frozen
}

TEST(KeyState, WheelAndMovedLastOneFrame) {
  KeyState ks;
  display::RawSample s = active_inside();
  s.wheel = -120;
  s.moved = true;
  step_key_state(ks, s, 0);
  EXPECT_EQ(ks.slots[kWheelDownSlot].counter, 1);
  EXPECT_EQ(ks.slots[kWheelUpSlot].counter, -1);
  EXPECT_EQ(ks.slots[kMouseMovedSlot].counter, 1);
  step_key_state(ks, active_inside(), 16);
  EXPECT_EQ(ks.slots[kWheelDownSlot].counter, -1);
  EXPECT_EQ(ks.slots[kMouseMovedSlot].counter, -1);
  EXPECT_EQ(ks.slots[kWheelDownSlot].presses, 1);
}

TEST(KeyState, OutsideAPressIsIgnoredAndAHeldButtonStaysHeld) {
  KeyState ks;
  // The right button goes down outside: not counted.
  display::RawSample out = active_inside();
  out.pointer_outside = true;
  out.keys[kRightButtonSlot] = display::kRawDown;
  step_key_state(ks, out, 0);
  EXPECT_EQ(ks.slots[kRightButtonSlot].presses, 0);
  EXPECT_LT(ks.slots[kRightButtonSlot].counter, 0);
  // The left button goes down inside, then the pointer leaves with it held.
  display::RawSample in = active_inside();
  in.keys[kLeftButtonSlot] = display::kRawDown;
  step_key_state(ks, in, 16);
  out.keys[kLeftButtonSlot] = display::kRawDown;
  out.wheel = 120;  // the wheel does not count outside
  step_key_state(ks, out, 32);
  EXPECT_EQ(ks.slots[kLeftButtonSlot].counter, 2);
  EXPECT_EQ(ks.slots[kWheelUpSlot].presses, 0);
  // Released outside: released.
  out.keys[kLeftButtonSlot] = 0;
  step_key_state(ks, out, 48);
  EXPECT_EQ(ks.slots[kLeftButtonSlot].counter, -1);
}

TEST(KeyState, NoActiveWindowReleasesKeysButFreezesTheMouse) {
  KeyState ks;
  display::RawSample s = active_inside();
  s.keys[vk::kReturn] = display::kRawDown;
  s.keys[kLeftButtonSlot] = display::kRawDown;
  step_key_state(ks, s, 0);
  display::RawSample none;  // no window active: every raw state clear
  step_key_state(ks, none, 16);
  EXPECT_EQ(ks.slots[vk::kReturn].counter, -1);
  EXPECT_EQ(ks.slots[kLeftButtonSlot].counter, 1);
}

TEST(KeyState, AutoHideStartsOnAKeyAndHidesAfterTheDelay) {
  KeyState ks;
  ks.cursor.mode = 1;
  ks.cursor.delay_ms = 500;
  display::RawSample s = active_inside();
  step_key_state(ks, s, 0);
  EXPECT_FALSE(ks.cursor.auto_hide_running);
  s.keys[vk::kSpace] = display::kRawDown;
  step_key_state(ks, s, 100);
  EXPECT_TRUE(ks.cursor.auto_hide_running);
  s.keys[vk::kSpace] = 0;
  step_key_state(ks, s, 600);  // not later than start + delay yet
  EXPECT_EQ(ks.cursor.request, CursorRequest::none);
  step_key_state(ks, s, 601);
  EXPECT_EQ(ks.cursor.request, CursorRequest::hide);
  EXPECT_FALSE(ks.cursor.shown);
  ks.cursor.request = CursorRequest::none;
  // Each wake switch shows it again; with the switch off the move does not.
  ks.cursor.wake_move = false;
  s.moved = true;
  step_key_state(ks, s, 700);
  EXPECT_FALSE(ks.cursor.shown);
  ks.cursor.wake_move = true;
  step_key_state(ks, s, 716);
  EXPECT_TRUE(ks.cursor.shown);
  EXPECT_EQ(ks.cursor.request, CursorRequest::show);
  EXPECT_FALSE(ks.cursor.auto_hide_running);
}

TEST(KeyState, AutoHideWakesOnClickWheelAndLeaving) {
  for (int wake = 0; wake < 3; ++wake) {
    KeyState ks;
    ks.cursor.mode = 1;
    ks.cursor.delay_ms = 0;
    display::RawSample s = active_inside();
    s.keys[vk::kA] = display::kRawDown;
    step_key_state(ks, s, 10);
    step_key_state(ks, s, 11);
    ASSERT_FALSE(ks.cursor.shown);
    display::RawSample w = active_inside();
    if (wake == 0) w.keys[kMiddleButtonSlot] = display::kRawDown;
    if (wake == 1) w.wheel = 240;
    if (wake == 2) w.pointer_outside = true;
    step_key_state(ks, w, 12);
    EXPECT_TRUE(ks.cursor.shown) << wake;
  }
}

TEST(RawInput, ATapBetweenTwoSamplesIsSeenForOneFrame) {
  display::RawInput raw;
  KeyState ks;
  raw.note_focus(true, false);
  raw.note_key((vk::kA + 25), true);
  raw.note_key((vk::kA + 25), false);
  step_key_state(ks, raw.take(), 0);
  EXPECT_EQ(ks.slots[(vk::kA + 25)].counter, 1);
  EXPECT_EQ(ks.slots[(vk::kA + 25)].presses, 1);
  step_key_state(ks, raw.take(), 16);
  EXPECT_EQ(ks.slots[(vk::kA + 25)].counter, -1);
}

TEST(RawInput, ShiftFollowsTheLeftShiftKey) {
  display::RawInput raw;
  KeyState ks;
  raw.note_focus(true, false);
  raw.note_key(vk::kLShift, true);
  step_key_state(ks, raw.take(), 0);
  EXPECT_EQ(ks.slots[vk::kShift].counter, 1);
  EXPECT_EQ(ks.slots[vk::kLShift].counter, 1);
  EXPECT_EQ(ks.slots[vk::kRShift].counter, -1);
  raw.note_key(vk::kLShift, false);
  step_key_state(ks, raw.take(), 16);
  EXPECT_EQ(ks.slots[vk::kShift].counter, -1);
}

TEST(RawInput, LosingFocusReleasesEverythingAndKeysThenDoNotReachIt) {
  display::RawInput raw;
  raw.note_focus(true, false);
  raw.note_key(vk::kA, true);
  raw.note_wheel(120);
  raw.note_focus(false, true);
  raw.note_key((vk::kA + 1), true);
  display::RawSample s = raw.take();
  EXPECT_FALSE(s.window_active);
  EXPECT_EQ(s.keys[vk::kA], 0);
  EXPECT_EQ(s.keys[(vk::kA + 1)], 0);
  EXPECT_EQ(s.wheel, 0);
  raw.note_focus(true, false);
  EXPECT_EQ(raw.take().keys[vk::kA], 0);  // the key down before the focus went is not down now
}

}  // namespace
}  // namespace nv::input
