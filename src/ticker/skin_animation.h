// SkinAnimation: the skin window's animation state: the looping animation of a row, a one-shot
// animation that interrupts it and gives it back, the frozen state (menus and dialogs) and
// pausing (the pointer rests on the headline). Each call changes the state and says what the
// window has to do with its two timers and its picture.
//
// Belongs to the skin window (window thread).
#ifndef KORVO_TICKER_SKIN_ANIMATION_H_
#define KORVO_TICKER_SKIN_ANIMATION_H_

namespace korvo {

class SkinAnimation {
 public:
  enum class Timer { kKeep, kStart, kStop };

  // What the window does after a call, in this order: the looping timer, the one-shot timer,
  // then a full repaint or drawing the current frame (and the texts) on the window.
  struct Step {
    Timer loop = Timer::kKeep;
    Timer one_shot = Timer::kKeep;
    bool repaint = false;
    bool draw_frame = false;
    bool end_one_shot = false;  // the one-shot has shown its last frame: send kEndOneShot
  };

  // Message 0x464: loop `row` with `frames` frames from frame 0. Fewer than 2 frames: no timer,
  // only a repaint. While a one-shot runs the request is kept and started when it ends.
  Step Start(int row, int frames);
  // Message 0x465: row 0, one frame, frame 0, no timer; ignored while a one-shot runs unless
  // `end_one_shot` (which also ends the one-shot, without giving the saved animation back).
  Step Stop(bool end_one_shot);
  // Messages 0x466 / 0x467.
  Step Pause();
  Step Resume();
  // Message 0x47A: play `row` once with `frames` frames, then give the running animation back.
  // Fewer than 2 frames only repaint; ignored while a one-shot runs.
  Step PlayOnce(int row, int frames);
  // Message 0x47B: the one-shot ends; the saved animation (or a request that came meanwhile)
  // takes over.
  Step EndOneShot();
  // Message 0x47C.
  Step ToggleFrozen();
  // The looping timer fired: advance (after the last frame back to 0) and draw, unless frozen.
  Step LoopTick();
  // The one-shot timer fired: advance and draw; after the last frame it ends.
  Step OneShotTick();

  int row() const { return row_; }
  int frame() const { return frame_; }
  int frames() const { return frames_; }
  bool running() const { return running_; }
  bool one_shot() const { return one_shot_; }
  bool frozen() const { return frozen_; }
  bool paused() const { return paused_; }

 private:
  struct Saved {
    int row = 0;
    int frames = 1;
    int frame = 0;
    bool running = false;
  };

  int row_ = 0;
  int frames_ = 1;
  int frame_ = 0;
  bool running_ = false;  // a looping animation with a timer
  bool paused_ = false;
  bool frozen_ = false;
  bool one_shot_ = false;
  Saved saved_;
  bool pending_ = false;  // a Start that came during the one-shot
  int pending_row_ = 0;
  int pending_frames_ = 0;
};

}  // namespace korvo

#endif  // KORVO_TICKER_SKIN_ANIMATION_H_
